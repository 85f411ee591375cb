// The part of a run that follows the choice of analysis, shared by korund's
// run sequence and the desktop application: attach to the host's worksheet,
// run the analysis's guard (which shows its options dialog, whose OK runs
// the analysis), write the worksheet back, release the host and show the
// "FINISHED" box.
#pragma once

#include <functional>

#include "host/host.h"
#include "ui/ui.h"
#include "util/run_settings.h"
#include "worksheet/run_context.h"

namespace korund::worksheet {

// The analyses' worksheet guards; the programs hand in the real ones, tests
// their own.
struct AnalysisGuards {
  std::function<void(RunContext&)> weibull;  // FitType 2
  std::function<void(RunContext&)> fatigue;  // FitType 0 and 1
  std::function<void(RunContext&)> lifetime;  // FitType 3
};

// Runs the analysis settings.FitType names on the host's current worksheet.
// Returns 0 after "FINISHED", or status 1 when the worksheet could not be
// opened (after the "PLUGIN TERMINATING" box). Every other end (Cancel,
// "&Stop", fatal errors, a failed write-back) throws TerminateProgramError;
// nothing is written back then.
int RunAnalysis(RunSettings& settings, ui::Ui& ui, host::Host& host,
                const AnalysisGuards& guards);

}  // namespace korund::worksheet
