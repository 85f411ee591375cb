// The first Weibull step of a run: loads the worksheet, checks that it is
// laid out for a Weibull analysis and not locked, restores the rank-function
// option of the previous run and shows the options dialog.
#pragma once

#include "worksheet/run_context.h"

namespace korund::weibull {

// Loads the worksheet (at least up to its options record and last result
// row) into memory, asks about a worksheet that looks like a fatigue one or
// is locked, sets ctx.settings.LockWorksheet = false and FOpt (1, or the
// stored choice), and runs the options dialog through ctx.ui.RunForm.
// "&Stop" at either question and Cancel in the dialog throw
// TerminateProgramError (kStopped).
void CheckWeibullWorksheet(RunContext& ctx);

}  // namespace korund::weibull
