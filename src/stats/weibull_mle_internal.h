// statWeibMLE with its Newton step limit as a parameter, so that tests can
// reach the failure path, which real strength data practically never do.
#pragma once

#include <cstdint>

#include "stats/labels.h"
#include "ui/ui.h"
#include "util/value.h"

namespace korund::stats::internal {

void WeibMLEWithStepLimit(ValueArray& data, int32_t n, bool report, ValueArray& values,
                          Labels& labels, int16_t& count, float confidence, ui::Ui& ui,
                          int16_t max_steps);

}  // namespace korund::stats::internal
