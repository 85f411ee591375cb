// Least-squares straight line y = m*x + c, optionally weighted by 1/e^2.
#pragma once

#include <cstdint>

#include "stats/labels.h"
#include "ui/ui.h"
#include "util/value.h"

namespace korund::stats {

// Fits x[1..n], y[1..n] and fills results/names rows 1..12 ("m", "delm",
// "c", "delc", "b", "delb", "xbar", "resid", "gamma", "Xsos", "MSE", "N");
// count is always 12. A zero (or empty) e[i] anywhere makes the fit
// unweighted. Numeric texts read as numbers and empty values as 0. Fewer
// than two points, all x or all y equal, points missing from an array, or
// any arithmetic fault (division by zero, square root of a negative,
// overflow, a text that is not a number) leave every result "--" without a
// message. With show_summary the fitted
// line is shown in a box through ui (which may be nullptr otherwise).
// Short result arrays are enlarged.
void statLinReg(const ValueArray& x, const ValueArray& y, const ValueArray& e, bool weighted,
                int32_t n, bool show_summary, ValueArray& results, Labels& names,
                int16_t& count, ui::Ui* ui);

}  // namespace korund::stats
