// The fatigue worksheet guard: what the shell runs for "dynamic" and
// "static" once the worksheet is open.
#pragma once

#include "worksheet/run_context.h"

namespace korund::fatigue {

// Loads the worksheet into memory (at least up to its options record),
// warns when it carries the marks of the other fatigue analysis or of a
// Weibull analysis and when it is locked ("&Stop" ends the run through
// TerminateProgram), restores the options of the last fatigue run from its
// options record and shows the analysis's options dialog, whose OK runs the
// analysis.
void CheckFatigueWorksheet(RunContext& ctx);

}  // namespace korund::fatigue
