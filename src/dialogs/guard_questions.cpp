#include "dialogs/guard_questions.h"

#include "ui/terminate.h"
#include "util/text.h"

namespace korund::dialogs {

namespace {

// "&Continue" or "&Unlock" against "&Stop", the first the default.
void AskOrStop(MessageDialog& msg, ui::Ui& ui, const std::string& text,
               const std::string& go_on, const std::string& title, Unanswered unanswered) {
  const int pressed = msg.Go({.text = text,
                              .buttons = {go_on, "&Stop"},
                              .icon = ui::kMbIconExclamation,
                              .title = title,
                              .default_button = 1});
  const bool stop = pressed == 2 || (pressed == 0 && unanswered == Unanswered::kStops);
  if (stop) ui::TerminateProgram(ui, "");
}

std::string WorksheetPhrase(const RunSettings& settings) {
  return "The worksheet  \"" + settings.WorksheetName + "\"  in section  \"" +
         settings.SectionName + "\"  ";
}

}  // namespace

void AskIfOtherAnalysis(MessageDialog& msg, ui::Ui& ui, const RunSettings& settings,
                        const std::string& analysis, const std::string& other_analysis,
                        Unanswered unanswered) {
  const std::string text = WorksheetPhrase(settings) + "MIGHT be configured for " +
                           other_analysis + " instead of " + analysis +
                           ".\r\rAre you sure you want to continue with " + analysis + "?";
  AskOrStop(msg, ui, text, "&Continue", "CHECK THIS WORKSHEET IS FOR " + UpperAscii(analysis),
            unanswered);
}

void AskIfLocked(MessageDialog& msg, ui::Ui& ui, const RunSettings& settings,
                 const std::string& analysis, Unanswered unanswered) {
  const std::string text =
      WorksheetPhrase(settings) +
      "has been locked to avoid accidental changes or to avoid overwriting customizations."
      "\r\rDo you want to unlock the worksheet and continue the " +
      analysis + "?";
  AskOrStop(msg, ui, text, "&Unlock", "WORKSHEET IS LOCKED", unanswered);
}

}  // namespace korund::dialogs
