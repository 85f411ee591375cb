// The normal quantile by Acklam's algorithm: a rational approximation in
// p - 1/2 for the central region and in sqrt(-2 ln p) for the tails
// (relative error below 1.2e-9), refined by one Halley step on the
// complementary error function, which brings it to the precision of erfc.
// P. J. Acklam, "An algorithm for computing the inverse normal cumulative
// distribution function", 2003.
#include "stats/normal_quantile.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace korund::stats {
namespace {

constexpr double kA[] = {-3.969683028665376e+01, 2.209460984245205e+02,  -2.759285104469687e+02,
                         1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
constexpr double kB[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                         6.680131188771972e+01, -1.328068155288572e+01};
constexpr double kC[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                         -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
constexpr double kD[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                         3.754408661907416e+00};
constexpr double kLowTail = 0.02425;

// The lower tail's approximation for p < kLowTail (the upper tail by symmetry).
double Tail(double p) {
  const double q = std::sqrt(-2 * std::log(p));
  return (((((kC[0] * q + kC[1]) * q + kC[2]) * q + kC[3]) * q + kC[4]) * q + kC[5]) /
         ((((kD[0] * q + kD[1]) * q + kD[2]) * q + kD[3]) * q + 1);
}

double Approximation(double p) {
  if (p < kLowTail) return Tail(p);
  if (p > 1 - kLowTail) return -Tail(1 - p);
  const double q = p - 0.5, r = q * q;
  return (((((kA[0] * r + kA[1]) * r + kA[2]) * r + kA[3]) * r + kA[4]) * r + kA[5]) * q /
         (((((kB[0] * r + kB[1]) * r + kB[2]) * r + kB[3]) * r + kB[4]) * r + 1);
}

}  // namespace

double NormalQuantile(double p) {
  if (!(p > 0 && p < 1)) return std::numeric_limits<double>::quiet_NaN();
  double x = Approximation(p);
  // Halley's step on Phi(x) - p, with Phi from erfc, which keeps its
  // relative precision in the lower tail.
  const double e = 0.5 * std::erfc(-x / std::numbers::sqrt2) - p;
  const double u = e * std::sqrt(2 * std::numbers::pi) * std::exp(x * x / 2);
  x -= u / (1 + x * u / 2);
  return x;
}

double TwoSidedNormalFactor(double level) {
  if (!(level > 0 && level < 1)) return std::numeric_limits<double>::quiet_NaN();
  // From the lower tail, where (1 - level)/2 is represented exactly enough.
  return -NormalQuantile((1 - level) / 2);
}

}  // namespace korund::stats
