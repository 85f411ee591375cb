// Least-squares straight line y = m*x + c, optionally weighted by 1/e^2.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "stats/result.h"
#include "util/value.h"

namespace korund::stats {

// The fitted line and the figures the analyses report with it.
struct LinRegFit {
  double m = 0;            // slope
  double c = 0;            // intercept
  double b = 0;            // the (weighted) mean of y: the line's value at xbar
  double xbar = 0;         // the (weighted) mean of x
  double resid = 0;        // n * (weighted residual sum of squares) / (sum of weights)
  double correlation = 0;  // Pearson's r
  double xsos = 0;         // unweighted sum of squares of x about xbar
  int32_t n = 0;           // number of points
  // Standard errors of m, c and b, and the mean square error resid/(n - 2):
  // only with more than two points.
  struct Errors {
    double delm = 0;
    double delc = 0;
    double delb = 0;
    double mse = 0;
  };
  std::optional<Errors> errors;
};

// Fits x[1..n], y[1..n]. A zero (or empty) e[i] anywhere makes the fit
// unweighted. Numeric texts read as numbers and empty values as 0. Fails
// (kNoFit) on fewer than two points, all x or all y equal, points missing
// from an array, or any arithmetic fault (division by zero, square root of a
// negative, overflow, a text that is not a number).
Result<LinRegFit> statLinReg(const ValueArray& x, const ValueArray& y, const ValueArray& e,
                             bool weighted, int32_t n);

// The same on plain numbers (element 0 unused, as above): the same figures
// as for the same numbers held in values. A weight that compares equal to
// 0 (0, -0 or NaN) makes the fit unweighted.
Result<LinRegFit> statLinReg(std::span<const double> x, std::span<const double> y,
                             std::span<const double> e, bool weighted, int32_t n);

}  // namespace korund::stats
