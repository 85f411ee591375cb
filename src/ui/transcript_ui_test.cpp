#include "ui/transcript_ui.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "ui/fake_form.h"
#include "ui/scripted_ui.h"
#include "util/terminate.h"

namespace korund::ui {
namespace {

class TranscriptUiTest : public ::testing::Test {
 protected:
  std::vector<nlohmann::json> Lines() const {
    std::vector<nlohmann::json> out;
    std::istringstream in(log.str());
    std::string line;
    while (std::getline(in, line)) out.push_back(nlohmann::json::parse(line));
    return out;
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
  EXPECT_EQ(2u, inner.shown.size());  // forwarded
}

TEST_F(TranscriptUiTest, MessageDialogRecordsVisibleCaptionsAndThePressedOne) {
  MessageDialogView v;
  v.title = "WORKSHEET IS LOCKED";
  v.text = "locked";
  v.captions = {"&Unlock", "&Stop", "", ""};
  v.visible = {true, true, false, false};
  inner.Answer("WORKSHEET IS LOCKED", "Stop");
  EXPECT_EQ(2, ui.ShowMessageDialog(v));
  auto lines = Lines();
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("dialog", lines[0]["kind"]);
  EXPECT_EQ(nlohmann::json({"&Unlock", "&Stop"}), lines[0]["buttons"]);
  EXPECT_EQ("&Stop", lines[0]["answer"]);
}

TEST_F(TranscriptUiTest, DialogEndedByTheBackEndIsRecordedWithoutAnswer) {
  MessageDialogView v;
  v.title = "BAD DATA";
  v.text = "row 1";
  v.captions = {"&Continue", "&Stop", "", ""};
  v.visible = {true, true, false, false};
  inner.Answer("BAD DATA", "Retry");  // not a button: the scripted UI refuses
  EXPECT_ANY_THROW(ui.ShowMessageDialog(v));
  auto lines = Lines();
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("BAD DATA", lines[0]["title"]);
  EXPECT_TRUE(lines[0]["answer"].is_null());
}

TEST_F(TranscriptUiTest, FormIsRecordedWithLabelsButtonsAndClosingButton) {
  FakeForm form(ui);
  inner.form_script = [](FormModel& f) {
    f.SetChecked("chkGroupRates", true);
    f.SetText("txtRateFactor", "abc");
    f.Press("cmdOK");  // refused: the "must be a number" box
    f.SetText("txtRateFactor", "2");
    f.Press("cmdOK");
  };
  ui.RunForm(form);
  auto lines = Lines();
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("msgbox", lines[0]["kind"]);  // shown while the dialog was open
  EXPECT_EQ("dialog", lines[1]["kind"]);
  EXPECT_EQ("TEST OPTIONS  -  version 2.00", lines[1]["title"]);
  EXPECT_EQ("Worksheet \"Data 1\"\rSection  \"S\"", lines[1]["text"]);
  EXPECT_EQ(nlohmann::json({"&Ok", "&Cancel", "&Help"}), lines[1]["buttons"]);
  EXPECT_EQ("&Ok", lines[1]["answer"]);
}

TEST_F(TranscriptUiTest, CancelledFormIsRecordedBeforeTheRunEnds) {
  FakeForm form(ui);
  inner.form_script = [](FormModel& f) { f.Press("cmdCancel"); };
  EXPECT_THROW(ui.RunForm(form), TerminateProgramError);
  auto lines = Lines();
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("&Cancel", lines[0]["answer"]);
}

}  // namespace
}  // namespace korund::ui
