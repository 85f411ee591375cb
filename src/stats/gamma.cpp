// The gamma function reduces its argument into [1, 2] by the recurrences
// Gamma(x) = Gamma(x + 1) / x and Gamma(x) = (x - 1) Gamma(x - 1), then
// evaluates the eighth-degree polynomial of Abramowitz and Stegun 6.1.36.
// The reduction runs as loops (not recursion, so a large argument cannot
// exhaust the stack) but multiplies in the same order a recursion would.
#include "stats/gamma.h"

#include <cmath>
#include <limits>

namespace korund::stats {

namespace {

// Gamma on [1, 2]; y = x - 1.
double GammaPolynomial(double x) {
  const double y = x - 1;
  double t = y * 0.035868343;
  t = (t - 0.193527818) * y;
  t = (t + 0.482199394) * y;
  t = (t - 0.756704078) * y;
  t = (t + 0.918206857) * y;
  t = (t - 0.897056937) * y;
  t = (t + 0.988205891) * y;
  return (t - 0.577191652) * y + 1;
}

}  // namespace

double GammaFunction(double x) {
  if (!(x > 0)) return std::numeric_limits<double>::quiet_NaN();  // outside the domain
  if (x < 1) return GammaFunction(x + 1) / x;                    // one step: x + 1 >= 1
  // Beyond 200 the product certainly exceeds the double range (198! > 1e308).
  if (x > 200) return std::numeric_limits<double>::infinity();
  if (x <= 2) return GammaPolynomial(x);
  // (x - 1) * Gamma(x - 1), unrolled: the innermost factor is applied first.
  // For 2 < x <= 200, x - 1 is exact, so stepping back up by + 1 recovers
  // each factor exactly.
  double a = x;
  while (a > 2) a -= 1;
  double r = GammaPolynomial(a);
  while (a < x) {
    r = a * r;
    a += 1;
  }
  return r;
}

double WeibullDispersion(double m) {
  const double g1 = GammaFunction(1 + 1 / m);
  const double g2 = GammaFunction(1 + 1 / m);
  const double g3 = GammaFunction(1 + 2 / m);
  return std::sqrt(g3 / g1 / g2 - 1);
}

}  // namespace korund::stats
