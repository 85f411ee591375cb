#include "weibull/weibull_driver.h"

#include <cmath>
#include <string>
#include <vector>

#include "weibull/weibull_test_support.h"

namespace korund::weibull {
namespace {

class DriverTest : public WeibullTest {
 protected:
  void Run() {
    Load();
    RunWeibullMacro(ctx);
  }
  std::vector<std::string> Texts(int32_t column, int32_t last) {
    std::vector<std::string> out;
    for (int32_t row = 1; row <= last; ++row) out.push_back(Text(column, row));
    return out;
  }
};

TEST_F(DriverTest, TenEmptySetsFinishWithTenEmptyLines) {
  Run();
  EXPECT_EQ(
      "Weibull analysis complete: \t\t\r\n"
      "\r\nSet 1:\tempty\r\nSet 2:\tempty\r\nSet 3:\tempty\r\nSet 4:\tempty\r\nSet 5:\tempty"
      "\r\nSet 6:\tempty\r\nSet 7:\tempty\r\nSet 8:\tempty\r\nSet 9:\tempty\r\nSet 10:\tempty",
      settings.FinishMessage);
}

TEST_F(DriverTest, AxisTicksFromColumn12) {
  const std::vector<double> defaults = {1, 3, 5, 10, 20, 40, 60, 80, 90, 99};
  struct Case {
    std::initializer_list<Value> typed;
    std::vector<double> ticks;
  };
  const Case cases[] = {
      {{}, defaults},
      {{50, 10, 70, 0, 120, 95, 2, "note"}, {2, 10, 50, 70, 95}},
      {{50, 10, "70", 0, 95, -3}, defaults},  // four usable values
      {{"50", 10, "70", 30, 95}, {10, 30, 50, 70, 95}},
  };
  for (const Case& c : cases) {
    for (int row = 1; row <= 10; ++row) Cell(12, row, Value());
    Column(12, c.typed);
    Run();
    EXPECT_EQ(c.ticks, Numbers(12));
    EXPECT_EQ("", Text(12, static_cast<int32_t>(c.ticks.size()) + 1));
    const std::vector<double> ticks = Numbers(54);
    ASSERT_EQ(c.ticks.size(), ticks.size());
    for (size_t j = 0; j < ticks.size(); ++j) {
      // A tick sits where a failure probability of P % plots.
      EXPECT_NEAR(c.ticks[j] / 100, 1 - std::exp(-std::exp(ticks[j])), 1e-13);
    }
    sheet.spSaveSheet();
  }
  EXPECT_EQ("y axis labels", table->Title(11));
  EXPECT_EQ("y ticks", table->Title(53));
}

TEST_F(DriverTest, TickTooCloseToZeroHasNoPosition) {
  Column(12, {1e-300, 10, 20, 30, 40});
  Run();
  EXPECT_EQ("--", Text(54, 1));
  EXPECT_NEAR(std::log(-std::log(0.9)), Num(54, 2), 1e-14);
}

TEST_F(DriverTest, StylesDefaultUnlessRow1HoldsACodeOfItsKind) {
  Column(14, {"@rgb(1,2,3", "mine"});
  Column(16, {"@RGB(1,2,3)", "x"});  // the test is case-sensitive
  Run();
  EXPECT_EQ("@symbol(2,1,0)", Text(13, 1));
  EXPECT_EQ("@symbol(2,1,0)", Text(13, 6));
  EXPECT_EQ("@symbol(6,1,0)", Text(13, 10));
  EXPECT_EQ((std::vector<std::string>{"@rgb(1,2,3", "mine", ""}), Texts(14, 3));
  EXPECT_EQ("@rgb(0,0,255)", Text(16, 1));
  EXPECT_EQ("@rgb(192,192,192)", Text(16, 10));
  EXPECT_EQ(std::vector<std::string>(10, "@line(1)"), Texts(15, 10));
  EXPECT_EQ(std::vector<std::string>(10, "@line(2)"), Texts(17, 10));
  EXPECT_EQ("LRcolor", sheet.BufferedTitle(16));
}

TEST_F(DriverTest, LabelsMethodNamesAndOptionsRecord) {
  settings.FOpt = 0;
  settings.LockWorksheet = true;
  Cell(35, 30, 9.0);  // stale results of an earlier run
  Run();
  EXPECT_EQ((std::vector<std::string>{"", "2", "-1", "0", ""}), Texts(56, 5));
  EXPECT_TRUE(sheet.spGetCell(56, 1).IsText());
  EXPECT_EQ("parms", sheet.BufferedTitle(56));
  EXPECT_EQ(Texts(20, 38),
            std::vector<std::string>(
                {"N",  "m",         "Dm",        "So",         "DSo",        "c",     "Dc",
                 "R",  "",          "mle",       "Iter",       "m",          "m-",    "m+",
                 "So", "So-",       "So+",       "conf%",      "",           "15% distn",
                 "50% distn",       "15% interp", "50% interp", "",          "A: md", "A: So",
                 "B: md",           "B: So",     "",           "md",         "So",    "",
                 "m",  "m.upper",   "m.lower",   "So",         "So.upper",   "So.lower"}));
  std::vector<std::string> methods(38);
  methods[1] = "LinReg";
  methods[9] = "MLE";
  methods[19] = "GR-20";
  methods[24] = "FOTP-28,";
  methods[25] = "ITM-13";
  methods[29] = "IEC 60793";
  methods[30] = "-1-33";
  methods[32] = "ASTM C1239";
  EXPECT_EQ(methods, Texts(19, 38));
  EXPECT_EQ("var", sheet.BufferedTitle(20));
  EXPECT_EQ("Title", ToText(table->Get(-1, 0)));  // the row-title column
  EXPECT_EQ("", Text(35, 30));
}

}  // namespace
}  // namespace korund::weibull
