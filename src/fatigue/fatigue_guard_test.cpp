// The guard: warnings about foreign or locked worksheets and the options
// restored from the options record before the dialog opens.

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fatigue/fatigue_guard.h"
#include "fatigue/fatigue_test_support.h"
#include "util/terminate.h"

namespace korund::fatigue {
namespace {

using Strings = std::vector<std::string>;

class GuardTest : public FatigueTest {
 protected:
  GuardTest() {
    // The settings start as in a fresh process.
    settings = RunSettings();
    settings.FitType = kFitDynamic;
    ui.form_script = [this](ui::FormModel& form) {
      form_caption = form.Caption();
      form_help = form.HelpTopic();
      restored = settings;
    };
  }
  void Guard() {
    Open();
    CheckFatigueWorksheet(ctx);
  }
  std::string form_caption;
  int form_help = 0;
  RunSettings restored;
};

TEST_F(GuardTest, FreshWorksheetOpensTheDynamicDialogWithDefaults) {
  Cell(184, 2, "1");  // marks that are not numbers are no marks
  Cell(56, 2, "2");
  Guard();
  EXPECT_EQ((Strings{"DYNAMIC FATIGUE ANALYSIS  -  version 2.00"}), ui.Titles());
  EXPECT_EQ(1018, form_help);
  EXPECT_EQ(0, restored.FatigueMode);
  EXPECT_FALSE(restored.GroupRates);
  EXPECT_EQ(1.2, restored.RateFactor);
  EXPECT_FALSE(restored.IgnoreByComment);
  EXPECT_EQ("", restored.IgnoreChars);
  EXPECT_FALSE(restored.CopyData);
  EXPECT_EQ(1, restored.SetToCopy);
  EXPECT_FALSE(restored.MakeReport);
  EXPECT_FALSE(restored.LockWorksheet);
  EXPECT_FALSE(restored.IgnoreWeakest);
  EXPECT_TRUE(sheet.Buffered());
  EXPECT_EQ(184, sheet.MaxCol());
  EXPECT_EQ(25, sheet.MaxRow());
}

TEST_F(GuardTest, StoredOptionsAreRestored) {
  Cell(184, 1, 1);
  Cell(184, 3, 0);
  Cell(184, 5, -1);
  Cell(184, 6, -1);
  Cell(184, 7, "3");  // a number typed as text counts
  Cell(184, 8, -1);
  Cell(184, 9, "#*");
  Cell(184, 11, -1);
  Cell(184, 12, 2.5);  // halves go to the even neighbour
  Cell(184, 13, -1);
  Guard();
  EXPECT_EQ(1, restored.FatigueMode);
  EXPECT_TRUE(restored.IgnoreWeakest);
  EXPECT_TRUE(restored.GroupRates);
  EXPECT_EQ(3.0, restored.RateFactor);
  EXPECT_TRUE(restored.IgnoreByComment);
  EXPECT_EQ("#*", restored.IgnoreChars);
  EXPECT_TRUE(restored.CopyData);
  EXPECT_EQ(2, restored.SetToCopy);
  EXPECT_TRUE(restored.MakeReport);
  EXPECT_EQ(1u, ui.shown.size());  // no box before the dialog
}

TEST_F(GuardTest, OutOfRangeValuesFallBack) {
  Cell(184, 1, 2);  // no such dynamic mode
  Cell(184, 5, 1);  // only -1 is true
  Cell(184, 12, 9);
  Guard();
  EXPECT_EQ(0, restored.FatigueMode);
  EXPECT_FALSE(restored.IgnoreWeakest);
  EXPECT_EQ(1, restored.SetToCopy);
  ASSERT_EQ(2u, ui.shown.size());
  EXPECT_EQ("Value out of range 1 to 6", ui.shown[0].text);
  EXPECT_EQ(AppTitle(), ui.shown[0].title);
}

TEST_F(GuardTest, RateFactorIsKeptOnlyFromOneToAHundred) {
  const std::vector<std::pair<Value, double>> cases = {
      {150, 1.2}, {0.5, 1.2}, {"abc", 1.2}, {100, 100}, {1, 1}, {" 3 ", 3}};
  for (const auto& [cell, factor] : cases) {
    Cell(184, 7, cell);
    Cell(184, 12, "abc");  // not a number: set 1, silently
    ui.shown.clear();
    Guard();
    EXPECT_EQ(factor, restored.RateFactor) << ToText(cell);
    EXPECT_EQ(1, restored.SetToCopy);
    EXPECT_EQ(1u, ui.shown.size());
    sheet.spSaveSheet();  // back to direct mode for the next case
  }
}

TEST_F(GuardTest, StaticWorksheetOpenedForDynamicAsksFirst) {
  Cell(184, 2, 1);
  ui.Answer("CHECK THIS WORKSHEET IS FOR DYNAMIC FATIGUE ANALYSIS", "&Continue");
  Guard();
  ASSERT_EQ(2u, ui.shown.size());
  const auto& box = ui.shown[0];
  EXPECT_EQ("CHECK THIS WORKSHEET IS FOR DYNAMIC FATIGUE ANALYSIS", box.title);
  EXPECT_EQ(
      "The worksheet  \"Data 1\"  in section  \"Section 1\"  MIGHT be configured for static "
      "fatigue analysis instead of dynamic fatigue analysis.\r\r"
      "Are you sure you want to continue with dynamic fatigue analysis?",
      box.text);
  EXPECT_EQ((Strings{"&Continue", "&Stop"}), box.buttons);
  EXPECT_EQ(48, box.flags);
}

TEST_F(GuardTest, StaticAndWeibullMarksGiveTwoWarnings) {
  Cell(184, 2, 1);
  Cell(56, 2, 2);
  Guard();
  ASSERT_EQ(3u, ui.shown.size());
  EXPECT_EQ(ui.shown[0].title, ui.shown[1].title);
  EXPECT_NE(std::string::npos,
            ui.shown[1].text.find("MIGHT be configured for Weibull analysis instead of dynamic"));
}

TEST_F(GuardTest, StopEndsTheRunBeforeTheDialog) {
  settings.FitType = kFitStatic;
  Cell(184, 2, 0);
  Cell(184, 3, -1);
  ui.Answer("CHECK THIS WORKSHEET IS FOR STATIC FATIGUE ANALYSIS", "&Stop");
  try {
    Guard();
    FAIL() << "the run went on";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kStopped, e.reason());
  }
  EXPECT_EQ(1u, ui.shown.size());
  EXPECT_NE(std::string::npos, ui.shown[0].text.find("configured for dynamic fatigue analysis "
                                                     "instead of static fatigue analysis."));
}

TEST_F(GuardTest, LockedWorksheetIsUnlockedOnRequest) {
  Cell(184, 3, -1);
  ui.Answer("WORKSHEET IS LOCKED", "&Unlock");
  Guard();
  ASSERT_EQ(2u, ui.shown.size());
  EXPECT_EQ(
      "The worksheet  \"Data 1\"  in section  \"Section 1\"  has been locked to avoid accidental "
      "changes or to avoid overwriting customizations.\r\r"
      "Do you want to unlock the worksheet and continue the dynamic fatigue analysis?",
      ui.shown[0].text);
  EXPECT_EQ((Strings{"&Unlock", "&Stop"}), ui.shown[0].buttons);
  EXPECT_FALSE(restored.LockWorksheet);
}

TEST_F(GuardTest, StaticRunOpensTheStaticDialogAndKeepsDynamicOptions) {
  settings.FitType = kFitStatic;
  settings.RateFactor = 7;
  settings.IgnoreChars = "%";
  Cell(184, 1, 1);
  Cell(184, 7, 3);
  Cell(184, 13, -1);
  Guard();
  EXPECT_EQ("STATIC FATIGUE OPTIONS  -  version 2.00", form_caption);
  EXPECT_EQ(1032, form_help);
  EXPECT_EQ(2, restored.FatigueMode);
  EXPECT_EQ(7.0, restored.RateFactor);
  EXPECT_EQ("%", restored.IgnoreChars);
  EXPECT_TRUE(restored.MakeReport);
}

}  // namespace
}  // namespace korund::fatigue
