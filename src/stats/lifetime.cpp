// Power-law proof-test theory (Y. Mitsunaga, Y. Katsuyama, H. Kobayashi and
// Y. Ishida, "Failure prediction for long length optical fiber based on proof
// testing", J. Appl. Phys. 53 (1982) 4847; the same model is the power-law
// theory of IEC TR 62048). A flaw of inert strength S weakens under a stress
// history sigma(t) as S(t)^(n-2) = S^(n-2) - (1/B) int sigma^n dt and breaks
// when S(t) falls to sigma. With instantaneous loading and unloading, a
// proof test at sigma_p for t_p lets through only flaws with
// B S^(n-2) > Tp = B sigma_p^(n-2) + sigma_p^n t_p, and a survivor breaks
// in service at sigma_s within t_s when B S^(n-2) <= Ts = B sigma_s^(n-2) +
// sigma_p^n t_p + sigma_s^n t_s. The low-strength flaws are Weibull
// distributed with modulus m and Np of them per km break in the proof test,
// so a length L fails in service with probability
//   F = 1 - exp(-Np L (r^(m/(n-2)) - 1)),  r = max(Ts/Tp, 1).
//
// Everything is scaled by sigma_p^n: with x = sigma_s/sigma_p and
// c = B/sigma_p², (r - 1)(c + t_p) = t_s x^n - c (1 - x^(n-2)), so no power
// of a stress overflows and the small difference r - 1, which decides a small
// F, is formed without subtracting 1 from r. For B = 0 the allowed stress
// has the closed form x = ((t_p/t_s)(r* - 1))^(1/n) with r* the ratio the
// target F needs; for B > 0, c x^(n-2) + t_s x^n = (r* - 1)(c + t_p) + c has
// one positive root, bracketed within a factor 2^(1/(n-2)) and found by
// bisection on ln x to the last bit. Both work on logarithms, so a target
// ratio far beyond the range of double stays finite.
#include "stats/lifetime.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korund::stats {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool Finite(double x) { return std::isfinite(x); }

// ln(e^a + e^b); either may be -infinity.
double LogAddExp(double a, double b) {
  if (a < b) std::swap(a, b);
  if (a == -kInfinity) return -kInfinity;
  return a + std::log1p(std::exp(b - a));
}

// ln(e^y - 1) for y > 0, without overflow for large y or loss for small y.
double LogExpm1(double y) { return y > 35 ? y + std::log1p(-std::exp(-y)) : std::log(std::expm1(y)); }

// ln(r* - 1): the ratio Ts/Tp at which a length L fails with probability f.
double LogTargetRatioExcess(const ProofTestDesign& d, double f) {
  const double expected = -std::log1p(-f) / (d.breaks_per_km * d.length_km);
  return LogExpm1((d.n - 2) / d.m * std::log1p(expected));
}

}  // namespace

std::string CheckDesign(const ProofTestDesign& d) {
  if (!(Finite(d.n) && d.n > 2)) return "the fatigue parameter n must be above 2";
  if (!(Finite(d.m) && d.m > 0)) return "the Weibull modulus m must be above 0";
  if (!(Finite(d.breaks_per_km) && d.breaks_per_km > 0)) {
    return "the proof-test breaks per km must be above 0";
  }
  if (!(Finite(d.length_km) && d.length_km > 0)) return "the service length must be above 0 km";
  if (!(Finite(d.proof_stress) && d.proof_stress > 0)) {
    return "the proof stress must be above 0 GPa";
  }
  if (!(Finite(d.proof_time) && d.proof_time > 0)) return "the proof-test time must be above 0 s";
  if (!(Finite(d.b) && d.b >= 0)) return "B must be 0 or above";
  return "";
}

Result<double> ServiceFailureProbability(const ProofTestDesign& d, double service_stress,
                                         double service_time) {
  using R = Result<double>;
  if (std::string why = CheckDesign(d); !why.empty()) return R::Fail(Failure::kOutOfDomain, why);
  if (!(Finite(service_stress) && service_stress >= 0)) {
    return R::Fail(Failure::kOutOfDomain, "the service stress must be 0 GPa or above");
  }
  if (!(Finite(service_time) && service_time > 0)) {
    return R::Fail(Failure::kOutOfDomain, "the service time must be above 0");
  }
  const double log_x = std::log(service_stress / d.proof_stress);  // -inf for no stress
  const double c = d.b / (d.proof_stress * d.proof_stress);
  const double growth = service_time * std::exp(d.n * log_x);
  // c (1 - x^(n-2)): the strength the weakest survivor gives up when the
  // stress drops from the proof to the service level.
  const double drop = c == 0 ? 0 : -c * std::expm1((d.n - 2) * log_x);
  const double excess = growth - drop;  // (r - 1)(c + t_p)
  if (!(excess > 0)) return 0.0;        // no survivor is weak enough
  const double ratio_excess = excess / (c + d.proof_time);
  const double expected = d.breaks_per_km * d.length_km *
                          std::expm1(d.m / (d.n - 2) * std::log1p(ratio_excess));
  return -std::expm1(-expected);
}

Result<double> AllowedServiceStress(const ProofTestDesign& d, double failure_probability,
                                    double service_time) {
  using R = Result<double>;
  if (std::string why = CheckDesign(d); !why.empty()) return R::Fail(Failure::kOutOfDomain, why);
  if (!(failure_probability > 0 && failure_probability < 1)) {
    return R::Fail(Failure::kOutOfDomain, "the failure probability must be above 0 and below 1");
  }
  if (!(Finite(service_time) && service_time > 0)) {
    return R::Fail(Failure::kOutOfDomain, "the service time must be above 0");
  }
  const double log_excess = LogTargetRatioExcess(d, failure_probability);
  const double log_tp = std::log(d.proof_time), log_ts = std::log(service_time);
  double log_x = 0;
  if (d.b == 0) {
    log_x = (log_tp - log_ts + log_excess) / d.n;
  } else {
    const double c = d.b / (d.proof_stress * d.proof_stress);
    const double log_c = std::log(c);
    const double log_q = LogAddExp(log_excess + std::log(c + d.proof_time), log_c);
    // h(z) = ln(c e^((n-2) z) + t_s e^(n z)) - ln q rises with z = ln x.
    auto h = [&](double z) { return LogAddExp(log_c + (d.n - 2) * z, log_ts + d.n * z) - log_q; };
    // Each term alone reaches q at its own z; the root lies below the
    // smaller of the two, and above the point where both terms are q/2.
    double hi = std::min((log_q - log_ts) / d.n, (log_q - log_c) / (d.n - 2));
    double lo = hi - std::log(2.0) / (d.n - 2);
    if (!(Finite(lo) && Finite(hi))) {
      return R::Fail(Failure::kNoFit, "the allowed stress is beyond the range of the arithmetic");
    }
    for (;;) {
      const double mid = lo + (hi - lo) / 2;
      if (mid <= lo || mid >= hi) break;  // adjacent doubles: nothing left to halve
      (h(mid) < 0 ? lo : hi) = mid;
    }
    log_x = std::abs(h(lo)) < std::abs(h(hi)) ? lo : hi;
  }
  const double stress = d.proof_stress * std::exp(log_x);
  if (!(Finite(stress) && stress > 0)) {
    return R::Fail(Failure::kNoFit, "the allowed stress is beyond the range of the arithmetic");
  }
  return stress;
}

}  // namespace korund::stats
