// One analysis run from the studio: the steps korund's run sequence takes
// after it has read its command line (plot styles, attach, the analysis's
// worksheet guard, write-back, release, "FINISHED"), on a copy of the
// window's notebook through the in-process host and whatever UI back end
// the caller hands in. TerminateProgram's exception ends the run here.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "notebook/analysis_stamp.h"
#include "notebook/notebook.h"
#include "ui/ui.h"
#include "util/terminate.h"

namespace korund::studio {

enum class Analysis { kWeibull, kDynamic, kStatic, kLifetime };

// An analysis as the window offers it: the Analyse menu and the toolbar are
// built from this list, in its order.
struct AnalysisEntry {
  Analysis analysis;
  const char* menu_text;  // "&Weibull..."
  const char* done_text;  // "Weibull analysis", for the status bar
  // The stamp an analysis leaves on its worksheet; none for lifetime, which
  // writes a worksheet of its own.
  std::optional<notebook::AnalysisKind> kind;
};
std::span<const AnalysisEntry> AnalysisEntries();

// The entry's place in the menus as a user reads it: "Analyse → Weibull".
std::string MenuPath(const AnalysisEntry& entry);
// What the window says where there are no results yet: "choose Analyse →
// Weibull, Dynamic Fatigue or Static Fatigue".
std::string ChooseAnalysisHint();
// The stale-results line, advising the menu entry that runs the analysis
// again; "" when the worksheet's results are current or unstamped.
std::string StudioStaleNote(const notebook::Item& item);

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
