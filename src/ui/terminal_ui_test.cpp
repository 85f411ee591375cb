#include "ui/terminal_ui.h"
#include "util/text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "testing/fake_form.h"
#include "testing/scripted_ui.h"
#include "ui/help_topics.h"
#include "util/terminate.h"

namespace korund::ui {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

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
  EXPECT_THAT(s.out.str(), HasSubstr("== KORUND 2.00 ==\n[stop] ERROR\n       no data\n"
                                     "       PROGRAM TERMINATED\n"));
  for (const auto& [typed, id] : std::vector<std::pair<const char*, int>>{
           {"r\n", kIdRetry}, {"\n", kIdRetry}, {"what\nC\n", kIdCancel}, {"", kIdCancel}}) {
    EXPECT_EQ(id, Session(typed).ui.MsgBox("x", kMbIconStop | kMbRetryCancel, "NO WORKSHEET"));
  }
}

TEST(TerminalUiTest, DialogButtonsByAccessLetterNumberEnterOrAfterHelp) {
  const auto v = TestDialog("WORKSHEET IS LOCKED", {"&Unlock", "&Stop"}, 2);
  for (const auto& [typed, button] : std::vector<std::pair<const char*, int>>{
           {"u\n", 1}, {"S\n", 2}, {"1\n", 1}, {"\n", 2},
           {"3\nx\nu\n", 1}}) {  // hidden buttons and unknown letters are not answers
    EXPECT_EQ(button, Session(typed).ui.ShowMessageDialog(v)) << typed;
  }

  Session shown("u\n");
  shown.ui.ShowMessageDialog(v);
  EXPECT_THAT(shown.out.str(), HasSubstr("== WORKSHEET IS LOCKED ==\nThe worksheet is locked.\n\n"
                                         "Unlock it?\n  1) [U]nlock  2) [S]top   (Enter = Stop"));

  Session help("?\n2\n");  // the help key prints the page and asks again
  help.ui.SetHelpFile("/opt/korund/KORUND.chm");
  EXPECT_EQ(2, help.ui.ShowMessageDialog(v));
  EXPECT_THAT(help.out.str(), HasSubstr(HelpAsPlainText(FindHelpTopic(1047).markdown)));
  EXPECT_THAT(help.out.str(), Not(HasSubstr("KORUND.chm")));
  EXPECT_TRUE(IsHelpKey("\x1bOP"));
  EXPECT_FALSE(IsHelpKey("h"));
}

TEST(TerminalUiTest, EndOfInputPressesStopOrCancelOrNothing) {
  EXPECT_EQ(2, Session("").ui.ShowMessageDialog(TestDialog("T", {"&Continue", "&Stop"})));
  EXPECT_EQ(3, Session("").ui.ShowMessageDialog(TestDialog("T", {"&Continue", "&Retry", "Exit program"})));
  EXPECT_EQ(0, Session("").ui.ShowMessageDialog(TestDialog("T", {"&OK"})));
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
                                     " 1. (*) Rate\n"
                                     "        or strain rate\n"
                                     " 2. ( ) Velocity\n"
                                     " 3. [ ] Group similar rates\n"
                                     " 4.     factor for: Group similar rates: \"1.2\""
                                     "  (disabled)\n"
                                     " 5. [ ] Copy to clipboard - set:\n"
                                     " 6.     set for: Copy to clipboard - set: \"2\"\n"));
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

TEST(TerminalUiTest, BoxesLeadWithTheirIconMarkAndRingOnlyForStopAndExclamation) {
  struct Case {
    int icon;
    const char* mark;
    bool bell;
  };
  for (const Case& c : std::vector<Case>{{kMbIconStop, "[stop] ", true},
                                         {kMbIconQuestion, "[?] ", false},
                                         {kMbIconExclamation, "[!] ", true},
                                         {kMbIconInformation, "[i] ", false},
                                         {0, "", false}}) {
    SCOPED_TRACE(c.icon);
    const std::string box = "\n== T ==\n" + std::string(c.mark) + "one\n";
    Session msgbox("\n");
    msgbox.ui.MsgBox("one", c.icon | kMbOk, "T");
    EXPECT_EQ((c.bell ? "\a" : "") + box + "[O]K (Enter) > ", msgbox.out.str());

    Session dialog("\n");
    MessageDialogView v = TestDialog("T", {"&OK"});
    v.text = "one";
    v.icon = c.icon;
    dialog.ui.ShowMessageDialog(v);
    EXPECT_THAT(dialog.out.str(), ::testing::StartsWith((c.bell ? "\a" : "") + box));

    TerminalOptions quiet;
    quiet.bell = false;  // not at a terminal: no bell, the marks stay
    Session silent("\n", quiet);
    silent.ui.MsgBox("one", c.icon, "T");
    EXPECT_EQ(box + "[O]K (Enter) > ", silent.out.str());
  }
}

FormControl Item(FormControl::Kind kind, const std::string& name, const std::string& caption) {
  return FakeForm::Control(kind, name, caption);
}

TEST(TerminalUiTest, NumbersLineUpAndEachOptionHasItsOwnWhateverItsLength) {
  using K = FormControl::Kind;
  std::vector<FormControl> controls = {
      Item(K::kOption, "optMode(0)", "TENSION - all modes\r\n2-POINT BENDING - rate\r\n4-POINT"),
      Item(K::kOption, "optMode(1)", "2-POINT BENDING - faceplate")};
  for (int i = 3; i <= 10; ++i) {  // captions may end in a blank, as the form's do
    const std::string n = std::to_string(i);
    controls.push_back(Item(K::kCheck, "chk" + n, "box " + n + " "));
  }
  controls.push_back(Item(K::kButton, "cmdOK", "&Ok"));
  Session s("2\n10\n\n");
  FakeForm form(s.ui, controls);
  s.ui.RunForm(form);
  const std::vector<FormControl> after = form.Controls();
  EXPECT_FALSE(after[0].checked);
  EXPECT_TRUE(after[1].checked);
  EXPECT_TRUE(after[9].checked);
  EXPECT_THAT(s.out.str(), HasSubstr("==\n"
                                     "  1. ( ) TENSION - all modes\n"
                                     "         2-POINT BENDING - rate\n"
                                     "         4-POINT\n"
                                     "  2. ( ) 2-POINT BENDING - faceplate\n"
                                     "  3. [ ] box 3\n"));
  EXPECT_THAT(s.out.str(), HasSubstr("  9. [ ] box 9\n 10. [x] box 10\n"));
}

TEST(TerminalUiTest, TextBoxesShowTheCaptionOfTheirCheckBoxNeverTheirName) {
  using K = FormControl::Kind;
  const std::vector<FormControl> controls = {
      Item(K::kLabel, "lblCaption", "caption"),
      Item(K::kText, "txtFirst", ""),
      Item(K::kCheck, "chkGroupRates", "Group similar rates within a factor of "),
      Item(K::kText, "txtRateFactor", ""),
      Item(K::kCheck, "chkIgnore", "&Ignore data with ID starting with"),
      Item(K::kText, "txtIgnore", ""),
      Item(K::kText, "txtOwn", "Own caption")};
  EXPECT_EQ("value", TextBoxCaption(controls, 1));
  EXPECT_EQ("factor for: Group similar rates within a factor of", TextBoxCaption(controls, 3));
  EXPECT_EQ("characters for: Ignore data with ID starting with", TextBoxCaption(controls, 5));
  EXPECT_EQ("Own caption", TextBoxCaption(controls, 6));
}

// The help key and the help button print the form's page; a box the model
// shows while the form is open is drawn, and the box it unchecks stays clear.
TEST(TerminalUiTest, HelpPrintsTheFormsPageAndTheModelsBoxesAndResetsAreShown) {
  Session s("?\nh\n8\n\no\n");
  FakeForm form(s.ui);
  s.ui.RunForm(form);
  const std::string page = HelpAsPlainText(FindHelpTopic(1018).markdown);
  const std::string out = s.out.str();
  const size_t first = out.find(page);
  ASSERT_NE(std::string::npos, first);
  EXPECT_NE(std::string::npos, out.find(page, first + page.size()));
  EXPECT_THAT(out, HasSubstr("== OPTION NOT IMPLEMENTED ==\n[!] This option is not yet"));
  EXPECT_FALSE(form.Get("chkReport").checked);
  EXPECT_THAT(out, Not(HasSubstr("[x] Create a report")));
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

TEST(TerminalUiTest, ControlCharactersFromAFileNeverReachTheTerminal) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\r\nb\tc", "a\nb\tc"},                   // line breaks and tabs stay
      {"\x1b]0;owned\x07x", "\\x1b]0;owned\\x07x"},  // escape sequences do not
      {"\x7f\x01", "\\x7f\\x01"},
      {"\xc2\x9b" "31m", "\\x9b" "31m"},           // a C1 control in UTF-8
      {"\xc3\xa9t\xc3\xa9 \xc2\xb1", "\xc3\xa9t\xc3\xa9 \xc2\xb1"},  // letters and signs do
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(shown, ToTerminalText(text));
  std::istringstream in;
  std::ostringstream out, notes;
  TerminalUi ui({}, in, out, notes);
  ui.MsgBox("Worksheet \x1b[2J", kMbOk, "T\x1b");
  EXPECT_EQ(std::string::npos, out.str().find('\x1b')) << out.str();
}

}  // namespace
}  // namespace korund::ui
