// The Weibull analysis of fibre strengths: the guard that checks and loads
// the worksheet and asks for the options (weibull_guard.h), this driver, the
// engine that analyses one data set (weibull_engine.h) and the fixed layout
// both write (util/worksheet_layout.h). The statistics come from stats/; what the
// user sees goes through dialogs/ and ui/.
//
// The Weibull driver: records the options in the worksheet, lays out the
// fixed columns a Weibull graph reads (result labels, method names,
// probability-axis ticks, plot styles) and analyses the ten data sets.
#pragma once

#include <vector>

#include "worksheet/run_context.h"

namespace korund::weibull {

// Runs the whole analysis on the loaded worksheet and leaves the summary of
// the ten sets in ctx.settings.FinishMessage. Reports nothing itself; the
// engine's questions may end the run (TerminateProgramError).
void RunWeibullMacro(RunContext& ctx);

// The columns RunWeibullMacro will write on the attached, not yet loaded
// worksheet, each with at most as many rows as the run can leave there
// (exactly as many when every raw cell is a positive number and column 12
// is empty): what the guard checks against the notebook's room.
std::vector<worksheet::Sheet::PlannedColumn> PlanWeibullColumns(worksheet::Sheet& sheet);

// The probability-axis ticks from the percentages found in column 12: the
// values strictly between 0 and 100, in their order, or the ten defaults
// when fewer than five remain; then sorted ascending. Exposed for tests.
ValueArray AxisTickPercentages(const ValueArray& numeric_cells);

}  // namespace korund::weibull
