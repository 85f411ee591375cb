#include "weibull/weibull_guard.h"

#include <string>
#include <vector>

#include "util/terminate.h"
#include "weibull/weibull_test_support.h"

namespace korund::weibull {
namespace {

const char* const kConfigTitle = "CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS";

class GuardTest : public WeibullTest {
 protected:
  GuardTest() {
    // Note the option the form opens with and leave it without running.
    ui.form_script = [this](ui::FormModel& form) {
      for (const ui::FormControl& c : form.Controls()) {
        if (c.kind == ui::FormControl::Kind::kOption && c.checked) selected = c.name;
      }
    };
  }
  // Runs the guard: "" when it returned, "stopped" when the user stopped.
  std::string Guard() {
    Open();
    try {
      CheckWeibullWorksheet(ctx);
    } catch (const TerminateProgramError& e) {
      return e.reason() == ExitReason::kStopped ? "stopped" : "fatal";
    }
    return "";
  }
  std::vector<std::string> Titles() { return ui.Titles(); }

  std::string selected;
};

TEST_F(GuardTest, AsksWhenTheWorksheetMayNotBeForWeibull) {
  struct Case {
    Value kind56, kind184;
    bool data, asks;
  };
  const Case cases[] = {
      {Value(), Value(), false, true},  // a new, empty worksheet
      {Value(), 0, true, true},         // last used for dynamic fatigue
      {1, Value(), true, true},
      {2, Value(), true, false},
      {Value(), Value(), true, false},
      {"0", "1", true, false},  // texts are no analysis kind
  };
  for (const Case& c : cases) {
    host::MemoryHost h;
    h.notebook.AddSection("S");
    host::MemoryTable* t = h.notebook.AddWorksheet("W").table.get();
    t->Set(0, 0, "title");
    if (c.data) t->Set(0, 1, 2.5);
    if (!c.kind56.IsEmpty()) t->Set(55, 1, c.kind56);
    if (!c.kind184.IsEmpty()) t->Set(183, 1, c.kind184);
    ui::ScriptedUi u;
    u.form_script = [](ui::FormModel&) {};
    RunSettings s;
    dialogs::MessageDialog m(u);
    worksheet::Sheet sh(u, m, s);
    ASSERT_FALSE(sh.spOpenWorksheet(h, ""));
    RunContext run{s, u, m, sh};
    CheckWeibullWorksheet(run);
    EXPECT_EQ(c.asks ? 2u : 1u, u.shown.size());
    EXPECT_EQ(c.asks, u.shown[0].title == kConfigTitle);
  }
}

TEST_F(GuardTest, ConfigurationQuestionTextAndStop) {
  ui.Answer(kConfigTitle, "&Stop");
  EXPECT_EQ("stopped", Guard());
  ASSERT_EQ(std::vector<std::string>{kConfigTitle}, Titles());
  EXPECT_EQ(
      "The worksheet  \"Data 1\"  in section  \"Section 1\"  MIGHT be configured for static or "
      "dynamic fatigue analysis instead of Weibull analysis.\r\rAre you sure you want to "
      "continue with Weibull analysis?",
      ui.shown[0].text);
  EXPECT_EQ((std::vector<std::string>{"&Continue", "&Stop"}), ui.shown[0].buttons);
  EXPECT_EQ(48, ui.shown[0].flags);
}

TEST_F(GuardTest, LockedWorksheetAsksToUnlockAndStartsUnlocked) {
  Column(1, {"raw", 3.0});
  Column(56, {"", 2, -1, 0});
  EXPECT_EQ("", Guard());
  ASSERT_EQ((std::vector<std::string>{"WORKSHEET IS LOCKED",
                                      "WEIBULL ANALYSIS OPTIONS  -  version 2.00"}),
            Titles());
  EXPECT_EQ(
      "The worksheet  \"Data 1\"  in section  \"Section 1\"  has been locked to avoid accidental "
      "changes or to avoid overwriting customizations.\r\rDo you want to unlock the worksheet "
      "and continue the Weibull analysis?",
      ui.shown[0].text);
  EXPECT_EQ((std::vector<std::string>{"&Unlock", "&Stop"}), ui.shown[0].buttons);
  EXPECT_FALSE(settings.LockWorksheet);
  EXPECT_EQ("optFopt(0)", selected);
  EXPECT_EQ(1047, msg.help_topic());

  ui.Answer("WORKSHEET IS LOCKED", "&Stop");
  EXPECT_EQ("stopped", Guard());
  Cell(56, 3, 1);  // only -1 is true
  ui.shown.clear();
  EXPECT_EQ("", Guard());
  EXPECT_EQ(1u, ui.shown.size());
}

TEST_F(GuardTest, OldOptionColumnIsTakenOverAndMarkedOnce) {
  Column(1, {"raw", 3.0});
  Column(11, {"header", 5, "xkeep", Value(), "abc"});
  Cell(11, 12, "F opt");
  Cell(11, 13, 0);
  Cell(11, 14, "below");
  EXPECT_EQ("", Guard());
  EXPECT_EQ(0, settings.FOpt);
  EXPECT_EQ("optFopt(0)", selected);
  EXPECT_EQ("x - header", Text(11, 1));
  EXPECT_EQ("x - 5", Text(11, 2));
  EXPECT_EQ("xkeep", Text(11, 3));
  EXPECT_EQ("x - ", Text(11, 4));
  EXPECT_EQ("x - F opt", Text(11, 12));
  EXPECT_EQ("below", Text(11, 14));
}

TEST_F(GuardTest, StoredOptionWinsAndOddValuesKeepTheDefault) {
  Column(1, {"raw", 3.0});
  Cell(11, 12, "F opt");
  Cell(11, 13, 0);
  Column(56, {"", 2, 0, 1});
  EXPECT_EQ("", Guard());
  EXPECT_EQ(1, settings.FOpt);

  Cell(11, 13, 2);
  Cell(56, 4, "0");
  EXPECT_EQ("", Guard());
  EXPECT_EQ(1, settings.FOpt);
  EXPECT_EQ("F opt", Text(11, 12));
}

TEST_F(GuardTest, OkRunsTheAnalysisEndToEnd) {
  Column(1, {"raw", 3.0, 3.4, 3.2, 3.9});
  Column(56, {"", 2, 0, 0});
  ui.form_script = [](ui::FormModel& form) {
    form.SetChecked("chkLock", true);
    form.Press("cmdOK");
    EXPECT_TRUE(form.Closed());
  };
  EXPECT_EQ("", Guard());
  sheet.spSaveSheet();
  EXPECT_EQ(-1, table->Get(55, 2).Number());
  EXPECT_EQ(0, table->Get(55, 3).Number());
  EXPECT_EQ(4, table->Get(20, 0).Number());
  EXPECT_EQ(3.0, table->Get(30, 0).Number());
  EXPECT_EQ("set 1", table->Title(20));
  EXPECT_NE(std::string::npos, settings.FinishMessage.find("Set 1:\t4 measurements"));
}

}  // namespace
}  // namespace korund::weibull
