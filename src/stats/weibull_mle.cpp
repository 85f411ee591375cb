// Weibull maximum likelihood. The strengths are normalised by their mean,
// a least-squares fit of the Weibull plot gives the starting modulus, and
// Newton's method solves the likelihood equation
//   g(m) = sum(ln x)/N + 1/m - S1/S0 = 0,  Sk = sum((ln x)^k * x^m),
// with a relative tolerance of 1e-6 of the starting value. The unbiasing
// factor and the confidence bounds are closed-form fits in N and the tail
// probability; their coefficients are used as published.
#include "stats/weibull_mle.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "stats/checked_math.h"
#include "stats/gamma.h"
#include "stats/linreg.h"
#include "stats/sort.h"
#include "stats/weibull_mle_internal.h"

namespace korund::stats {

namespace {

using internal::CheckedMath;

// The Weibull plot of the normalised strengths x = S/mu: ln x against
// ln ln(1/(1 - F)) with F = i/(N + 1). Element 0 unused.
struct Plot {
  double mu = 0;
  std::vector<double> x, lx, y;
};

// ordinates: the caller's ln ln(1/(1 - F)), when it has them.
Plot NormalisedPlot(const ValueArray& data, size_t n, std::span<const double> ordinates,
                    CheckedMath& k) {
  const bool given = ordinates.size() > n;
  const double dn = static_cast<double>(n);
  Plot p;
  double sum = 0;
  for (size_t i = 1; i <= n; ++i) sum = k.Add(sum, data[i].Number());
  p.mu = k.Div(sum, dn);
  p.x.resize(n + 1);
  p.lx.resize(n + 1);
  p.y.resize(n + 1);
  for (size_t i = 1; i <= n; ++i) {
    const double xi = k.Div(data[i].Number(), p.mu);
    p.x[i] = xi;
    p.lx[i] = k.Log(xi);
    if (given) {
      p.y[i] = k.Finite(ordinates[i]);
    } else {
      const double f = k.Div(static_cast<double>(i), dn + 1);
      p.y[i] = k.Log(k.Log(k.Div(1, 1 - f)));
    }
  }
  return p;
}

struct Newton {
  double mle = 0;
  int16_t steps = 0;
  bool failed = false;
};

// Newton steps from m0. The estimate is p, the point at which the last step
// was taken, not the step's result m. A step that breaks down numerically
// ends the iteration as a failure to converge, and so does convergence seen
// only after the last allowed step.
Newton SolveLikelihood(const std::vector<double>& lx, size_t n, double m0, int16_t max_steps,
                       CheckedMath& k) {
  const double dn = static_cast<double>(n);
  const double t = m0 * 1e-6;
  double sum_l = 0;
  double l_min = lx[1], l_max = lx[1];
  for (size_t i = 1; i <= n; ++i) {
    sum_l = k.Add(sum_l, lx[i]);
    l_min = std::min(l_min, lx[i]);
    l_max = std::max(l_max, lx[i]);
  }

  double m = m0, p = 0;
  Newton r;
  for (;;) {
    if (std::abs(m - p) <= t) break;
    if (r.steps >= max_steps) {
      r.failed = true;
      break;
    }
    p = m;
    // The sums without a check per step. p * l is largest in size at the
    // smallest or the largest l, so those two products show whether any
    // overflowed (exp would hide an overflow to -infinity as 0); any other
    // step that overflows leaves its infinity or NaN in its sum.
    k.Mul(p, l_min);
    k.Mul(p, l_max);
    double s0 = 0, s1 = 0, s2 = 0;
    for (size_t i = 1; i <= n; ++i) {
      const double l = lx[i];
      const double ei = std::exp(p * l);
      s0 = s0 + ei;
      s1 = s1 + l * ei;
      s2 = s2 + (l * l) * ei;
    }
    s0 = k.Finite(s0);
    s1 = k.Finite(s1);
    s2 = k.Finite(s2);
    const double g = k.Sub(k.Add(k.Div(sum_l, dn), k.Div(1, p)), k.Div(s1, s0));
    const double dg = k.Add(k.Div(k.Sub(k.Mul(s2, s0), k.Mul(s1, s1)), k.Mul(s0, s0)),
                            k.Div(1, k.Mul(p, p)));
    m = k.Add(p, k.Div(g, dg));
    ++r.steps;
    if (k.fault()) {
      r.failed = true;
      break;
    }
  }
  if (r.steps >= max_steps) r.failed = true;
  r.mle = p;
  return r;
}

// The scale, the unbiased modulus and the bounds of both from the
// published fits, at the given confidence level.
// sum(x^m) at the solution, the same for every level.
double ScaleSum(const Plot& plot, size_t n, double mle, CheckedMath& k) {
  double tsum = 0;
  for (size_t i = 1; i <= n; ++i) tsum = k.Add(tsum, k.Exp(k.Mul(mle, plot.lx[i])));
  return tsum;
}

WeibullMLE Estimates(const Plot& plot, size_t n, const Newton& newton, double tsum,
                     float confidence, CheckedMath& k) {
  const double dn = static_cast<double>(n);
  WeibullMLE r;
  r.mle = newton.mle;
  r.iterations = newton.steps;
  const double mle = r.mle;

  r.so = k.Mul(plot.mu, k.Pow(k.Div(tsum, dn), k.Div(1, mle)));

  const double ln10 = std::log(10.0);
  r.m = k.Mul(mle, k.Sub(1, k.Exp(k.Sub(k.Mul(0.21048, ln10), k.Mul(1.05187, k.Log(dn))))));

  // Tail probabilities from the single-precision level, in double.
  const double conf = static_cast<double>(confidence);
  const double alpha = (1 - conf / 100) / 2;
  const double q = 1 - alpha;
  const double a2 = alpha * alpha, q2 = q * q;
  const double root_n = k.Sqrt(dn);

  const double A1 = 128.06689917 * a2 + 2.19780473 * alpha + 1.01622713;
  const double B1 = 0.50526137 + 7.47657713 * alpha - 52.2380875 * a2;
  const double C1 = -0.00056954 - 0.17889243 * alpha + 3.9721775 * a2;
  const double D1 = k.Add(k.Add(k.Mul(root_n, B1), A1), k.Mul(dn, C1));
  r.m_hi = k.Div(mle, k.Sub(1, k.Div(1, D1)));

  const double A2 = 1.21065083 * q2 + 1.79520256 * q - 3.81673287;
  const double B2 = 0.54525686 + 4.29852639 * q - 4.36676583 * q2;
  const double C2 = -0.76113933 + 1.71157833 * q - 0.9492525 * q2;
  const double D2 = k.Add(k.Add(k.Mul(root_n, B2), A2), k.Mul(dn, C2));
  r.m_lo = k.Div(mle, k.Add(1, k.Div(1, D2)));
  if (r.m_lo < 0) r.m_lo = 0.1;

  const double M = dn - 2;
  const double root_m = k.Sqrt(M);
  const double E1 = 0.43495968 - 7.4548705 * alpha + 39.63648333 * a2;
  const double F1 = -0.49003433 - 1.43188745 * alpha - 7.95593167 * a2;
  const double G1 = 0.00838466 - 0.27034375 * alpha + 1.45925833 * a2;
  r.so_hi = k.Div(
      r.so, k.Exp(k.Div(k.Div(1, k.Add(k.Add(k.Mul(root_m, F1), E1), k.Mul(M, G1))), mle)));
  const double E2 = 28.69921851 - 58.74551532 * q + 29.93399585 * q2;
  const double F2 = -12.69978262 + 31.51087123 * q - 18.45636834 * q2;
  const double G2 = 0.23145313 - 0.46109623 * q + 0.22989667 * q2;
  r.so_lo = k.Div(
      r.so, k.Exp(k.Div(k.Div(1, k.Add(k.Add(k.Mul(root_m, F2), E2), k.Mul(M, G2))), mle)));

  // A dispersion beyond the gamma function's range (absurdly small or large
  // moduli) is the only result lost; the estimates themselves stand.
  auto dispersion = [](double m) -> std::optional<double> {
    const double d = WeibullDispersion(m);
    if (!std::isfinite(d)) return std::nullopt;
    return d;
  };
  r.disp = dispersion(r.m);
  r.disp_lo = dispersion(r.m_hi);
  r.disp_hi = dispersion(r.m_lo);
  r.confidence = conf;
  return r;
}

}  // namespace

namespace internal {

std::vector<Result<WeibullMLE>> WeibMLEWithStepLimit(ValueArray& data, int32_t n,
                                                     std::span<const float> confidences,
                                                     int16_t max_steps,
                                                     std::span<const double> ordinates) {
  auto all = [&](const Result<WeibullMLE>& r) {
    return std::vector<Result<WeibullMLE>>(confidences.size(), r);
  };
  if (n > 0 && data.size() <= static_cast<size_t>(n)) {
    throw std::out_of_range("statWeibMLE: count beyond the end of the data");
  }
  for (int32_t i = 1; i <= n; ++i) {
    const Value& d = data[i];
    if (!d.IsNumber() || d.Number() <= 0) return all(Result<WeibullMLE>::Fail(Failure::kNotPositive));
  }
  // A numeric breakdown outside the Newton iteration (fewer than two
  // strengths, so no starting line; constant data, so no starting slope; a
  // bound whose denominator is zero; a result out of range) is no failure
  // to converge and must not be reported as one.
  const auto no_fit = Result<WeibullMLE>::Fail(Failure::kNoFit);
  if (n < 2) return all(no_fit);
  SortValues(data, n);

  CheckedMath k;
  const size_t un = static_cast<size_t>(n);
  const Plot plot = NormalisedPlot(data, un, ordinates, k);
  if (k.fault()) return all(no_fit);

  const auto start = statLinReg(plot.lx, plot.y, plot.x, false, n);
  if (!start.ok()) return all(no_fit);

  const Newton newton = SolveLikelihood(plot.lx, un, start->m, max_steps, k);
  if (newton.failed) {
    return all(Result<WeibullMLE>::Fail(
        Failure::kNotConverged,
        "Failed to converge in " + std::to_string(max_steps) + " iterations in statWeibMLE"));
  }
  // The solution and the scale do not depend on the level; only the bounds
  // do.
  const double tsum = ScaleSum(plot, un, newton.mle, k);
  std::vector<Result<WeibullMLE>> results;
  results.reserve(confidences.size());
  for (const float confidence : confidences) {
    CheckedMath level_math = k;
    const WeibullMLE r = Estimates(plot, un, newton, tsum, confidence, level_math);
    results.push_back(level_math.fault() ? no_fit : Result<WeibullMLE>(r));
  }
  return results;
}

}  // namespace internal

Result<WeibullMLE> statWeibMLE(ValueArray& data, int32_t n, float confidence) {
  return statWeibMLEAtLevels(data, n, {&confidence, 1}).front();
}

std::vector<Result<WeibullMLE>> statWeibMLEAtLevels(ValueArray& data, int32_t n,
                                                    std::span<const float> confidences,
                                                    std::span<const double> ordinates) {
  return internal::WeibMLEWithStepLimit(data, n, confidences, 30, ordinates);
}

}  // namespace korund::stats
