#include "weibull/weibull_guard.h"

#include "util/run_settings.h"
#include "weibull/weibull_test_support.h"

namespace korund::weibull {
namespace {

class GuardTest : public WeibullTest {
 protected:
  GuardTest() { ui.form_script = [](ui::FormModel&) {}; }  // close the options without running
  std::string Guard() {
    ui.shown.clear();
    return Outcome([&] { Load(), CheckWeibullWorksheet(ctx); });
  }
};

TEST_F(GuardTest, QuestionsNameTheWorksheetAndStopEndsTheRun) {
  ui.Answer("CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS", "&Stop");  // no data: maybe fatigue
  EXPECT_EQ("stopped", Guard());
  EXPECT_EQ(
      "The worksheet  \"Data 1\"  in section  \"Section 1\"  MIGHT be configured for static or "
      "dynamic fatigue analysis instead of Weibull analysis.\r\rAre you sure you want to "
      "continue with Weibull analysis?|&Continue|&Stop",
      ui.shown.at(0).text + "|" + ui.shown[0].buttons.at(0) + "|" + ui.shown[0].buttons.at(1));
  Column(1, {"raw", 3.0});
  Column(56, {"", 2, -1, 0});
  ui.Answer("WORKSHEET IS LOCKED", "&Stop");
  EXPECT_EQ("stopped", Guard());
  EXPECT_EQ(
      "The worksheet  \"Data 1\"  in section  \"Section 1\"  has been locked to avoid accidental "
      "changes or to avoid overwriting customizations.\r\rDo you want to unlock the worksheet "
      "and continue the Weibull analysis?|&Unlock|&Stop",
      ui.shown.at(0).text + "|" + ui.shown[0].buttons.at(0) + "|" + ui.shown[0].buttons.at(1));
  EXPECT_EQ("", Guard());  // unlocked, with the stored rank function
  EXPECT_FALSE(settings.LockWorksheet);
  EXPECT_EQ(0, settings.FOpt);
}

TEST_F(GuardTest, OldOptionColumnIsTakenOverAndMarkedUnlessTheRecordHoldsOne) {
  Column(11, {"header", 5, "xkeep", Value(), "abc", "", "", "", "", "", "", "F opt", 0, "below"});
  EXPECT_EQ("", Guard());
  EXPECT_EQ(0, settings.FOpt);
  EXPECT_EQ("x - header|x - 5|xkeep|x - |x - abc|x - |x - |x - |x - |x - |x - |x - F opt|x - 0|"
            "below", Joined(11, 14));
  Column(56, {"", 2, 0, 1});  // the stored option wins
  EXPECT_EQ("", Guard());
  EXPECT_EQ(1, settings.FOpt);
}

// A whole run (the options dialog answered OK) on a fresh notebook with two
// sets, stale results below them and a second worksheet, the notebook
// allowed max_cells (0: the real limit). Returns the outcome; *cells gets
// the cells the notebook holds afterwards and *table_reads the worksheet
// reads.
std::string RunWithRoom(int64_t max_cells, int64_t* cells, int* table_reads, std::string* shown) {
  TestNotebook t;
  InitPlotStyles(t.settings);
  for (int32_t r = 1; r <= 40; ++r) t.Cell(1, r, 2.0 + r * 0.01);
  for (int32_t r = 1; r <= 7; ++r) t.Cell(4, r, Value(3000.0 + r));
  t.Cell(34, 90, 1.5);  // strengths of an earlier run, cleared by this one
  t.host.notebook.AddWorksheet("Other").worksheet()->SetCell(3, 500, Value(1));
  if (max_cells > 0) t.host.max_cells = max_cells;
  const std::string outcome = Outcome([&] {
    ASSERT_FALSE(t.sheet.spOpenWorksheet(t.host, ""));
    CheckWeibullWorksheet(t.ctx);
    t.sheet.spSaveSheet();
  });
  *cells = t.NotebookCells();
  *table_reads = t.table->reads;
  *shown = t.ui.shown.empty() ? "" : t.ui.shown.back().title + ": " + t.ui.shown.back().text;
  return outcome;
}

// Every raw cell here is a usable strength, so the plan is exact: one cell
// less room than the run needs refuses it before the worksheet is read or a
// dialog shown, and exactly that room lets it finish.
TEST(WeibullRoomTest, ResultsThatWouldNotFitAreRefusedBeforeTheRun) {
  int64_t needed = 0, cells = 0;
  int reads = 0;
  std::string shown;
  ASSERT_EQ("", RunWithRoom(0, &needed, &reads, &shown));
  EXPECT_EQ("", RunWithRoom(needed, &cells, &reads, &shown));
  EXPECT_EQ(needed, cells);

  int64_t before = 0;
  EXPECT_EQ("fatal", RunWithRoom(1, &before, &reads, &shown));  // the cells as filled
  EXPECT_EQ("fatal", RunWithRoom(needed - 1, &cells, &reads, &shown));
  EXPECT_EQ(before, cells);
  EXPECT_EQ(0, reads);
  EXPECT_EQ(AppTitle() +
                ": ERROR\rThe results of this analysis would make the notebook hold up to " +
                std::to_string(needed) + " cells, more than the " + std::to_string(needed - 1) +
                " a notebook may hold, so the analysis was not started and nothing was "
                "changed. Analyse fewer or smaller data sets, or move other worksheets to a "
                "notebook of their own.\rPROGRAM TERMINATED",
            shown);
}

}  // namespace
}  // namespace korund::weibull
