// Maximum-likelihood estimate of the two Weibull parameters with an
// unbiased modulus, confidence bounds and dispersions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "stats/result.h"
#include "util/value.h"

namespace korund::stats {

struct WeibullMLE {
  double mle = 0;          // the maximum-likelihood modulus
  int16_t iterations = 0;  // Newton steps taken
  double m = 0;            // the unbiased modulus
  double m_lo = 0, m_hi = 0;
  double so = 0;  // the scale, in the data's unit
  double so_lo = 0, so_hi = 0;
  // Coefficients of variation for m, m_hi and m_lo; empty when the modulus
  // lies beyond the gamma function's range.
  std::optional<double> disp, disp_lo, disp_hi;
  double confidence = 0;  // percent, as given (single precision widened)
};

// Estimates from data[1..n], sorting them ascending in place. confidence is
// in percent (95, 90). Fails with kNotPositive (data untouched) when a
// value is not a positive number; with kNotConverged and the message
// "Failed to converge in 30 iterations in statWeibMLE" when the Newton
// iteration does not converge within 30 steps or breaks down numerically;
// with kNoFit on any other numeric breakdown (fewer than two strengths, all
// equal, a division by zero in the bounds, a result out of range).
// n beyond the end of data throws std::out_of_range.
Result<WeibullMLE> statWeibMLE(ValueArray& data, int32_t n, float confidence);

// The same at several confidence levels, one result for each, in their
// order; the data are sorted and the likelihood solved once. A caller that
// has the Weibull plot's ordinates ln(ln(1/(1 - i/(n + 1)))) for i = 1..n
// (element 0 unused), computed so, passes them in `ordinates` instead of
// having them computed again; the estimates are the same.
std::vector<Result<WeibullMLE>> statWeibMLEAtLevels(ValueArray& data, int32_t n,
                                                    std::span<const float> confidences,
                                                    std::span<const double> ordinates = {});

}  // namespace korund::stats
