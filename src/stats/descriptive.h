// Descriptive statistics of one column: mean, sample standard deviation and
// standard error, plus the same three of the base-10 logarithms.
#pragma once

#include <cstdint>

#include "stats/labels.h"
#include "util/value.h"

namespace korund::stats {

// Mean, sample standard deviation (divisor n - 1) and standard error of
// data[1..n], by the two-pass method. n < 0 takes the count from data[0].
// All three outputs are 0 when n == 0; std_dev and std_err are 0 when n == 1.
// Elements must read as numbers (an empty value reads as 0); data shorter
// than n + 1 elements is an error (std::out_of_range).
void statMeanSD(const ValueArray& data, int32_t n, Value& mean, Value& std_dev, Value& std_err);

// Fills results/names rows 1..7: "Count", "Mean", "StdDev", "StdErr",
// "LMean", "LStdDev", "LStdErr"; count is always 7. Rows 5..7 hold "<=0"
// when any value is not positive. Short result arrays are enlarged. Throws
// as statMeanSD does, and std::invalid_argument for a negative n.
void statDescribe(const ValueArray& data, int32_t n, ValueArray& results, Labels& names,
                  int16_t& count);

// Base-10 logarithm through the stored constant ln(10) = 2.30258509299405.
double Log10(double x);

}  // namespace korund::stats
