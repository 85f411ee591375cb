#include "dialogs/guard_questions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/scripted_ui.h"
#include "util/terminate.h"

namespace korund::dialogs {
namespace {

// A user who closes every message dialog without pressing a button.
class ClosingUi : public ui::ScriptedUi {
 public:
  int ShowMessageDialog(const ui::MessageDialogView& view) override {
    ScriptedUi::ShowMessageDialog(view);
    return 0;
  }
};

class GuardQuestions : public ::testing::Test {
 protected:
  GuardQuestions() {
    settings.WorksheetName = "Data 1";
    settings.SectionName = "Fibres";
  }
  RunSettings settings;
  ui::ScriptedUi ui;
  MessageDialog msg{ui};
};

TEST_F(GuardQuestions, NameBothAnalysesAndOfferContinueOrStop) {
  AskIfOtherAnalysis(msg, ui, settings, "static fatigue analysis", "Weibull analysis",
                     Unanswered::kStops);
  AskIfLocked(msg, ui, settings, "Weibull analysis", Unanswered::kContinues);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].title, "CHECK THIS WORKSHEET IS FOR STATIC FATIGUE ANALYSIS");
  EXPECT_EQ(ui.shown[0].text,
            "The worksheet  \"Data 1\"  in section  \"Fibres\"  MIGHT be configured for Weibull "
            "analysis instead of static fatigue analysis.\r\rAre you sure you want to continue "
            "with static fatigue analysis?");
  EXPECT_EQ(ui.shown[0].buttons, (std::vector<std::string>{"&Continue", "&Stop"}));
  EXPECT_EQ(ui.shown[0].flags, ui::kMbIconExclamation);
  EXPECT_EQ(ui.shown[1].title, "WORKSHEET IS LOCKED");
  EXPECT_EQ(ui.shown[1].text,
            "The worksheet  \"Data 1\"  in section  \"Fibres\"  has been locked to avoid "
            "accidental changes or to avoid overwriting customizations.\r\rDo you want to "
            "unlock the worksheet and continue the Weibull analysis?");
  EXPECT_EQ(ui.shown[1].buttons, (std::vector<std::string>{"&Unlock", "&Stop"}));
}

TEST_F(GuardQuestions, StopEndsTheRunWhateverAClosedDialogMeans) {
  for (Unanswered unanswered : {Unanswered::kContinues, Unanswered::kStops}) {
    ui.Answer("WORKSHEET IS LOCKED", "&Stop");
    EXPECT_THROW(AskIfLocked(msg, ui, settings, "x", unanswered), TerminateProgramError);
  }
}

TEST_F(GuardQuestions, AClosedDialogStopsOnlyWhereTheGuardSaysSo) {
  ClosingUi closing;
  MessageDialog closing_msg(closing);
  EXPECT_NO_THROW(
      AskIfOtherAnalysis(closing_msg, closing, settings, "a", "b", Unanswered::kContinues));
  EXPECT_THROW(AskIfOtherAnalysis(closing_msg, closing, settings, "a", "b", Unanswered::kStops),
               TerminateProgramError);
  EXPECT_NO_THROW(AskIfLocked(closing_msg, closing, settings, "a", Unanswered::kContinues));
  EXPECT_THROW(AskIfLocked(closing_msg, closing, settings, "a", Unanswered::kStops),
               TerminateProgramError);
}

}  // namespace
}  // namespace korund::dialogs
