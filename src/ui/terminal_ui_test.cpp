#include "ui/terminal_ui.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "ui/fake_form.h"
#include "util/terminate.h"

namespace korund::ui {
namespace {

using ::testing::HasSubstr;

MessageDialogView View(const std::string& title, std::vector<std::string> captions,
                       int default_button = 1) {
  MessageDialogView v;
  v.title = title;
  v.text = "The worksheet is locked.\r\rUnlock it?";
  captions.resize(4);
  for (const std::string& c : captions) v.visible.push_back(!c.empty());
  v.captions = captions;
  v.default_button = default_button;
  v.help_topic = 1047;
  return v;
}

// One terminal session: the typed lines go in, the screen comes out.
struct Session {
  explicit Session(const std::string& typed, TerminalOptions options = {})
      : in(typed), ui(std::move(options), in, out, bar) {}
  std::istringstream in;
  std::ostringstream out, bar;
  TerminalUi ui;
};

TEST(TerminalUiTest, MessageBoxShowsTitleAndLines) {
  Session s("\n");
  EXPECT_EQ(kIdOk, s.ui.MsgBox("ERROR\rno data\rPROGRAM TERMINATED", kMbIconStop, ""));
  EXPECT_THAT(s.out.str(), HasSubstr("== KORUND 2.00 ==\nERROR\nno data\nPROGRAM TERMINATED\n"));
}

TEST(TerminalUiTest, RetryCancelBox) {
  const int flags = kMbIconStop | kMbRetryCancel;
  EXPECT_EQ(kIdRetry, Session("r\n").ui.MsgBox("x", flags, "NO WORKSHEET"));
  EXPECT_EQ(kIdRetry, Session("\n").ui.MsgBox("x", flags, "NO WORKSHEET"));
  EXPECT_EQ(kIdCancel, Session("what\nC\n").ui.MsgBox("x", flags, "NO WORKSHEET"));
  EXPECT_EQ(kIdCancel, Session("").ui.MsgBox("x", flags, "NO WORKSHEET"));
}

TEST(TerminalUiTest, DialogButtonsByAccessLetterNumberOrEnter) {
  const auto v = View("WORKSHEET IS LOCKED", {"&Unlock", "&Stop"}, 2);
  EXPECT_EQ(1, Session("u\n").ui.ShowMessageDialog(v));
  EXPECT_EQ(2, Session("S\n").ui.ShowMessageDialog(v));
  EXPECT_EQ(1, Session("1\n").ui.ShowMessageDialog(v));
  EXPECT_EQ(2, Session("\n").ui.ShowMessageDialog(v));
  // Hidden buttons and unknown letters are not answers.
  EXPECT_EQ(1, Session("3\nx\nu\n").ui.ShowMessageDialog(v));

  Session shown("u\n");
  shown.ui.ShowMessageDialog(v);
  EXPECT_THAT(shown.out.str(), HasSubstr("== WORKSHEET IS LOCKED ==\nThe worksheet is locked.\n\n"
                                         "Unlock it?\n  1) [U]nlock  2) [S]top   (Enter = Stop"));
}

TEST(TerminalUiTest, HelpKeyShowsTopicAndAsksAgain) {
  Session s("?\n2\n");
  s.ui.SetHelpFile("/opt/korund/KORUND.chm");
  EXPECT_EQ(2, s.ui.ShowMessageDialog(View("T", {"&Stop", "&Continue"})));
  EXPECT_THAT(s.out.str(), HasSubstr("Help: topic 1047 in /opt/korund/KORUND.chm\n"));
  EXPECT_TRUE(IsHelpKey("\x1bOP"));
  EXPECT_FALSE(IsHelpKey("h"));
}

TEST(TerminalUiTest, EndOfInputPressesStopOrCancelOrNothing) {
  EXPECT_EQ(2, Session("").ui.ShowMessageDialog(View("T", {"&Continue", "&Stop"})));
  EXPECT_EQ(3, Session("").ui.ShowMessageDialog(View("T", {"&Continue", "&Retry", "Exit program"})));
  EXPECT_EQ(0, Session("").ui.ShowMessageDialog(View("T", {"&OK"})));
}

TEST(TerminalUiTest, FormListsControlsAndEditsThem) {
  // 3 = group rates, 4 = factor box, 2 = velocity, then Ok.
  Session s("3\n4\n2.5\n2\no\n");
  FakeForm form(s.ui);
  s.ui.RunForm(form);
  EXPECT_TRUE(form.Closed());
  EXPECT_TRUE(form.Get("chkGroupRates").checked);
  EXPECT_EQ("2.5", form.Get("txtRateFactor").text);
  EXPECT_TRUE(form.Get("optMode(1)").checked);
  EXPECT_THAT(s.out.str(), HasSubstr("== TEST OPTIONS  -  version 2.00 ==\n"
                                     "  Worksheet \"Data 1\"\n  Section  \"S\"\n"
                                     " 1. (*) Rate\n 2. ( ) Velocity\n"
                                     " 3. [ ] Group similar rates\n"
                                     " 4.     txtRateFactor: \"1.2\"  (disabled)\n"));
  EXPECT_THAT(s.out.str(), HasSubstr(" 3. [x] Group similar rates\n"));
  EXPECT_THAT(s.out.str(), HasSubstr("[O]k  [C]ancel  [H]elp\n"));
  // The progress bar is drawn in place and its line ended.
  EXPECT_EQ("\rPlease wait.. [" + std::string(15, '#') + std::string(15, '.') + "] 50%" +
                "\rPlease wait.. [" + std::string(30, '#') + "] 100%\n",
            s.bar.str());
}

TEST(TerminalUiTest, FormStaysOpenAfterFailedValidation) {
  Session s("3\n4\nabc\no\n\n4\n3\no\n");
  FakeForm form(s.ui);
  s.ui.RunForm(form);
  EXPECT_EQ((std::vector<std::string>{"cmdOK", "cmdOK"}), form.presses);
  EXPECT_THAT(s.out.str(), HasSubstr("must be a number"));
  EXPECT_EQ("3", form.Get("txtRateFactor").text);
}

TEST(TerminalUiTest, EndOfInputInFormCancelsTheRun) {
  Session s("3\n");
  FakeForm form(s.ui);
  try {
    s.ui.RunForm(form);
    FAIL() << "expected the run to end";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kStopped, e.reason());
  }
  EXPECT_EQ(std::vector<std::string>{"cmdCancel"}, form.presses);
}

TEST(TerminalUiTest, OverridesAreAppliedBeforeTheFormIsShown) {
  TerminalOptions options;
  options.overrides = {FormOverride::Check("chkLock"),
                       FormOverride::SetText("txtSetToCopy", "9")};
  Session s("\n\n", options);
  FakeForm form(s.ui);
  s.ui.RunForm(form);
  EXPECT_TRUE(form.Get("chkLock").checked);
  EXPECT_THAT(s.out.str(), HasSubstr("Note: the dialog did not take txtSetToCopy=\"9\""));
  EXPECT_THAT(s.out.str(), HasSubstr("[x] Lock worksheet"));
}

TEST(TerminalUiTest, AccessKeysFollowTheDialogRule) {
  // The later of two buttons sharing a letter wins; "&" + letter is needed.
  std::vector<std::string> captions = {"&Stop", "", "&Start", "Sx"};
  EXPECT_EQ(2, PressedByKey(captions, 's'));
  EXPECT_EQ(-1, PressedByKey(captions, 'x'));
  EXPECT_EQ("[S]top", ShowAccessKey("&Stop"));
  EXPECT_EQ("Exit program", ShowAccessKey("Exit program"));
  EXPECT_EQ("line 1\nline 2\nline 3", DisplayText("line 1\r\nline 2\rline 3"));
}

}  // namespace
}  // namespace korund::ui
