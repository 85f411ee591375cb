// The guard: warnings about foreign or locked worksheets, and the options it restores.

#include <sstream>

#include <gmock/gmock.h>

#include "fatigue/fatigue_guard.h"
#include "fatigue/fatigue_test_support.h"
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

}  // namespace
}  // namespace korund::fatigue
