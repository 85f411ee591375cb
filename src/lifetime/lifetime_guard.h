// The lifetime analysis's guard: what the shell runs for "lifetime" once a
// worksheet is open.
#pragma once

#include "worksheet/run_context.h"

namespace korund::lifetime {

// Fills the options dialog and shows it; its OK runs the analysis. A
// lifetime worksheet as the current one gives its stored inputs, and the run
// rewrites it; an analysed fatigue worksheet gives its n (the first fitted
// set); any other worksheet the defaults, and the results go to a new
// worksheet. The current worksheet is only read.
void CheckLifetimeWorksheet(RunContext& ctx);

}  // namespace korund::lifetime
