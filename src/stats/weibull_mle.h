// Maximum-likelihood estimate of the two Weibull parameters with an
// unbiased modulus, confidence bounds and dispersions.
#pragma once

#include <cstdint>

#include "stats/labels.h"
#include "ui/ui.h"
#include "util/value.h"

namespace korund::stats {

// Estimates from data[1..n] (sorted ascending in place) and fills
// values/labels rows 1..12: "mle", "iter", "m", "m-", "m+", "So", "So-",
// "So+", "disp", "disp lo", "disp hi", "conf"; count is always 12.
// confidence is in percent (95, 90). Data that are not all positive numbers
// turn every label into "<=0" and leave values untouched. When the Newton
// iteration does not converge within 30 steps, or breaks down numerically,
// a box says so through ui and every value becomes "covergence". Any other
// numeric breakdown (fewer than two strengths, all equal, a division by
// zero in the bounds, a result out of range) gives "covergence" silently.
// n beyond the end of data throws std::out_of_range.
// report shows the starting regression's summary. Short arrays are enlarged.
void statWeibMLE(ValueArray& data, int32_t n, bool report, ValueArray& values, Labels& labels,
                 int16_t& count, float confidence, ui::Ui& ui);

}  // namespace korund::stats
