#include "ui/batch_ui.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "testing/fake_form.h"
#include "testing/scripted_ui.h"
#include "testing/test_files.h"
#include "util/terminate.h"

namespace korund::ui {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class BatchUiTest : public ::testing::Test {
 protected:
  BatchUi& Make() {
    options.desktop_clipboard = [this](const std::string& text) {
      desktop.push_back(text);
      return desktop_works;
    };
    ui = std::make_unique<BatchUi>(options, out, err);
    return *ui;
  }

  BatchOptions options;
  std::ostringstream out, err;
  std::vector<std::string> desktop;
  bool desktop_works = false;
  std::unique_ptr<BatchUi> ui;
};

TEST_F(BatchUiTest, BoxesDiagnosticsAndHelpGoToStandardErrorAndFinishedToOutput) {
  options.answers = {{"NO WORKSHEET", "Retry"}};  // a Retry/Cancel box is always cancelled
  BatchUi& b = Make();
  EXPECT_EQ(kIdOk, b.MsgBox("ERROR\rbad\rPROGRAM TERMINATED", kMbIconStop, ""));
  EXPECT_EQ(kIdOk, b.MsgBox("Weibull analysis complete:\rset 1", kMbIconExclamation, "FINISHED"));
  b.Diagnostic("nb.json: no such file");
  EXPECT_EQ(kIdCancel, b.MsgBox("x", kMbIconStop | kMbRetryCancel, "NO WORKSHEET"));
  b.ShowHelp(1047);
  b.SetHelpFile("/opt/korund/KORUND.chm");
  b.ShowHelp(1018);
  EXPECT_EQ("[KORUND 2.00]\nERROR\nbad\nPROGRAM TERMINATED\nkorund: nb.json: no such file\n"
            "[NO WORKSHEET]\nx\n  -> Cancel\n"
            "korund: help topic 1047 of KORUND.chm\n"
            "korund: help topic 1018 of /opt/korund/KORUND.chm\n",
            err.str());
  EXPECT_EQ("[FINISHED]\nWeibull analysis complete:\nset 1\n", out.str());
}

TEST_F(BatchUiTest, DialogTakesDefaultButtonUnlessAnsweredOrUnlockIsAllowed) {
  options.answers = {{"BAD DATA", "continue"}, {"BAD DATA", "&Stop"}, {"OTHER", "Retry"}};
  BatchUi& b = Make();
  EXPECT_EQ(2, b.ShowMessageDialog(TestDialog("NEW", {"&Stop", "&Continue"}, 2)));
  // Answers for one title in order, caption without "&" and in any case;
  // the last one keeps being used.
  EXPECT_EQ(2, b.ShowMessageDialog(TestDialog("BAD DATA", {"&Stop", "&Continue"})));
  EXPECT_EQ(2, b.ShowMessageDialog(TestDialog("BAD DATA", {"&Continue", "&Stop"})));
  EXPECT_EQ(1, b.ShowMessageDialog(TestDialog("BAD DATA", {"&Stop", "&Continue"})));
  EXPECT_THAT(err.str(),
              HasSubstr("[BAD DATA]\nThe worksheet is locked.\n\nUnlock it?\n  -> Continue\n"));
  // An answer that names no button ends the run as fatal.
  const MessageDialogView other = TestDialog("OTHER", {"&Stop", "&Continue"});
  EXPECT_EQ("fatal", Outcome([&] { b.ShowMessageDialog(other); }));
  EXPECT_THAT(err.str(), HasSubstr("names no button"));

  // A locked worksheet is unlocked only when allowed, whatever the answers say.
  options.answers = {{kLockedTitle, "&Unlock"}};
  EXPECT_EQ(2, Make().ShowMessageDialog(TestDialog(kLockedTitle, {"&Unlock", "&Stop"})));
  options.answers.clear();
  options.allow_unlock = true;
  EXPECT_EQ(1, Make().ShowMessageDialog(TestDialog(kLockedTitle, {"&Unlock", "&Stop"}, 2)));
}

TEST_F(BatchUiTest, AWorksheetOfAnotherAnalysisStopsTheRunUnlessAnAnswerGoesOn) {
  const std::string check = "CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS";
  BatchUi& b = Make();
  // The default button would go on and overwrite the other results.
  EXPECT_EQ(2, b.ShowMessageDialog(TestDialog(check, {"&Continue", "&Stop"})));
  EXPECT_THAT(err.str(), HasSubstr("  -> Stop\nkorund: to analyse this worksheet anyway, add "
                                   "--answer \"" + check + "=Continue\"\n"));
  options.answers = {{check, "&Continue"}};
  EXPECT_EQ(1, Make().ShowMessageDialog(TestDialog(check, {"&Continue", "&Stop"})));
  options.answers = {{check, "stop"}};
  EXPECT_EQ(2, Make().ShowMessageDialog(TestDialog(check, {"&Continue", "&Stop"})));
}

TEST_F(BatchUiTest, FormTakesOverridesThenPressesDefaultButton) {
  options.overrides = {
      FormOverride::Select("optMode(1)"),
      FormOverride::Check("chkGroupRates"),
      FormOverride::SetText("txtRateFactor", "2.5"),
      FormOverride::Check("chkIgnoreWeakest"),  // not on this form: ignored
  };
  BatchUi& b = Make();
  FakeForm form(b);
  b.RunForm(form);
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(std::vector<std::string>{"cmdOK"}, form.presses);
  EXPECT_TRUE(form.Get("optMode(1)").checked);
  EXPECT_EQ("2.5", form.Get("txtRateFactor").text);
  EXPECT_EQ("", err.str());
}

TEST_F(BatchUiTest, FormThatRefusesAnOverrideOrStaysOpenEndsTheRun) {
  options.overrides = {FormOverride::SetText("txtSetToCopy", "7")};
  BatchUi& b = Make();
  FakeForm form(b);
  EXPECT_THROW(b.RunForm(form), TerminateProgramError);
  EXPECT_TRUE(form.presses.empty());
  EXPECT_THAT(err.str(), HasSubstr("[BAD VALUE]"));
  EXPECT_THAT(err.str(), HasSubstr("txtSetToCopy=\"7\""));

  // The factor box is disabled until grouping is on: no override reaches it.
  options.overrides = {FormOverride::SetText("txtRateFactor", "3")};
  BatchUi& disabled = Make();
  FakeForm second(disabled);
  EXPECT_THROW(disabled.RunForm(second), TerminateProgramError);
  EXPECT_EQ("1.2", second.Get("txtRateFactor").text);

  // A form that stays open after Ok ends the run as fatal.
  options.overrides = {FormOverride::Check("chkGroupRates"),
                       FormOverride::SetText("txtRateFactor", "abc")};
  BatchUi& open = Make();
  FakeForm third(open);
  EXPECT_EQ("fatal", Outcome([&] { open.RunForm(third); }));
  EXPECT_FALSE(third.Closed());
  EXPECT_THAT(err.str(), HasSubstr("must be a number"));
}

TEST_F(BatchUiTest, ClipboardGoesToFileThenDesktopThenNote) {
  host::testing::TempDir dir;
  options.clipboard_file = dir.File("clip.txt");
  BatchUi& to_file = Make();
  to_file.ClearClipboard();
  to_file.Clipboard("a\tb\r\n");
  EXPECT_EQ("a\tb\r\n", host::testing::ReadFile(dir.File("clip.txt")));
  EXPECT_TRUE(desktop.empty());

  options.clipboard_file.clear();
  desktop_works = true;
  BatchUi& to_desktop = Make();
  to_desktop.Clipboard("table");
  EXPECT_EQ(std::vector<std::string>{"table"}, desktop);
  EXPECT_THAT(err.str(), Not(HasSubstr("clipboard")));

  desktop_works = false;
  BatchUi& nowhere = Make();
  nowhere.Clipboard("table");
  EXPECT_THAT(err.str(), HasSubstr("--clipboard-file"));
}

}  // namespace
}  // namespace korund::ui
