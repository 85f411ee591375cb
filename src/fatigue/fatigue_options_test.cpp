// The two options dialogs: what they show, what they refuse, and what OK,
// Cancel and Help do.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fatigue/df_options.h"
#include "fatigue/fatigue_test_support.h"
#include "fatigue/sf_options.h"
#include "util/terminate.h"

namespace korund::fatigue {
namespace {

using Strings = std::vector<std::string>;

std::map<std::string, ui::FormControl> ByName(const ui::FormModel& form) {
  std::map<std::string, ui::FormControl> out;
  for (const ui::FormControl& c : form.Controls()) out[c.name] = c;
  return out;
}

class OptionsTest : public FatigueTest {
 protected:
  OptionsTest() {
    settings.WorksheetName = "Data 1";
    settings.SectionName = "Section 1";
    Input(1, kColRawY, {3.0, 4.0});
    Input(1, kColRawX, {1.0, 10.0});
    Load();
  }
  bool Ran() { return Get(kColParms, 2).IsNumber(); }  // the options record
};

TEST_F(OptionsTest, DynamicDialogShowsTheSettingsAndEnablesTextBoxesWithTheirChecks) {
  settings.CopyData = true;
  settings.SetToCopy = 3;
  settings.FatigueMode = 1;
  frmDFoptions form(ctx);
  EXPECT_EQ("DYNAMIC FATIGUE ANALYSIS  -  version 2.00", form.Caption());
  auto c = ByName(form);
  EXPECT_EQ("Worksheet \"Data 1\"\rSection  \"Section 1\"", c["lblCaption"].caption);
  EXPECT_EQ("2-POINT BENDING    - constant faceplate speed (S vs v)", c["optMode(1)"].caption);
  EXPECT_TRUE(c["optMode(1)"].checked && !c["optMode(0)"].checked);
  EXPECT_EQ("1.2", c["txtRateFactor"].text);
  EXPECT_FALSE(c["txtRateFactor"].enabled);
  EXPECT_EQ("3", c["txtSetToCopy"].text);
  EXPECT_TRUE(c["txtSetToCopy"].enabled);
  form.SetChecked("chkGroupRates", true);
  EXPECT_TRUE(ByName(form)["txtRateFactor"].enabled);
}

TEST_F(OptionsTest, DynamicOkStoresTheOptionsAndRunsTheAnalysis) {
  frmDFoptions form(ctx);
  form.SelectOption("optMode(1)");
  form.SetChecked("chkIgnoreWeakest", true);
  form.SetChecked("chkGroupRates", true);
  form.SetText("txtRateFactor", "100");
  form.SetChecked("chkIgnore", true);
  form.SetText("txtIgnore", "  #!  ");
  form.SetChecked("chkCopyData", true);
  form.SetText("txtSetToCopy", "2.6");
  form.SetChecked("chkReport", true);
  form.SetChecked("chkLock", true);
  form.Press("cmdOK");
  EXPECT_TRUE(form.Closed() && Ran());
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(1, settings.FatigueMode);
  EXPECT_TRUE(settings.IgnoreWeakest && settings.GroupRates && settings.IgnoreByComment);
  EXPECT_EQ(100.0, settings.RateFactor);
  EXPECT_EQ("#!", settings.IgnoreChars);
  EXPECT_TRUE(settings.CopyData);
  EXPECT_EQ(3, settings.SetToCopy);
  EXPECT_FALSE(settings.MakeReport);  // the report box is never used
  EXPECT_TRUE(settings.LockWorksheet);
}

TEST_F(OptionsTest, BadTriggerCharactersKeepTheDialogOpen) {
  for (const std::string chars : {"#1", "a b", "\xC3\xA9"}) {
    ui.shown.clear();
    frmDFoptions form(ctx);
    form.SelectOption("optMode(1)");
    form.SetText("txtIgnore", chars);  // checked even with the rule off
    form.Press("cmdOK");
    EXPECT_FALSE(form.Closed() || form.busy()) << chars;
    ASSERT_EQ(1u, ui.shown.size()) << chars;
    EXPECT_EQ("dialog", ui.shown[0].kind);
    EXPECT_EQ(AppTitle(), ui.shown[0].title);
    EXPECT_EQ(
        "Invalid character in ignore trigger characters.\r"
        "Do not use numbers or other non-printable characters.",
        ui.shown[0].text);
    EXPECT_EQ((Strings{"&OK"}), ui.shown[0].buttons);
    EXPECT_EQ(1, settings.FatigueMode);  // stored before the check
  }
  EXPECT_FALSE(Ran());
}

TEST_F(OptionsTest, RateFactorMustBeANumberAndIsResetOutsideOneToAHundred) {
  frmDFoptions form(ctx);
  form.SetText("txtRateFactor", "abc");
  form.Press("cmdOK");
  EXPECT_FALSE(form.Closed() || Ran());
  EXPECT_EQ("The factor for grouping similar rates must be a number", ui.shown.at(0).text);
  for (const std::string text : {"0.5", "150"}) {
    ui.shown.clear();
    frmDFoptions again(ctx);
    again.SetText("txtRateFactor", text);
    again.Press("cmdOK");
    EXPECT_TRUE(again.Closed());
    EXPECT_EQ(
        "The factor for grouping similar rates must be between 1 and 100. It has been reset "
        "to 1",
        ui.shown.at(0).text);
    EXPECT_EQ(1.0, settings.RateFactor);
  }
}

TEST_F(OptionsTest, SetNumberOutsideOneToSixIsReplacedByOne) {
  frmDFoptions form(ctx);
  form.SetText("txtSetToCopy", "7");
  EXPECT_EQ((Strings{AppTitle(), "BAD VALUE"}), ui.Titles());
  EXPECT_EQ("Value out of range 1 to 6", ui.shown[0].text);
  EXPECT_EQ("Bad data set number: it must be in the range 1 to 6", ui.shown[1].text);
  EXPECT_EQ("1", ByName(form)["txtSetToCopy"].text);
  for (const std::string text : {"", "two"}) {
    ui.shown.clear();
    form.SetText("txtSetToCopy", text);
    EXPECT_EQ((Strings{"BAD VALUE"}), ui.Titles()) << text;
    EXPECT_EQ("1", ByName(form)["txtSetToCopy"].text);
  }
}

TEST_F(OptionsTest, HelpOpensTheTopicAndCancelEndsTheRunWithoutWriting) {
  frmDFoptions dynamic(ctx);
  frmSFoptions stat(ctx);
  dynamic.Press("cmdHelp");
  stat.Press("cmdHelp");
  EXPECT_EQ((std::vector<int>{1018, 1032}), ui.help_topics);
  try {
    dynamic.Press("cmdCancel");
    FAIL() << "the run went on";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kStopped, e.reason());
  }
  EXPECT_THROW(stat.Press("cmdCancel"), TerminateProgramError);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_FALSE(Ran());
}

// A progress bar that presses the dialog's buttons once while the analysis
// runs, as an impatient user would.
class ImpatientUi : public ui::ScriptedUi {
 public:
  class Bar : public ui::RecordingProgressBar {
   public:
    void set_value(int v) override {
      RecordingProgressBar::set_value(v);
      if (ui::FormModel* f = std::exchange(form, nullptr)) {
        for (const char* button : {"cmdOK", "cmdCancel", "cmdHelp"}) f->Press(button);
      }
    }
    ui::FormModel* form = nullptr;
  };
  ui::ProgressBar& Progress() override { return bar; }
  Bar bar;
};

TEST_F(OptionsTest, ButtonsDoNothingWhileTheAnalysisRuns) {
  ImpatientUi impatient;
  RunContext busy_ctx{settings, impatient, msg, sheet};
  frmDFoptions dynamic(busy_ctx);
  impatient.bar.form = &dynamic;
  dynamic.Press("cmdOK");  // neither a second run, nor a cancel, nor help
  frmSFoptions stat(busy_ctx);
  impatient.bar.form = &stat;
  stat.Press("cmdOK");
  EXPECT_TRUE(dynamic.Closed() && stat.Closed() && Ran());
  EXPECT_TRUE(impatient.help_topics.empty());
}

TEST_F(OptionsTest, StaticReportBoxIsNotImplementedAndOkKeepsTheStoredReportSetting) {
  settings.FitType = kFitStatic;
  settings.FatigueMode = 2;
  settings.MakeReport = true;
  frmSFoptions form(ctx);
  form.SetChecked("chkReport", true);
  EXPECT_EQ((Strings{"OPTION NOT IMPLEMENTED"}), ui.Titles());
  EXPECT_FALSE(ByName(form)["chkReport"].checked);
  form.SetChecked("chkLock", true);
  form.Press("cmdOK");
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(settings.LockWorksheet && settings.MakeReport);
  EXPECT_EQ(-1, NumAt(kColParms, 3));
  EXPECT_EQ(-1, NumAt(kColParms, 13));
}

}  // namespace
}  // namespace korund::fatigue
