// Rate grouping: group boundaries, the weakest rule, the group rows and the
// clipboard table.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fatigue/fatigue_test_support.h"
#include "util/text.h"

namespace korund::fatigue {
namespace {

using Strings = std::vector<std::string>;

class GroupTest : public FatigueTest {
 protected:
  // Cleans and groups set 1 (the fit stage is not run).
  void Group(const std::vector<double>& x, const std::vector<double>& y) {
    Input(1, kColRawX, x);
    Input(1, kColRawY, y);
    Load();
    NewRun();
    std::string summary;
    ASSERT_TRUE(PrepareAndCleanSet(*run, 1, summary));
    GroupMeasurements(*run, 1);
  }
  std::vector<std::string> Counts() { return Texts(1, kColCount, run->nGroups + 1); }
};

TEST_F(GroupTest, EqualRatesFormGroups) {
  Group({1, 1, 1, 10, 10, 100}, {3, 2, 4, 5, 6, 7});
  EXPECT_EQ(3, run->nGroups);
  EXPECT_EQ((Strings{"3", "2", "1", ""}), Counts());
}

TEST_F(GroupTest, WeakestRuleDropsOneFromEachGroupAndLoneMeasurementsVanish) {
  settings.IgnoreWeakest = true;
  Group({1, 1, 1, 10, 10, 100}, {3, 2, 4, 5, 6, 7});
  EXPECT_EQ(2, run->nGroups);
  EXPECT_EQ((Strings{"2", "1", ""}), Counts());
  EXPECT_EQ((Strings{"1", "W 1", "10", "W 10", "W 100"}),
            (Strings{ToText(run->XData[1]), ToText(run->XData[3]), ToText(run->XData[4]),
                     ToText(run->XData[5]), ToText(run->XData[6])}));
  EXPECT_EQ("W 2", ToText(run->YData[3]));
  EXPECT_EQ("W 7", ToText(run->YData[6]));
}

TEST_F(GroupTest, OnlyTheFirstOfEqualWeakestIsDropped) {
  settings.IgnoreWeakest = true;
  Group({1, 1, 1}, {2, 5, 2});
  // Sorted by y within the rate: 5, then the two 2s in their original order.
  EXPECT_EQ((Strings{"1", "W 1", "1"}), (Strings{ToText(run->XData[1]), ToText(run->XData[2]),
                                                 ToText(run->XData[3])}));
  EXPECT_EQ("W 2", ToText(run->YData[2]));
  EXPECT_EQ("2", Text(1, kColCount, 1));
}

TEST_F(GroupTest, SimilarRatesChainWithinTheFactor) {
  settings.GroupRates = true;
  settings.RateFactor = 1.2;
  Group({1.0, 1.1, 1.2, 1.35}, {3, 3, 3, 3});
  EXPECT_EQ(1, run->nGroups);
  EXPECT_EQ("4", Text(1, kColCount, 1));
  // The geometric mean of the chained rates.
  EXPECT_NEAR(std::pow(1.0 * 1.1 * 1.2 * 1.35, 0.25), Num(1, kColGroupX, 1), 1e-12);
}

TEST_F(GroupTest, WithoutGroupingEveryRateIsItsOwnGroup) {
  settings.GroupRates = false;
  settings.RateFactor = 1.2;  // ignored while grouping is off
  Group({1.0, 1.1, 1.2, 1.35}, {3, 3, 3, 3});
  EXPECT_EQ(4, run->nGroups);
}

TEST_F(GroupTest, GroupRowsHoldMeansErrorBarsAndLogs) {
  Group({1, 1, 10}, {2, 4, 5});
  ASSERT_EQ(2, run->nGroups);
  const double L = (std::log10(2.0) + std::log10(4.0)) / 2;
  const double E = (std::log10(4.0) - std::log10(2.0)) / 2;  // sd/sqrt(2) of two values
  EXPECT_NEAR(1.0, Num(1, kColGroupX, 1), 1e-14);
  EXPECT_NEAR(std::sqrt(8.0), Num(1, kColGroupY, 1), 1e-12);
  EXPECT_NEAR(std::pow(10, L - 2 * E), Num(1, kColGroupLow, 1), 1e-12);
  EXPECT_NEAR(std::pow(10, L + 2 * E), Num(1, kColGroupHigh, 1), 1e-12);
  EXPECT_EQ(2, Num(1, kColCount, 1));
  EXPECT_NEAR(0.0, NumAt(kColFitX, 1), 1e-14);
  EXPECT_NEAR(L, NumAt(kColFitY, 1), 1e-14);
  EXPECT_NEAR(E, NumAt(kColFitErr, 1), 1e-14);
  // A group of one has no error bar and a large error for the fit.
  EXPECT_NEAR(10.0, Num(1, kColGroupX, 2), 1e-12);
  EXPECT_NEAR(5.0, Num(1, kColGroupY, 2), 1e-12);
  EXPECT_EQ(0, Num(1, kColGroupLow, 2));
  EXPECT_EQ(0, Num(1, kColGroupHigh, 2));
  EXPECT_EQ(1, Num(1, kColCount, 2));
  EXPECT_NEAR(1.0, NumAt(kColFitX, 2), 1e-14);
  EXPECT_EQ(10, NumAt(kColFitErr, 2));
  EXPECT_EQ("", Text(1, kColGroupX, 3));

  const Strings lines = ReportLines();
  ASSERT_EQ(5u, lines.size());
  const Strings first = Split(lines[3], "\t");
  ASSERT_EQ(4u, first.size());
  EXPECT_EQ("1", first[0]);
  EXPECT_NEAR(std::sqrt(8.0), std::stod(first[1]), 1e-12);
  EXPECT_NEAR((std::pow(10, L + 2 * E) - std::pow(10, L - 2 * E)) / 2, std::stod(first[2]),
              1e-12);
  EXPECT_EQ("2", first[3]);
  EXPECT_EQ("10\t5\t0\t1", lines[4]);
}

TEST_F(GroupTest, ClipboardTableHasOneColumnPerGroup) {
  settings.CopyData = true;
  settings.SetToCopy = 1;
  Group({1, 1, 10}, {2, 4, 5});
  EXPECT_EQ("\"1.00000\t\"10.0000\r\n4\t5\r\n2\t\r\n", ui.clipboard);
  EXPECT_EQ(1, ui.clipboard_sets);
}

TEST_F(GroupTest, ClipboardIsLeftAloneForOtherSets) {
  settings.CopyData = true;
  settings.SetToCopy = 2;
  Group({1, 1, 10}, {2, 4, 5});
  EXPECT_EQ(0, ui.clipboard_sets);
  EXPECT_EQ(0, ui.clipboard_clears);
  EXPECT_EQ("\"1.00000\t\"10.0000\r\n4\t5\r\n2\t\r\n", run->ClipboardTable);
}

TEST_F(GroupTest, ClipboardTableReadsTheGroupLinesWordByWord) {
  Group({0.5, 0.5, 0.5, 2, 7, 7, 30, 30, 30, 30}, {3.5, 3.25, 3, 4, 4.5, 4.25, 5, 5.5, 5.25, 6});
  ASSERT_EQ(4, run->nGroups);
  // The table as the word functions read the lines, field by field.
  int16_t w = 0;
  for (int32_t g = 1; g <= 4; ++g) w = std::max(w, WordCount(run->GroupLines[g], ","));
  std::string expected;
  for (int16_t f = 1; f <= w; ++f) {
    expected += NthWord(f, run->GroupLines[1], ",");
    for (int32_t g = 2; g <= 4; ++g) expected += "\t" + NthWord(f, run->GroupLines[g], ",");
    expected += "\r\n";
  }
  EXPECT_EQ(expected, run->ClipboardTable);
  EXPECT_EQ("\"30.0000,6,5.5,5.25,5", run->GroupLines[4]);
}

TEST_F(GroupTest, ManyGroupsGrowTheGroupLines) {
  std::vector<double> x, y;
  for (int i = 1; i <= 12; ++i) {
    x.push_back(i);
    y.push_back(10 + i);
  }
  Group(x, y);
  EXPECT_EQ(12, run->nGroups);
  const Strings rows = Split(run->ClipboardTable, "\r\n");
  ASSERT_EQ(3u, rows.size());  // rates, values, and the end after the last CR LF
  EXPECT_EQ(12u, Split(rows[1], "\t").size());
  EXPECT_EQ("22", Split(rows[1], "\t")[11]);
}

}  // namespace
}  // namespace korund::fatigue
