#include "ui/transcript_ui.h"

#include <gtest/gtest.h>

#include <sstream>

#include "testing/fake_form.h"
#include "testing/scripted_ui.h"
#include "util/terminate.h"

namespace korund::ui {
namespace {

class TranscriptUiTest : public ::testing::Test {
 protected:
  static MessageDialogView View(const std::string& title, const std::string& first,
                                const std::string& second) {
    MessageDialogView v;
    v.title = title;
    v.text = "text";
    v.captions = {first, second, "", ""};
    v.visible = {true, true, false, false};
    return v;
  }

  ScriptedUi inner;
  std::ostringstream log;
  TranscriptUi ui{inner, log};
};

TEST_F(TranscriptUiTest, MessageBoxIsOneLineWithTextAsBuilt) {
  EXPECT_EQ(kIdCancel, ui.MsgBox("Unable to open worksheet\rMake sure", kMbIconStop | kMbRetryCancel,
                                 "NO WORKSHEET"));
  ui.MsgBox("ERROR\rx\rPROGRAM TERMINATED", kMbIconStop, "");
  EXPECT_EQ(
      "{\"kind\":\"msgbox\",\"title\":\"NO WORKSHEET\",\"text\":\"Unable to open worksheet\\r"
      "Make sure\",\"buttons\":[\"Retry\",\"Cancel\"],\"answer\":\"Cancel\"}\n"
      "{\"kind\":\"msgbox\",\"title\":\"KORUND 2.00\",\"text\":\"ERROR\\rx\\rPROGRAM "
      "TERMINATED\",\"buttons\":[\"OK\"],\"answer\":\"OK\"}\n",
      log.str());
}

TEST_F(TranscriptUiTest, DialogsRecordVisibleCaptionsAndThePressedOneIfAny) {
  inner.Answer("WORKSHEET IS LOCKED", "Stop");
  EXPECT_EQ(2, ui.ShowMessageDialog(View("WORKSHEET IS LOCKED", "&Unlock", "&Stop")));
  inner.Answer("BAD DATA", "Retry");  // not a button: the scripted UI refuses
  EXPECT_ANY_THROW(ui.ShowMessageDialog(View("BAD DATA", "&Continue", "&Stop")));
  EXPECT_EQ(
      R"({"kind":"dialog","title":"WORKSHEET IS LOCKED","text":"text",)"
      R"("buttons":["&Unlock","&Stop"],"answer":"&Stop"})" "\n"
      R"({"kind":"dialog","title":"BAD DATA","text":"text",)"
      R"("buttons":["&Continue","&Stop"],"answer":null})" "\n",
      log.str());
}

TEST_F(TranscriptUiTest, FormsAreRecordedWithTheirClosingButton) {
  FakeForm form(ui);
  inner.form_script = [](FormModel& f) {
    f.SetChecked("chkGroupRates", true);
    f.SetText("txtRateFactor", "abc");
    f.Press("cmdOK");  // refused: the "must be a number" box
    f.SetText("txtRateFactor", "2");
    f.Press("cmdOK");
  };
  ui.RunForm(form);
  FakeForm cancelled(ui);
  inner.form_script = [](FormModel& f) { f.Press("cmdCancel"); };
  EXPECT_THROW(ui.RunForm(cancelled), TerminateProgramError);  // recorded before the run ends
  const std::string form_line =
      R"({"kind":"dialog","title":"TEST OPTIONS  -  version 2.00",)"
      R"("text":"Worksheet \"Data 1\"\rSection  \"S\"","buttons":["&Ok","&Cancel","&Help"],)";
  // The "must be a number" box was shown while the first dialog was open.
  EXPECT_EQ(R"({"kind":"msgbox","title":"KORUND 2.00",)"
            R"("text":"The factor for grouping similar rates must be a number",)"
            R"("buttons":["OK"],"answer":"OK"})" "\n" +
                form_line + R"("answer":"&Ok"})" "\n" + form_line + R"("answer":"&Cancel"})" "\n",
            log.str());
}

}  // namespace
}  // namespace korund::ui
