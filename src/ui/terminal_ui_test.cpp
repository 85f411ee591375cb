#include "ui/terminal_ui.h"
#include "util/text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "testing/fake_form.h"
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

TEST(TerminalUiTest, MessageBoxesShowTitleAndLinesAndRetryCancelAsks) {
  Session s("\n");
  EXPECT_EQ(kIdOk, s.ui.MsgBox("ERROR\rno data\rPROGRAM TERMINATED", kMbIconStop, ""));
  EXPECT_THAT(s.out.str(), HasSubstr("== KORUND 2.00 ==\nERROR\nno data\nPROGRAM TERMINATED\n"));
  for (const auto& [typed, id] : std::vector<std::pair<const char*, int>>{
           {"r\n", kIdRetry}, {"\n", kIdRetry}, {"what\nC\n", kIdCancel}, {"", kIdCancel}}) {
    EXPECT_EQ(id, Session(typed).ui.MsgBox("x", kMbIconStop | kMbRetryCancel, "NO WORKSHEET"));
  }
}

TEST(TerminalUiTest, DialogButtonsByAccessLetterNumberEnterOrAfterHelp) {
  const auto v = View("WORKSHEET IS LOCKED", {"&Unlock", "&Stop"}, 2);
  for (const auto& [typed, button] : std::vector<std::pair<const char*, int>>{
           {"u\n", 1}, {"S\n", 2}, {"1\n", 1}, {"\n", 2},
           {"3\nx\nu\n", 1}}) {  // hidden buttons and unknown letters are not answers
    EXPECT_EQ(button, Session(typed).ui.ShowMessageDialog(v)) << typed;
  }

  Session shown("u\n");
  shown.ui.ShowMessageDialog(v);
  EXPECT_THAT(shown.out.str(), HasSubstr("== WORKSHEET IS LOCKED ==\nThe worksheet is locked.\n\n"
                                         "Unlock it?\n  1) [U]nlock  2) [S]top   (Enter = Stop"));

  Session help("?\n2\n");  // the help key shows the topic and asks again
  help.ui.SetHelpFile("/opt/korund/KORUND.chm");
  EXPECT_EQ(2, help.ui.ShowMessageDialog(v));
  EXPECT_THAT(help.out.str(), HasSubstr("Help: topic 1047 in /opt/korund/KORUND.chm\n"));
  EXPECT_TRUE(IsHelpKey("\x1bOP"));
  EXPECT_FALSE(IsHelpKey("h"));
}

TEST(TerminalUiTest, EndOfInputPressesStopOrCancelOrNothing) {
  EXPECT_EQ(2, Session("").ui.ShowMessageDialog(View("T", {"&Continue", "&Stop"})));
  EXPECT_EQ(3, Session("").ui.ShowMessageDialog(View("T", {"&Continue", "&Retry", "Exit program"})));
  EXPECT_EQ(0, Session("").ui.ShowMessageDialog(View("T", {"&OK"})));
  Session s("3\n");  // in a form, it cancels the run
  FakeForm form(s.ui);
  EXPECT_THROW(s.ui.RunForm(form), TerminateProgramError);
  EXPECT_EQ(std::vector<std::string>{"cmdCancel"}, form.presses);
}

TEST(TerminalUiTest, FormListsControlsAndEditsThemAndStaysOpenAfterFailedValidation) {
  // 3 = group rates, 4 = factor box, Ok refused (Enter closes the box), 4, 2 = velocity, Ok.
  Session s("3\n4\nabc\no\n\n4\n2.5\n2\no\n");
  FakeForm form(s.ui);
  s.ui.RunForm(form);
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ((std::vector<std::string>{"cmdOK", "cmdOK"}), form.presses);
  EXPECT_THAT(s.out.str(), HasSubstr("must be a number"));
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
  EXPECT_EQ("line 1\nline 2\nline 3", ToDisplayLines("line 1\r\nline 2\rline 3"));
}

}  // namespace
}  // namespace korund::ui
