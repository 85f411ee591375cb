#include "weibull/weibull_guard.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "util/terminate.h"
#include "weibull/weibull_test_support.h"

namespace korund::weibull {
namespace {

const char* const kConfigTitle = "CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS";

class GuardTest : public WeibullTest {
 protected:
  GuardTest() {
    // Look at the form the guard opens, then leave it without running.
    ui.form_script = [this](ui::FormModel& form) {
      form_caption = form.Caption();
      for (const ui::FormControl& c : form.Controls()) {
        if (c.kind == ui::FormControl::Kind::kOption && c.checked) selected = c.name;
        if (c.name == "chkLock") lock_ticked = c.checked;
      }
    };
  }
  // Runs the guard; returns the exit reason if it ended the run.
  std::string Guard() {
    Open();
    try {
      CheckWeibullWorksheet(ctx);
    } catch (const TerminateProgramError& e) {
      return e.reason() == ExitReason::kStopped ? "stopped" : "fatal";
    }
    return "";
  }
  bool FormShown() const {
    for (const auto& s : ui.shown) {
      if (s.kind == "form") return true;
    }
    return false;
  }

  std::string form_caption;
  std::string selected;
  bool lock_ticked = true;
};

TEST_F(GuardTest, WeibullWorksheetOpensTheDialogWithoutQuestions) {
  Column(1, {"raw", 3.0, 3.5});
  Cell(56, 2, 2);
  EXPECT_EQ("", Guard());
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("form", ui.shown[0].kind);
  EXPECT_EQ("WEIBULL ANALYSIS OPTIONS  -  version 2.00", form_caption);
  EXPECT_EQ("optFopt(1)", selected);
  EXPECT_EQ(1, settings.FOpt);
  EXPECT_FALSE(lock_ticked);
  EXPECT_TRUE(sheet.Buffered());
  EXPECT_GE(sheet.MaxCol(), 56);
  EXPECT_GE(sheet.MaxRow(), 38);
  EXPECT_EQ(1047, msg.help_topic());
}

TEST_F(GuardTest, FatigueWorksheetAsksFirst) {
  settings.WorksheetName = "ignored";  // attach sets the names
  Column(1, {"raw", 3.0, 3.5});
  Cell(184, 2, 0);
  EXPECT_EQ("", Guard());
  ASSERT_EQ(2u, ui.shown.size());
  const auto& box = ui.shown[0];
  EXPECT_EQ(kConfigTitle, box.title);
  EXPECT_EQ(
      "The worksheet  \"Data 1\"  in section  \"Section 1\"  MIGHT be configured for static or "
      "dynamic fatigue analysis instead of Weibull analysis.\r\rAre you sure you want to "
      "continue with Weibull analysis?",
      box.text);
  EXPECT_EQ((std::vector<std::string>{"&Continue", "&Stop"}), box.buttons);
  EXPECT_EQ(48, box.flags);
  EXPECT_TRUE(FormShown());
}

TEST_F(GuardTest, WhatCountsAsForeignOrEmpty) {
  struct Case {
    const char* what;
    Value kind56, kind184;
    bool numbers;
    bool asks;
  };
  const Case cases[] = {
      {"empty worksheet", Value(), Value(), false, true},
      {"static record", Value(), 1, true, true},
      {"old fatigue kind in 56", 1, Value(), true, true},
      {"weibull record", 2, Value(), true, false},
      {"no records, data", Value(), Value(), true, false},
      {"text zero is no kind", "0", "1", true, false},
  };
  for (const Case& c : cases) {
    host::MemoryHost h;
    h.notebook.AddSection("S");
    host::MemoryTable* t = h.notebook.AddWorksheet("W").table.get();
    if (c.numbers) t->Set(0, 1, 2.5);
    t->Set(0, 0, "title");
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
    EXPECT_EQ(c.asks, u.shown.size() == 2 && u.shown[0].title == kConfigTitle) << c.what;
  }
}

TEST_F(GuardTest, StopAtTheConfigurationQuestionEndsTheRun) {
  ui.Answer(kConfigTitle, "&Stop");
  EXPECT_EQ("stopped", Guard());
  EXPECT_FALSE(FormShown());
}

TEST_F(GuardTest, LockedWorksheetAsksToUnlockAndStartsUnlocked) {
  Column(1, {"raw", 3.0});
  Column(56, {"", 2, -1, 0});
  EXPECT_EQ("", Guard());
  ASSERT_EQ(2u, ui.shown.size());
  EXPECT_EQ("WORKSHEET IS LOCKED", ui.shown[0].title);
  EXPECT_EQ(
      "The worksheet  \"Data 1\"  in section  \"Section 1\"  has been locked to avoid accidental "
      "changes or to avoid overwriting customizations.\r\rDo you want to unlock the worksheet "
      "and continue the Weibull analysis?",
      ui.shown[0].text);
  EXPECT_EQ((std::vector<std::string>{"&Unlock", "&Stop"}), ui.shown[0].buttons);
  EXPECT_FALSE(settings.LockWorksheet);
  EXPECT_FALSE(lock_ticked);
  EXPECT_EQ("optFopt(0)", selected);
}

TEST_F(GuardTest, StopAtTheLockQuestionEndsTheRun) {
  Column(1, {"raw", 3.0});
  Column(56, {"", 2, -1});
  ui.Answer("WORKSHEET IS LOCKED", "&Stop");
  EXPECT_EQ("stopped", Guard());
  EXPECT_FALSE(FormShown());
}

TEST_F(GuardTest, OnlyMinusOneLocks) {
  Column(1, {"raw", 3.0});
  Column(56, {"", 2, 1});
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
  EXPECT_EQ("x - 0", Text(11, 13));
  EXPECT_EQ("below", Text(11, 14));
}

TEST_F(GuardTest, StoredOptionWinsOverTheOldLayout) {
  Column(1, {"raw", 3.0});
  Cell(11, 12, "F opt");
  Cell(11, 13, 0);
  Column(56, {"", 2, 0, 1});
  EXPECT_EQ("", Guard());
  EXPECT_EQ(1, settings.FOpt);
  EXPECT_EQ("x - F opt", Text(11, 12));
}

TEST_F(GuardTest, UnusableStoredOptionsKeepTheDefault) {
  Column(1, {"raw", 3.0});
  Cell(11, 12, "F opt");
  Cell(11, 13, 2);
  Column(56, {"", 2, 0, "0"});
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
