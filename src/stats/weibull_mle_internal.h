// statWeibMLE with its Newton step limit as a parameter, so that tests can
// reach the failure path, which real strength data practically never do.
#pragma once

#include <cstdint>

#include "stats/weibull_mle.h"

namespace korund::stats::internal {

std::vector<Result<WeibullMLE>> WeibMLEWithStepLimit(ValueArray& data, int32_t n,
                                                     std::span<const float> confidences,
                                                     int16_t max_steps,
                                                     std::span<const double> ordinates = {});

}  // namespace korund::stats::internal
