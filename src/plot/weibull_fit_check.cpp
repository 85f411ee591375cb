#include "plot/weibull_fit_check.h"

#include <algorithm>
#include <cmath>

#include "plot/plot_parts.h"
#include "util/worksheet_layout.h"

namespace korund::plot {

WeibullFitCheck CheckWeibullFit(const notebook::Worksheet& sheet, int n) {
  namespace wl = layout::weibull;
  using internal::NumberAt;
  WeibullFitCheck check;
  const int32_t result = wl::ResultColumn(n);
  const std::optional<double> count = NumberAt(sheet, result, wl::kRowN);
  if (!count || *count < 1 || *count > sheet.UsedRows(wl::StrengthColumn(n))) return check;
  for (int32_t r = 1; r <= static_cast<int32_t>(*count); ++r) {
    const std::optional<double> x = NumberAt(sheet, wl::StrengthColumn(n), r);
    if (!x || !(*x > 0)) return check;
    check.strengths.push_back(*x);
  }
  // The analysis wrote them ascending; a hand-edited column is sorted here.
  std::sort(check.strengths.begin(), check.strengths.end());
  check.m = NumberAt(sheet, result, wl::kRowMle);
  check.so = NumberAt(sheet, result, wl::kRowMleSo);
  if (!check.m || !check.so) return check;
  const auto ad = stats::WeibullAndersonDarling(check.strengths, *check.m, *check.so);
  if (ad.ok()) check.anderson_darling = *ad;
  const auto cov = stats::WeibullFisherCovariance(check.strengths, *check.m, *check.so);
  if (cov.ok()) check.covariance = *cov;
  return check;
}

}  // namespace korund::plot
