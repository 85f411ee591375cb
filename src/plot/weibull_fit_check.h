// The checks of a Weibull set's maximum-likelihood fit that the results
// table and the Weibull plot show: its Anderson-Darling statistic and the
// covariance behind the confidence bounds of its quantiles. Computed from
// what the analysis wrote (the sorted strengths and the raw MLE m and So),
// so worksheets analysed before these checks existed get them too.
#pragma once

#include <optional>
#include <vector>

#include "notebook/notebook.h"
#include "stats/goodness_of_fit.h"
#include "stats/weibull_bands.h"

namespace korund::plot {

struct WeibullFitCheck {
  std::vector<double> strengths;  // the set's strengths, GPa, ascending
  std::optional<double> m, so;    // the raw maximum-likelihood estimates
  // nullopt where the statistic has no value ("--"): fewer than three
  // strengths, no fit, a fitted probability of 0 or 1, a singular information.
  std::optional<stats::AndersonDarling> anderson_darling;
  std::optional<stats::WeibullCovariance> covariance;
};

// The checks of Weibull set n (1..10). A set without a count, with a
// strength cell missing or not a positive number among its N rows, or
// without the MLE m and So gets no statistic.
WeibullFitCheck CheckWeibullFit(const notebook::Worksheet& sheet, int n);

}  // namespace korund::plot
