#include "ui/batch_ui.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ui/fake_form.h"
#include "util/terminate.h"

namespace korund::ui {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

MessageDialogView View(const std::string& title, std::vector<std::string> captions,
                       int default_button = 1) {
  MessageDialogView v;
  v.title = title;
  v.text = "first\rsecond";
  captions.resize(4);
  for (const std::string& c : captions) v.visible.push_back(!c.empty());
  v.captions = captions;
  v.default_button = default_button;
  v.icon = kMbIconExclamation;
  return v;
}

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

TEST_F(BatchUiTest, BoxesGoToStandardErrorAndFinishedToStandardOutput) {
  BatchUi& b = Make();
  EXPECT_EQ(kIdOk, b.MsgBox("ERROR\rbad\rPROGRAM TERMINATED", kMbIconStop, ""));
  EXPECT_EQ(kIdOk, b.MsgBox("Weibull analysis complete:\rset 1", kMbIconExclamation, "FINISHED"));
  EXPECT_EQ("[KORUND 2.00]\nERROR\nbad\nPROGRAM TERMINATED\n", err.str());
  EXPECT_EQ("[FINISHED]\nWeibull analysis complete:\nset 1\n", out.str());
}

TEST_F(BatchUiTest, RetryCancelBoxIsAlwaysCancelled) {
  options.answers = {{"NO WORKSHEET", "Retry"}};
  BatchUi& b = Make();
  EXPECT_EQ(kIdCancel, b.MsgBox("Unable to open worksheet", kMbIconStop | kMbRetryCancel,
                                "NO WORKSHEET"));
  EXPECT_THAT(err.str(), HasSubstr("-> Cancel"));
}

TEST_F(BatchUiTest, DiagnosticsGoToStandardError) {
  BatchUi& b = Make();
  b.Diagnostic("nb.json: no such file");
  EXPECT_EQ("korund: nb.json: no such file\n", err.str());
  EXPECT_EQ("", out.str());
}

TEST_F(BatchUiTest, DialogTakesDefaultButtonUnlessAnswered) {
  options.answers = {{"BAD DATA", "continue"}, {"BAD DATA", "&Stop"}};
  BatchUi& b = Make();
  EXPECT_EQ(2, b.ShowMessageDialog(View("OTHER", {"&Stop", "&Continue"}, 2)));
  // Answers for one title in order, caption without "&" and in any case;
  // the last one keeps being used.
  EXPECT_EQ(2, b.ShowMessageDialog(View("BAD DATA", {"&Stop", "&Continue"})));
  EXPECT_EQ(2, b.ShowMessageDialog(View("BAD DATA", {"&Continue", "&Stop"})));
  EXPECT_EQ(1, b.ShowMessageDialog(View("BAD DATA", {"&Stop", "&Continue"})));
  EXPECT_THAT(err.str(), HasSubstr("[BAD DATA]\nfirst\nsecond\n  -> Continue\n"));
}

TEST_F(BatchUiTest, AnswerNamingNoButtonEndsTheRunAsFatal) {
  options.answers = {{"BAD DATA", "Retry"}};
  BatchUi& b = Make();
  try {
    b.ShowMessageDialog(View("BAD DATA", {"&Stop", "&Continue"}));
    FAIL() << "expected the run to end";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kFatal, e.reason());
  }
  EXPECT_THAT(err.str(), HasSubstr("names no button"));
}

TEST_F(BatchUiTest, LockedWorksheetIsUnlockedOnlyWhenAllowed) {
  options.answers = {{kLockedTitle, "&Unlock"}};  // not enough on its own
  BatchUi& refuses = Make();
  EXPECT_EQ(2, refuses.ShowMessageDialog(View(kLockedTitle, {"&Unlock", "&Stop"})));

  options.answers.clear();
  options.allow_unlock = true;
  BatchUi& allows = Make();
  EXPECT_EQ(1, allows.ShowMessageDialog(View(kLockedTitle, {"&Unlock", "&Stop"}, 2)));
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
  EXPECT_FALSE(form.Get("optMode(0)").checked);
  EXPECT_EQ("2.5", form.Get("txtRateFactor").text);
  EXPECT_EQ("", err.str());
}

TEST_F(BatchUiTest, FormThatRefusesAnOverrideEndsTheRunWithoutOk) {
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
}

TEST_F(BatchUiTest, FormThatStaysOpenEndsTheRunAsFatal) {
  options.overrides = {FormOverride::Check("chkGroupRates"),
                       FormOverride::SetText("txtRateFactor", "abc")};
  BatchUi& b = Make();
  FakeForm form(b);
  try {
    b.RunForm(form);
    FAIL() << "expected the run to end";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kFatal, e.reason());
  }
  EXPECT_FALSE(form.Closed());
  EXPECT_THAT(err.str(), HasSubstr("must be a number"));
}

TEST_F(BatchUiTest, HelpNamesTopicAndHelpFile) {
  BatchUi& b = Make();
  b.ShowHelp(1047);
  b.SetHelpFile("/opt/korund/KORUND.chm");
  b.ShowHelp(1018);
  EXPECT_EQ("korund: help topic 1047 of KORUND.chm\n"
            "korund: help topic 1018 of /opt/korund/KORUND.chm\n",
            err.str());
}

TEST_F(BatchUiTest, ClipboardGoesToFileThenDesktopThenNote) {
  auto file = std::filesystem::temp_directory_path() / "korund_batch_clip.txt";
  std::filesystem::remove(file);
  options.clipboard_file = file.string();
  BatchUi& to_file = Make();
  to_file.ClearClipboard();
  to_file.Clipboard("a\tb\r\n");
  std::ifstream in(file, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ("a\tb\r\n", content);
  EXPECT_TRUE(desktop.empty());
  std::filesystem::remove(file);

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
