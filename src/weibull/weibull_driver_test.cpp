#include "weibull/weibull_driver.h"

#include "testing/weibull_test_support.h"

namespace korund::weibull {
namespace {

using DriverTest = WeibullTest;

TEST_F(DriverTest, AxisTicksComeFromColumn12OrTheDefaults) {
  const std::vector<double> defaults = {1, 3, 5, 10, 20, 40, 60, 80, 90, 99};
  const std::pair<std::vector<Value>, std::vector<double>> cases[] = {
      {{}, defaults},
      {{50, 10, 70, 0, 120, 95, 2, "note"}, {2, 10, 50, 70, 95}},
      {{50, 10, "70", 0, 95, -3}, defaults},  // four usable values are too few
      {{"50", 10, 20, 30, 95, 70}, {10, 20, 30, 70, 95}}};  // a text is never below 100
  for (const auto& [typed, ticks] : cases) {
    for (int32_t row = 1; row <= 10; ++row) Cell(12, row, Value());
    Column(12, typed);
    Load();
    RunWeibullMacro(ctx);
    EXPECT_EQ(ticks, Numbers(12));
    EXPECT_EQ("", Text(12, static_cast<int32_t>(ticks.size()) + 1));
    std::vector<double> at = Numbers(54);  // where a failure probability of P % plots
    for (double& y : at) y = 100 * (1 - std::exp(-std::exp(y)));
    EXPECT_THAT(at, testing::Pointwise(testing::DoubleNear(1e-11), ticks));
  }
}

TEST_F(DriverTest, EmptySetsOptionsRecordAndStylesUnlessTheUserSetThem) {
  settings.FOpt = 0;
  settings.LockWorksheet = true;
  Column(14, {"@rgb(1,2,3", "mine"});
  Column(16, {"@RGB(1,2,3)", "x"});  // the test is case-sensitive
  Load();
  RunWeibullMacro(ctx);
  std::string finish = "Weibull analysis complete: \t\t\r\n";
  for (int n = 1; n <= 10; ++n) finish += "\r\nSet " + std::to_string(n) + ":\tempty";
  EXPECT_EQ(finish, settings.FinishMessage);
  EXPECT_EQ("|2|-1|0|", Joined(56, 5));
  std::string styles;  // rows 1 and 10 of columns 13 to 17
  for (int32_t col = 13; col <= 17; ++col) styles += Text(col, 1) + "," + Text(col, 10) + " ";
  EXPECT_EQ("@symbol(2,1,0),@symbol(6,1,0) @rgb(1,2,3, @line(1),@line(1) "
            "@rgb(0,0,255),@rgb(192,192,192) @line(2),@line(2) ", styles);
}

}  // namespace
}  // namespace korund::weibull
