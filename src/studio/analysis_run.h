// One analysis run from the studio: the steps korund's run sequence takes
// after it has read its command line (plot styles, attach, the analysis's
// worksheet guard, write-back, release, "FINISHED"), on a copy of the
// window's notebook through the in-process host and whatever UI back end
// the caller hands in. TerminateProgram's exception ends the run here.
#pragma once

#include <string>

#include "notebook/notebook.h"
#include "ui/ui.h"
#include "util/terminate.h"

namespace korund::studio {

enum class Analysis { kWeibull, kDynamic, kStatic, kLifetime };

struct AnalysisOutcome {
  bool completed = false;  // the run reached "FINISHED"
  // Why it ended otherwise: stopped or cancelled by the user, or fatal.
  ExitReason reason = ExitReason::kStopped;
  std::string message;  // the fatal error's text, if any
};

// Runs the analysis on worksheet `worksheet` of `before`. When it
// completes, *after holds the notebook with the results; otherwise *after
// is untouched and nothing of the run is kept.
AnalysisOutcome RunAnalysis(Analysis analysis, const notebook::Notebook& before,
                            const std::string& worksheet, ui::Ui& ui, notebook::Notebook* after);

}  // namespace korund::studio
