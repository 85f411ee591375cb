// The two options dialogs: what they show, what they refuse, and what OK,
// Cancel and Help do.

#include <map>
#include <stdexcept>
#include <string>
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

class DynamicOptionsTest : public FatigueTest {
 protected:
  DynamicOptionsTest() {
    settings.WorksheetName = "Data 1";
    settings.SectionName = "Section 1";
    settings.IgnoreChars = "#";
    Input(1, kColRawY, {3.0, 4.0});
    Input(1, kColRawX, {1.0, 10.0});
    Load();
  }
  // The options record shows whether the analysis ran.
  bool Ran() { return Get(kColParms, 2).IsNumber(); }
};

TEST_F(DynamicOptionsTest, LoadShowsTheSettings) {
  settings.GroupRates = false;
  settings.RateFactor = 1.2;
  settings.CopyData = true;
  settings.SetToCopy = 3;
  settings.FatigueMode = 1;
  frmDFoptions form(ctx);
  EXPECT_EQ("DYNAMIC FATIGUE ANALYSIS  -  version 2.00", form.Caption());
  EXPECT_EQ(1018, form.HelpTopic());
  auto c = ByName(form);
  EXPECT_EQ("Worksheet \"Data 1\"\rSection  \"Section 1\"", c["lblCaption"].caption);
  EXPECT_EQ(
      "- Data to be analyzed should be placed in columns 1(comments), 2 (strengths) and 3\r"
      "   (corresponding rates).\r"
      "- Additional sets can be placed in 31:33, 61:63, 91:93, 121:123 and 151:153.\r"
      "- Information anywhere else in the worksheet might be overwritten.",
      c["lblDynFat"].caption);
  EXPECT_EQ(
      "TENSION - all modes\r\n"
      "2-POINT BENDING    - constant stress or strain rate\r\n"
      "2-POINT BENDING    - constant faceplate speed (S vs dS/dt)\r\n"
      "4-POINT BENDING    - all modes",
      c["optMode(0)"].caption);
  EXPECT_EQ("2-POINT BENDING    - constant faceplate speed (S vs v)", c["optMode(1)"].caption);
  EXPECT_EQ("optMode", c["optMode(0)"].group);
  EXPECT_FALSE(c["optMode(0)"].checked);
  EXPECT_TRUE(c["optMode(1)"].checked);
  EXPECT_EQ("1.2", c["txtRateFactor"].text);
  EXPECT_FALSE(c["txtRateFactor"].enabled);
  EXPECT_EQ("#", c["txtIgnore"].text);
  EXPECT_FALSE(c["txtIgnore"].enabled);
  EXPECT_EQ("3", c["txtSetToCopy"].text);
  EXPECT_TRUE(c["txtSetToCopy"].enabled);
  EXPECT_FALSE(c["chkLock"].checked);
  EXPECT_EQ("&Ok", c["cmdOK"].caption);
  EXPECT_EQ("&Cancel", c["cmdCancel"].caption);
  EXPECT_EQ("&Help", c["cmdHelp"].caption);

  form.SetChecked("chkGroupRates", true);
  EXPECT_TRUE(ByName(form)["txtRateFactor"].enabled);
  EXPECT_THROW(form.SetChecked("chkNothing", true), std::invalid_argument);
}

TEST_F(DynamicOptionsTest, OkStoresTheOptionsAndRunsTheAnalysis) {
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
  EXPECT_EQ("3", ByName(form)["txtSetToCopy"].text);
  form.Press("cmdOK");
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(Ran());
  EXPECT_EQ(1, settings.FatigueMode);
  EXPECT_TRUE(settings.IgnoreWeakest);
  EXPECT_TRUE(settings.GroupRates);
  EXPECT_EQ(100.0, settings.RateFactor);
  EXPECT_TRUE(settings.IgnoreByComment);
  EXPECT_EQ("#!", settings.IgnoreChars);
  EXPECT_TRUE(settings.CopyData);
  EXPECT_EQ(3, settings.SetToCopy);
  EXPECT_FALSE(settings.MakeReport);  // the report box is never used
  EXPECT_TRUE(settings.LockWorksheet);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DynamicOptionsTest, BadTriggerCharactersKeepTheDialogOpen) {
  for (const std::string chars : {"#1", "a b", "\xC3\xA9"}) {
    ui.shown.clear();
    frmDFoptions form(ctx);
    form.SelectOption("optMode(1)");
    form.SetText("txtIgnore", chars);  // checked even with the rule off
    form.Press("cmdOK");
    EXPECT_FALSE(form.Closed()) << chars;
    EXPECT_FALSE(form.busy());
    ASSERT_EQ(1u, ui.shown.size()) << chars;
    EXPECT_EQ("dialog", ui.shown[0].kind);
    EXPECT_EQ(AppTitle(), ui.shown[0].title);
    EXPECT_EQ(
        "Invalid character in ignore trigger characters.\r"
        "Do not use numbers or other non-printable characters.",
        ui.shown[0].text);
    EXPECT_EQ(16, ui.shown[0].flags);
    EXPECT_EQ((Strings{"&OK"}), ui.shown[0].buttons);
    EXPECT_EQ(1, settings.FatigueMode);  // stored before the check
  }
  EXPECT_FALSE(Ran());
}

TEST_F(DynamicOptionsTest, RateFactorThatIsNotANumberKeepsTheDialogOpen) {
  frmDFoptions form(ctx);
  form.SetText("txtRateFactor", "abc");
  form.Press("cmdOK");
  EXPECT_FALSE(form.Closed());
  EXPECT_EQ((Strings{AppTitle()}), ui.Titles());
  EXPECT_EQ("The factor for grouping similar rates must be a number", ui.shown[0].text);
  EXPECT_EQ(48, ui.shown[0].flags);
  EXPECT_FALSE(Ran());
  // The user mends it and tries again.
  form.SetText("txtRateFactor", "2");
  form.Press("cmdOK");
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(2.0, settings.RateFactor);
}

TEST_F(DynamicOptionsTest, RateFactorOutOfRangeIsResetAndTheRunGoesOn) {
  for (const std::string text : {"0.5", "150"}) {
    ui.shown.clear();
    frmDFoptions form(ctx);
    form.SetText("txtRateFactor", text);
    form.Press("cmdOK");
    EXPECT_TRUE(form.Closed());
    ASSERT_EQ(1u, ui.shown.size());
    EXPECT_EQ(
        "The factor for grouping similar rates must be between 1 and 100. It has been reset "
        "to 1",
        ui.shown[0].text);
    EXPECT_EQ(1.0, settings.RateFactor);
    EXPECT_EQ(text, ByName(form)["txtRateFactor"].text);
  }
}

TEST_F(DynamicOptionsTest, SetNumberOutsideOneToSixIsReplacedByOne) {
  frmDFoptions form(ctx);
  form.SetText("txtSetToCopy", "7");
  EXPECT_EQ((Strings{AppTitle(), "BAD VALUE"}), ui.Titles());
  EXPECT_EQ("Value out of range 1 to 6", ui.shown[0].text);
  EXPECT_EQ("Bad data set number: it must be in the range 1 to 6", ui.shown[1].text);
  EXPECT_EQ(16, ui.shown[1].flags);
  EXPECT_EQ("1", ByName(form)["txtSetToCopy"].text);
  for (const std::string text : {"", "two"}) {
    ui.shown.clear();
    form.SetText("txtSetToCopy", text);
    EXPECT_EQ((Strings{"BAD VALUE"}), ui.Titles()) << text;
    EXPECT_EQ("1", ByName(form)["txtSetToCopy"].text);
  }
  form.SetText("txtSetToCopy", "6");
  EXPECT_EQ("6", ByName(form)["txtSetToCopy"].text);
}

TEST_F(DynamicOptionsTest, CancelEndsTheRunWithoutWriting) {
  frmDFoptions form(ctx);
  try {
    form.Press("cmdCancel");
    FAIL() << "the run went on";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kStopped, e.reason());
  }
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_FALSE(Ran());
}

TEST_F(DynamicOptionsTest, HelpOpensTheTopic) {
  frmDFoptions form(ctx);
  form.Press("cmdHelp");
  EXPECT_EQ((std::vector<int>{1018}), ui.help_topics);
  EXPECT_FALSE(form.Closed());
}

// A UI whose progress bar presses the dialog's buttons while the analysis
// runs, as an impatient user would.
class ImpatientUi : public ui::ScriptedUi {
 public:
  class Bar : public ui::ProgressBar {
   public:
    int value() const override { return value_; }
    void set_value(int v) override {
      value_ = v;
      if (form != nullptr) {
        ui::FormModel* f = form;
        form = nullptr;  // once is enough
        f->Press("cmdOK");
        f->Press("cmdCancel");
        f->Press("cmdHelp");
      }
    }
    ui::FormModel* form = nullptr;
    int value_ = 0;
  };
  ui::ProgressBar& Progress() override { return bar; }
  Bar bar;
};

TEST_F(DynamicOptionsTest, ButtonsDoNothingWhileTheAnalysisRuns) {
  ImpatientUi impatient;
  RunContext busy_ctx{settings, impatient, msg, sheet};
  frmDFoptions form(busy_ctx);
  impatient.bar.form = &form;
  form.Press("cmdOK");  // neither a second run, nor a cancel, nor help
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(impatient.help_topics.empty());
  EXPECT_TRUE(Ran());
}

class StaticOptionsTest : public FatigueTest {
 protected:
  StaticOptionsTest() {
    settings.FitType = kFitStatic;
    settings.FatigueMode = 2;
    settings.WorksheetName = "Data 1";
    settings.SectionName = "Section 1";
    Load();
  }
};

TEST_F(StaticOptionsTest, LoadShowsWhereTheDataGo) {
  frmSFoptions form(ctx);
  EXPECT_EQ("STATIC FATIGUE OPTIONS  -  version 2.00", form.Caption());
  EXPECT_EQ(1032, form.HelpTopic());
  auto c = ByName(form);
  EXPECT_EQ("Worksheet \"Data 1\"\rSection  \"Section 1\"", c["lblCaption"].caption);
  EXPECT_EQ(
      "Data to be analyzed should be placed in columns 2 (time to failure) and 3 (applied "
      "stress). Additional sets can be placed in 32:33, 62:63, 92:93, 122:123 and 152:153.\r"
      "Information anywhere else in the worksheet might be overwritten.",
      c["lblStatFat"].caption);
  EXPECT_FALSE(c["chkLock"].checked);
  EXPECT_FALSE(c["chkReport"].checked);
}

TEST_F(StaticOptionsTest, ReportBoxSaysItIsNotImplementedAndClears) {
  frmSFoptions form(ctx);
  form.SetChecked("chkReport", true);
  EXPECT_EQ((Strings{"OPTION NOT IMPLEMENTED"}), ui.Titles());
  EXPECT_FALSE(ByName(form)["chkReport"].checked);
}

TEST_F(StaticOptionsTest, OkRunsWithTheLockAndTheStoredReportSetting) {
  settings.MakeReport = true;
  frmSFoptions form(ctx);
  form.SetChecked("chkLock", true);
  form.Press("cmdOK");
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(settings.LockWorksheet);
  EXPECT_TRUE(settings.MakeReport);
  EXPECT_EQ(-1, NumAt(kColParms, 3));
  EXPECT_EQ(1, NumAt(kColParms, 2));
  EXPECT_EQ(0u, settings.FinishMessage.rfind("Static fatigue analysis complete:", 0));
}

TEST_F(StaticOptionsTest, CancelAndHelp) {
  frmSFoptions form(ctx);
  form.Press("cmdHelp");
  EXPECT_EQ((std::vector<int>{1032}), ui.help_topics);
  EXPECT_THROW(form.Press("cmdCancel"), TerminateProgramError);
  EXPECT_FALSE(Get(kColParms, 2).IsNumber());
}

}  // namespace
}  // namespace korund::fatigue
