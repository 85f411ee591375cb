#include "weibull/weibull_driver.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "weibull/weibull_test_support.h"

namespace korund::weibull {
namespace {

class DriverTest : public WeibullTest {
 protected:
  void Run() {
    Load();
    RunWeibullMacro(ctx);
  }
  std::vector<double> Numbers(int32_t column) {
    std::vector<double> out;
    for (int32_t row = 1; Get(column, row).IsNumber(); ++row) out.push_back(Num(column, row));
    return out;
  }
};

const std::vector<double> kDefaultTicks = {1, 3, 5, 10, 20, 40, 60, 80, 90, 99};

TEST_F(DriverTest, TenEmptySetsFinishWithTenEmptyLines) {
  Run();
  EXPECT_EQ(
      "Weibull analysis complete: \t\t\r\n"
      "\r\nSet 1:\tempty\r\nSet 2:\tempty\r\nSet 3:\tempty\r\nSet 4:\tempty\r\nSet 5:\tempty"
      "\r\nSet 6:\tempty\r\nSet 7:\tempty\r\nSet 8:\tempty\r\nSet 9:\tempty\r\nSet 10:\tempty",
      settings.FinishMessage);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DriverTest, FreshWorksheetGetsDefaultTicksOnTheWeibullScale) {
  Run();
  EXPECT_EQ(kDefaultTicks, Numbers(12));
  const std::vector<double> ticks = Numbers(54);
  ASSERT_EQ(10u, ticks.size());
  for (size_t j = 0; j < ticks.size(); ++j) {
    // The tick sits where a failure probability P % plots.
    EXPECT_NEAR(kDefaultTicks[j] / 100, 1 - std::exp(-std::exp(ticks[j])), 1e-13);
  }
  EXPECT_NEAR(-4.600, ticks.front(), 5e-4);
  EXPECT_NEAR(1.527, ticks.back(), 5e-4);
  EXPECT_EQ("y axis labels", sheet.BufferedTitle(12));
  EXPECT_EQ("y ticks", sheet.BufferedTitle(54));
}

TEST_F(DriverTest, UserTicksKeepOnlyPercentagesAndSort) {
  Column(12, {50, 10, 70, 0, 120, 95, 2, "note"});
  Run();
  EXPECT_EQ((std::vector<double>{2, 10, 50, 70, 95}), Numbers(12));
  EXPECT_EQ("", Text(12, 6));
  EXPECT_EQ("", Text(12, 8));
  EXPECT_EQ(5u, Numbers(54).size());
}

TEST_F(DriverTest, FewerThanFiveTicksFallBackToTheDefaults) {
  Column(12, {50, 10, "70", 0, 95, -3});
  Run();
  EXPECT_EQ(kDefaultTicks, Numbers(12));
}

TEST_F(DriverTest, TicksTypedAsTextSortAmongTheNumbers) {
  Column(12, {"50", 10, "70", 30, 95});
  Run();
  EXPECT_EQ((std::vector<double>{10, 30, 50, 70, 95}), Numbers(12));
}

TEST_F(DriverTest, TickTooCloseToZeroHasNoPosition) {
  Column(12, {1e-300, 10, 20, 30, 40});
  Run();
  EXPECT_EQ("--", Text(54, 1));
  for (int row = 2; row <= 5; ++row) Num(54, row);
}

TEST_F(DriverTest, DefaultStylesFillAllFiveColumns) {
  Run();
  EXPECT_EQ(Texts(13, 1, 10), std::vector<std::string>(
                                  {"@symbol(2,1,0)", "@symbol(3,1,0)", "@symbol(4,1,0)",
                                   "@symbol(5,1,0)", "@symbol(6,1,0)", "@symbol(2,1,0)",
                                   "@symbol(3,1,0)", "@symbol(4,1,0)", "@symbol(5,1,0)",
                                   "@symbol(6,1,0)"}));
  EXPECT_EQ("@rgb(0,0,255)", Text(14, 1));
  EXPECT_EQ("@rgb(192,192,192)", Text(14, 10));
  EXPECT_EQ(Texts(14, 1, 10), Texts(16, 1, 10));
  EXPECT_EQ(std::vector<std::string>(10, "@line(1)"), Texts(15, 1, 10));
  EXPECT_EQ(std::vector<std::string>(10, "@line(2)"), Texts(17, 1, 10));
  EXPECT_EQ("", Text(15, 11));
  const std::vector<std::string> titles = {"symbol", "color", "line", "LRcolor", "LRline"};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(titles[c], sheet.BufferedTitle(13 + c));
}

TEST_F(DriverTest, AStyleTheUserChoseIsLeftAlone) {
  Column(14, {"@rgb(1,2,3", "mine"});
  Column(16, {"@RGB(1,2,3)", "x"});
  Column(13, {"@symbol(9,1,0)"});
  Run();
  EXPECT_EQ("@rgb(1,2,3", Text(14, 1));
  EXPECT_EQ("mine", Text(14, 2));
  EXPECT_EQ("", Text(14, 3));
  EXPECT_EQ("@rgb(0,0,255)", Text(16, 1));  // the test is case-sensitive
  EXPECT_EQ("@rgb(255,0,0)", Text(16, 2));
  EXPECT_EQ("@symbol(9,1,0)", Text(13, 1));
  EXPECT_EQ("", Text(13, 2));
}

TEST_F(DriverTest, LabelsMethodNamesAndOptionsRecord) {
  settings.FOpt = 0;
  settings.LockWorksheet = true;
  Run();
  EXPECT_EQ(2, Num(56, 2));
  EXPECT_EQ(-1, Num(56, 3));
  EXPECT_EQ(0, Num(56, 4));
  EXPECT_TRUE(Get(56, 1).IsText() && Get(56, 1).Text().empty());
  EXPECT_TRUE(Get(56, 5).IsText() && Get(56, 5).Text().empty());
  EXPECT_EQ("parms", sheet.BufferedTitle(56));

  EXPECT_EQ(Texts(20, 1, 38),
            std::vector<std::string>(
                {"N",         "m",          "Dm",         "So",       "DSo",    "c",
                 "Dc",        "R",          "",           "mle",      "Iter",   "m",
                 "m-",        "m+",         "So",         "So-",      "So+",    "conf%",
                 "",          "15% distn",  "50% distn",  "15% interp", "50% interp", "",
                 "A: md",     "A: So",      "B: md",      "B: So",    "",       "md",
                 "So",        "",           "m",          "m.upper",  "m.lower", "So",
                 "So.upper",  "So.lower"}));
  std::vector<std::string> methods(38);
  methods[2 - 1] = "LinReg";
  methods[10 - 1] = "MLE";
  methods[20 - 1] = "GR-20";
  methods[25 - 1] = "FOTP-28,";
  methods[26 - 1] = "ITM-13";
  methods[30 - 1] = "IEC 60793";
  methods[31 - 1] = "-1-33";
  methods[33 - 1] = "ASTM C1239";
  EXPECT_EQ(methods, Texts(19, 1, 38));
  EXPECT_EQ("type", sheet.BufferedTitle(19));
  EXPECT_EQ("var", sheet.BufferedTitle(20));
  // The row-title column goes straight to the host.
  EXPECT_EQ("Title", ToText(table->Get(-1, 0)));
}

TEST_F(DriverTest, OldResultsAreClearedBeforeTheRun) {
  for (int32_t row = 1; row <= 30; ++row) {
    Cell(35, row, 1.0 * row);
    Cell(51, row, "stale");
  }
  Column(5, {"few", 3.0, 3.2, 3.1});
  Run();
  EXPECT_EQ((std::vector<double>{3.0, 3.1, 3.2}), Numbers(35));
  EXPECT_EQ("", Text(51, 1));
  EXPECT_NE(std::string::npos, settings.FinishMessage.find("\r\nSet 5:\t3 measurements\r\n"));
}

TEST_F(DriverTest, EachSetUsesItsOwnColumnsAndUnits) {
  Column(1, {"GPa", 5.1, 5.3, 5.2});
  Column(2, {"MPA", 5100, 5300});
  Column(10, {"ksi", 725, 754});
  Run();
  EXPECT_EQ((std::vector<double>{5.1, 5.2, 5.3}), Numbers(31));
  EXPECT_EQ(2u, Numbers(32).size());
  EXPECT_NEAR(5.1, Num(32, 1), 1e-12);
  EXPECT_NEAR(5.0, Num(40, 1), 1e-12);
  EXPECT_NEAR(5.2, Num(40, 2), 1e-12);
  EXPECT_EQ(3, Num(21, 1));
  EXPECT_EQ(2, Num(30, 1));
  EXPECT_EQ("set 10", sheet.BufferedTitle(30));
  EXPECT_EQ(std::string::npos, settings.FinishMessage.find("Set 10:\tempty"));
}

}  // namespace
}  // namespace korund::weibull
