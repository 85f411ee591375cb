// The guard: warnings about foreign or locked worksheets, and the options it restores.

#include <cmath>
#include <sstream>

#include <gmock/gmock.h>

#include "fatigue/fatigue_guard.h"
#include "fatigue/fatigue_test_support.h"
#include "util/plot_styles.h"
#include "util/terminate.h"

namespace korund::fatigue {
namespace {

class GuardTest : public FatigueTest {
 protected:
  GuardTest() {
    ui.form_script = [](ui::FormModel&) {};  // the dialog opens and stays
  }
  std::string Guard() {  // returns the options the dialog opens with
    EXPECT_FALSE(sheet.spOpenWorksheet(host, ""));
    CheckFatigueWorksheet(ctx);
    sheet.spSaveSheet();  // back to direct mode for the next call
    const RunSettings& r = settings;
    std::ostringstream os;
    os << "mode" << static_cast<int>(r.FatigueMode) << " weak" << r.IgnoreWeakest << " group"
       << r.GroupRates << " comment" << r.IgnoreByComment << " '" << r.IgnoreChars << "' copy"
       << r.CopyData << " report" << r.MakeReport << " lock" << r.LockWorksheet << " factor"
       << r.RateFactor << " set" << r.SetToCopy;
    return os.str();
  }
};

TEST_F(GuardTest, OptionsAreRestoredFromTheRecordWithFallbacks) {
  Cell(184, 2, "1");  // marks that are not numbers are no marks
  Cell(56, 2, "2");
  Cell(184, 7, 1);       // the bounds of the factor are kept
  Cell(184, 12, "abc");  // not a number: set 1, silently
  EXPECT_EQ("mode0 weak0 group0 comment0 '' copy0 report0 lock0 factor1 set1", Guard());
  EXPECT_EQ((Strings{"DYNAMIC FATIGUE ANALYSIS  -  version 2.00"}), ui.Titles());
  // A number typed as text counts; a half goes to the even neighbour.
  const Value record[] = {1, "1", 0, Value(), -1, -1, " 100 ", -1, "#*", Value(), -1, 2.5, -1};
  for (int32_t row = 1; row <= 13; ++row) Cell(184, row, record[row - 1]);
  EXPECT_EQ("mode1 weak1 group1 comment1 '#*' copy1 report1 lock0 factor100 set2", Guard());
  Cell(184, 1, 2);  // no such dynamic mode
  Cell(184, 5, 1);  // only -1 is true
  Cell(184, 7, 150);
  Cell(184, 12, 9);
  EXPECT_EQ("mode0 weak0 group1 comment1 '#*' copy1 report1 lock0 factor1.2 set1", Guard());
  EXPECT_THAT(Shown(), ::testing::HasSubstr(AppTitle() + ": Value out of range 1 to 6\n"));
}

TEST_F(GuardTest, ForeignOrLockedWorksheetsAreQuestionedAndStopEndsTheRun) {
  Cell(184, 2, 1);
  Cell(56, 2, 2);
  Cell(184, 3, -1);
  ui.Answer("WORKSHEET IS LOCKED", "&Unlock");
  Guard();
  const std::string check = "CHECK THIS WORKSHEET IS FOR DYNAMIC FATIGUE ANALYSIS: ";
  const std::string where = "The worksheet  \"Data 1\"  in section  \"Section 1\"  ";
  const std::string sure = "\r\rAre you sure you want to continue with dynamic fatigue analysis?\n";
  EXPECT_EQ(check + where + "MIGHT be configured for static fatigue analysis instead of dynamic " +
                "fatigue analysis." + sure + check + where +
                "MIGHT be configured for Weibull analysis instead of dynamic fatigue analysis." +
                sure + "WORKSHEET IS LOCKED: " + where +
                "has been locked to avoid accidental changes or to avoid overwriting "
                "customizations.\r\rDo you want to unlock the worksheet and continue the dynamic "
                "fatigue analysis?\nDYNAMIC FATIGUE ANALYSIS  -  version 2.00: \n",
            Shown());
  EXPECT_EQ((Strings{"&Continue", "&Stop"}), ui.shown[0].buttons);
  ui.shown.clear();
  settings.FitType = kFitStatic;
  Cell(184, 2, 0);
  ui.Answer("CHECK THIS WORKSHEET IS FOR STATIC FATIGUE ANALYSIS", "&Stop");
  EXPECT_THROW(Guard(), TerminateProgramError);
  EXPECT_EQ(1u, ui.shown.size());  // no more boxes
  EXPECT_THAT(Shown(), ::testing::HasSubstr("for dynamic fatigue analysis instead of static"));
}

// A whole run (the options dialog answered OK) of the analysis `fit_type`
// on a fresh notebook: sets 1 and 6 with a different rate in every row (or
// set 1 with 40 rows at `rates` rates), stale groups below set 1's and a
// second worksheet; the notebook allowed max_cells (0: the real limit).
// *cells gets the cells held afterwards, *table_reads the worksheet reads,
// *shown the last box.
std::string RunWithRoom(int32_t fit_type, int64_t max_cells, int64_t* cells, int* table_reads,
                        std::string* shown, int rates = 0) {
  TestNotebook t;
  InitPlotStyles(t.settings);
  t.settings.FitType = fit_type;
  for (int32_t r = 1; r <= (rates > 0 ? 40 : 25); ++r) {
    t.Cell(SetColumn(1, kColRawX), r, std::pow(1.5, rates > 0 ? r % rates : r));
    t.Cell(SetColumn(1, kColRawY), r, 3.0 + 0.01 * r * (r % 3));
  }
  for (int32_t r = 1; r <= 4; ++r) {
    t.Cell(SetColumn(6, kColRawX), r, 10.0 * r);
    t.Cell(SetColumn(6, kColRawY), r, 4.0 - 0.1 * r);
  }
  t.Cell(SetColumn(1, kColGroupX), 60, 1.0);  // cleared by the run
  t.host.notebook.AddWorksheet("Other").worksheet()->SetCell(3, 500, Value(1));
  if (max_cells > 0) t.host.max_cells = max_cells;
  std::string outcome = "";
  try {
    EXPECT_FALSE(t.sheet.spOpenWorksheet(t.host, ""));
    CheckFatigueWorksheet(t.ctx);
    t.sheet.spSaveSheet();
  } catch (const TerminateProgramError& e) {
    outcome = e.reason() == ExitReason::kFatal ? "fatal" : "stopped";
  }
  *cells = t.NotebookCells();
  *table_reads = t.table->reads;
  *shown = t.ui.shown.empty() ? "" : t.ui.shown.back().text;
  return outcome;
}

// Every rate differs here, so each pair is a group of its own and the plan
// is exact: one cell less room than the run needs refuses it before the
// worksheet is loaded (only the rate columns are read, to count the rates)
// or a dialog shown, and exactly that room lets it finish.
TEST(FatigueRoomTest, ResultsThatWouldNotFitAreRefusedBeforeTheRun) {
  for (int32_t fit_type : {kFitDynamic, kFitStatic}) {
    SCOPED_TRACE(fit_type);
    int64_t needed = 0, cells = 0, before = 0;
    int reads = 0;
    std::string shown;
    ASSERT_EQ("", RunWithRoom(fit_type, 0, &needed, &reads, &shown));
    EXPECT_EQ("", RunWithRoom(fit_type, needed, &cells, &reads, &shown));
    EXPECT_EQ(needed, cells);
    EXPECT_EQ("fatal", RunWithRoom(fit_type, 1, &before, &reads, &shown));
    EXPECT_EQ("fatal", RunWithRoom(fit_type, needed - 1, &cells, &reads, &shown));
    EXPECT_EQ(before, cells);
    EXPECT_EQ(kSets, reads);
    EXPECT_THAT(shown, ::testing::HasSubstr("hold up to " + std::to_string(needed) +
                                            " cells, more than the " + std::to_string(needed - 1) +
                                            " a notebook may hold"));
  }
}

// The usual test: many measurements at a few rates. The groups are counted
// by rate, not by row, so a run that fits is not refused.
TEST(FatigueRoomTest, ManyMeasurementsAtFewRatesAreNotRefused) {
  int64_t needed = 0, cells = 0;
  int reads = 0;
  std::string shown;
  ASSERT_EQ("", RunWithRoom(kFitDynamic, 0, &needed, &reads, &shown, 5));
  EXPECT_EQ("", RunWithRoom(kFitDynamic, needed, &cells, &reads, &shown, 5));
  EXPECT_EQ(needed, cells);
}

}  // namespace
}  // namespace korund::fatigue
