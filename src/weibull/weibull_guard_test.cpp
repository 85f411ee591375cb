#include "weibull/weibull_guard.h"

#include "util/run_settings.h"
#include "testing/weibull_test_support.h"

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

// The questions' wording: dialogs/guard_questions_test.cpp. Here: which
// analyses they name, and that Stop ends the run.
TEST_F(GuardTest, QuestionsNameTheAnalysesAndStopEndsTheRun) {
  ui.Answer("CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS", "&Stop");  // no data: maybe fatigue
  EXPECT_EQ("stopped", Guard());
  EXPECT_THAT(ui.shown.at(0).text,
              testing::HasSubstr("for static or dynamic fatigue analysis instead of Weibull "
                                 "analysis.\r\rAre you sure you want to continue with Weibull"));
  Column(1, {"raw", 3.0});
  Column(56, {"", 2, -1, 0});
  ui.Answer("WORKSHEET IS LOCKED", "&Stop");
  EXPECT_EQ("stopped", Guard());
  EXPECT_THAT(ui.shown.at(0).text, testing::HasSubstr("continue the Weibull analysis?"));
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

// Every raw cell here is a usable strength, so the plan is exact; two sets,
// stale results below them.
TEST(WeibullRoomTest, ResultsThatWouldNotFitAreRefusedBeforeTheRun) {
  const auto fill = [](TestNotebook& t) {
    InitPlotStyles(t.settings);
    for (int32_t r = 1; r <= 40; ++r) t.Cell(1, r, 2.0 + r * 0.01);
    for (int32_t r = 1; r <= 7; ++r) t.Cell(4, r, Value(3000.0 + r));
    t.Cell(34, 90, 1.5);  // strengths of an earlier run, cleared by this one
  };
  ExpectExactRoom(fill, CheckWeibullWorksheet, 0);
}

}  // namespace
}  // namespace korund::weibull
