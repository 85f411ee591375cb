// The guard: warnings about foreign or locked worksheets, and the options it restores.

#include <cmath>
#include <sstream>

#include <gmock/gmock.h>

#include "fatigue/fatigue_guard.h"
#include "testing/fatigue_test_support.h"
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
  EXPECT_THAT(ui.Boxes(), ::testing::HasSubstr(AppTitle() + ": Value out of range 1 to 6\n"));
}

TEST_F(GuardTest, ForeignOrLockedWorksheetsAreQuestionedAndStopEndsTheRun) {
  Cell(184, 2, 1);
  Cell(56, 2, 2);
  Cell(184, 3, -1);
  ui.Answer("WORKSHEET IS LOCKED", "&Unlock");
  Guard();
  // The questions' wording: dialogs/guard_questions_test.cpp. Here: which
  // analyses they name, in order, before the options dialog.
  const std::string check = "CHECK THIS WORKSHEET IS FOR DYNAMIC FATIGUE ANALYSIS";
  const std::string options = "DYNAMIC FATIGUE ANALYSIS  -  version 2.00";
  EXPECT_EQ((Strings{check, check, "WORKSHEET IS LOCKED", options}), ui.Titles());
  EXPECT_THAT(ui.shown[0].text, ::testing::HasSubstr("for static fatigue analysis instead of "
                                                     "dynamic fatigue analysis.\r\rAre you sure "
                                                     "you want to continue with dynamic fatigue"));
  EXPECT_THAT(ui.shown[1].text, ::testing::HasSubstr("for Weibull analysis instead of dynamic"));
  EXPECT_THAT(ui.shown[2].text, ::testing::HasSubstr("continue the dynamic fatigue analysis?"));
  EXPECT_EQ((Strings{"&Continue", "&Stop"}), ui.shown[0].buttons);
  ui.shown.clear();
  settings.FitType = kFitStatic;
  Cell(184, 2, 0);
  ui.Answer("CHECK THIS WORKSHEET IS FOR STATIC FATIGUE ANALYSIS", "&Stop");
  EXPECT_THROW(Guard(), TerminateProgramError);
  EXPECT_EQ(1u, ui.shown.size());  // no more boxes
  EXPECT_THAT(ui.Boxes(), ::testing::HasSubstr("for dynamic fatigue analysis instead of static"));
}

// Sets 1 and 6 with a different rate in every row (or set 1 with 40 rows at
// `rates` rates) and stale groups below set 1's.
std::function<void(TestNotebook&)> Fill(int32_t fit_type, int rates = 0) {
  return [fit_type, rates](TestNotebook& t) {
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
  };
}

// Every rate differs here, so each pair is a group of its own and the plan
// is exact; only the rate columns are read, to count the rates.
TEST(FatigueRoomTest, ResultsThatWouldNotFitAreRefusedBeforeTheRun) {
  for (int32_t fit_type : {kFitDynamic, kFitStatic}) {
    SCOPED_TRACE(fit_type);
    ExpectExactRoom(Fill(fit_type), CheckFatigueWorksheet, kSets);
  }
}

// The usual test: many measurements at a few rates. The groups are counted
// by rate, not by row, so a run that fits is not refused.
TEST(FatigueRoomTest, ManyMeasurementsAtFewRatesAreNotRefused) {
  const int64_t needed = RunWithRoom(Fill(kFitDynamic, 5), CheckFatigueWorksheet, 0).cells;
  const RoomRun exact = RunWithRoom(Fill(kFitDynamic, 5), CheckFatigueWorksheet, needed);
  EXPECT_EQ("", exact.outcome);
  EXPECT_EQ(needed, exact.cells);
}

}  // namespace
}  // namespace korund::fatigue
