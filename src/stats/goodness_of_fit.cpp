// The Anderson-Darling test of a Weibull fit. With F_i the fitted
// distribution at the i-th smallest of N strengths,
//   A² = -N - (1/N) sum (2i - 1) [ln F_i + ln(1 - F_(N+1-i))],
// and Stephens' small-sample modification A²* = A² (1 + 0.2/sqrt(N)) makes
// one table of critical values serve every N when both parameters were
// estimated from the data (the extreme-value case, to which ln x reduces the
// Weibull): 0.637, 0.757, 0.877 and 1.038 at 10, 5, 2.5 and 1 %.
// R. B. D'Agostino and M. A. Stephens, "Goodness-of-Fit Techniques", 1986,
// table 4.17.
#include "stats/goodness_of_fit.h"

#include <cmath>
#include <stdexcept>
#include <vector>

namespace korund::stats {
namespace {

struct Critical {
  double value;
  FitBand above;  // the band of a statistic above the value
};

// Ascending; a statistic at or below the first is kAbove10.
constexpr Critical kCritical[] = {
    {0.637, FitBand::k5To10},
    {0.757, FitBand::k2_5To5},
    {0.877, FitBand::k1To2_5},
    {1.038, FitBand::kAtMost1},
};

}  // namespace

Result<AndersonDarling> WeibullAndersonDarling(std::span<const double> x, double m, double so) {
  const size_t n = x.size();
  if (n < 3) return Result<AndersonDarling>::Fail(Failure::kNoFit, "fewer than three strengths");
  if (!(m > 0 && so > 0 && std::isfinite(m) && std::isfinite(so))) {
    return Result<AndersonDarling>::Fail(Failure::kNoFit, "no Weibull fit");
  }
  for (size_t i = 1; i < n; ++i) {
    if (!(x[i - 1] <= x[i])) throw std::invalid_argument("strengths not ascending");
  }
  // F_i from the cumulative hazard h_i = (x_i/so)^m, and ln(1 - F_i) as -h_i,
  // which keeps both tails accurate.
  std::vector<double> hazard(n), log_f(n);
  for (size_t i = 0; i < n; ++i) {
    hazard[i] = std::pow(x[i] / so, m);
    const double f = -std::expm1(-hazard[i]);
    if (!(f > 0 && f < 1)) {
      return Result<AndersonDarling>::Fail(Failure::kNoFit, "a fitted probability of 0 or 1");
    }
    log_f[i] = std::log(f);
  }
  double sum = 0;
  for (size_t i = 0; i < n; ++i) {
    sum += static_cast<double>(2 * i + 1) * (log_f[i] - hazard[n - 1 - i]);
  }
  const double dn = static_cast<double>(n);
  AndersonDarling ad;
  ad.a2 = -dn - sum / dn;
  ad.a2_star = ad.a2 * (1 + 0.2 / std::sqrt(dn));
  for (const Critical& c : kCritical) {
    if (ad.a2_star > c.value) ad.band = c.above;
  }
  return ad;
}

const char* FitBandText(FitBand band) {
  switch (band) {
    case FitBand::kAbove10:
      return "p > 0.10";
    case FitBand::k5To10:
      return "0.05 < p \xE2\x89\xA4 0.10";
    case FitBand::k2_5To5:
      return "0.025 < p \xE2\x89\xA4 0.05";
    case FitBand::k1To2_5:
      return "0.01 < p \xE2\x89\xA4 0.025";
    case FitBand::kAtMost1:
      return "p \xE2\x89\xA4 0.01";
  }
  return "";
}

bool RejectedAt5Percent(FitBand band) {
  return band == FitBand::k2_5To5 || band == FitBand::k1To2_5 || band == FitBand::kAtMost1;
}

}  // namespace korund::stats
