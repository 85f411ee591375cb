// Descriptive statistics of one column: mean, sample standard deviation and
// standard error, plus the same three of the base-10 logarithms.
#pragma once

#include <cstdint>

#include "stats/result.h"
#include "util/value.h"

namespace korund::stats {

struct MeanSD {
  double mean = 0;
  double std_dev = 0;  // sample standard deviation, divisor n - 1
  double std_err = 0;  // std_dev / sqrt(n)
};

// Mean, standard deviation and standard error of data[1..n], by the
// two-pass method. n < 0 takes the count from data[0]. All three are 0 when
// n == 0; std_dev and std_err are 0 when n == 1. Elements must read as
// numbers (an empty value reads as 0; anything else throws
// std::invalid_argument); data shorter than n + 1 elements throws
// std::out_of_range.
MeanSD statMeanSD(const ValueArray& data, int32_t n);

struct Description {
  int32_t count = 0;
  MeanSD values;
  // The same of the base-10 logarithms; kNotPositive when any value is not
  // positive.
  Result<MeanSD> logs = MeanSD{};
};

// Describes data[1..n]. Throws as statMeanSD does, and
// std::invalid_argument for a negative n.
Description statDescribe(const ValueArray& data, int32_t n);

// Base-10 logarithm through the stored constant ln(10) = 2.30258509299405.
double Log10(double x);

}  // namespace korund::stats
