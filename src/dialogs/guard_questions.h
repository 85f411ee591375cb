// The questions the Weibull and fatigue guards ask before an analysis
// overwrites a worksheet: one that looks made for another analysis, and one
// the user locked. Both guards word them alike, from the analysis's own
// name ("Weibull analysis", "static fatigue analysis").
#pragma once

#include <string>

#include "dialogs/message_dialog.h"
#include "ui/ui.h"
#include "util/run_settings.h"

namespace korund::dialogs {

// What the answer to a guard question leads to when the dialog was closed
// without a button (answer 0). The guards differ here, for historical reasons.
enum class Unanswered { kContinues, kStops };

// Every question opens "The worksheet  "NAME"  in section  "SECTION"  ".

// Asks, under the title "CHECK THIS WORKSHEET IS FOR <ANALYSIS>", whether to
// go on with analysis although the worksheet MIGHT be configured for
// other_analysis. "&Stop" ends the run through TerminateProgram.
void AskIfOtherAnalysis(MessageDialog& msg, ui::Ui& ui, const RunSettings& settings,
                        const std::string& analysis, const std::string& other_analysis,
                        Unanswered unanswered);

// Asks, under "WORKSHEET IS LOCKED", whether to unlock the worksheet and go
// on with analysis. "&Stop" ends the run through TerminateProgram.
void AskIfLocked(MessageDialog& msg, ui::Ui& ui, const RunSettings& settings,
                 const std::string& analysis, Unanswered unanswered);

}  // namespace korund::dialogs
