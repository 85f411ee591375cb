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
  // Cleans and groups set 1 (the fit stage is not run). The worksheet is
  // loaded once; a second call regroups the same data.
  void Group(const std::vector<double>& x, const std::vector<double>& y) {
    Input(1, kColRawX, x);
    Input(1, kColRawY, y);
    if (!sheet.Buffered()) Load();
    NewRun();
    std::string summary;
    ASSERT_TRUE(PrepareAndCleanSet(*run, 1, summary));
    GroupMeasurements(*run, 1);
  }
  Strings Counts() { return Texts(1, kColCount, run->nGroups + 1); }
  Strings Pairs() {
    Strings out;
    for (int32_t i = 1; i <= run->n_v; ++i) {
      out.push_back(ToText(run->XData[i]) + "|" + ToText(run->YData[i]));
    }
    return out;
  }
};

TEST_F(GroupTest, EqualRatesFormGroupsAndTheWeakestRuleDropsOneOfEach) {
  Group({1, 1, 1, 10, 10, 100}, {3, 2, 4, 5, 6, 7});
  EXPECT_EQ((Strings{"3", "2", "1", ""}), Counts());

  settings.IgnoreWeakest = true;
  Group({1, 1, 1, 10, 10, 100}, {3, 2, 4, 5, 6, 7});
  EXPECT_EQ((Strings{"2", "1", ""}), Counts());  // the lone 100 forms no group
  EXPECT_EQ((Strings{"1|4", "1|3", "W 1|W 2", "10|6", "W 10|W 5", "W 100|W 7"}), Pairs());
}

TEST_F(GroupTest, OnlyTheFirstOfEqualWeakestIsDropped) {
  settings.IgnoreWeakest = true;
  Group({1, 1, 1}, {2, 5, 2});
  EXPECT_EQ((Strings{"1|5", "W 1|W 2", "1|2"}), Pairs());
}

TEST_F(GroupTest, SimilarRatesChainWithinTheFactorOnlyWhenGroupingIsOn) {
  settings.RateFactor = 1.2;
  Group({1.0, 1.1, 1.2, 1.35}, {3, 3, 3, 3});
  EXPECT_EQ(4, run->nGroups);
  settings.GroupRates = true;  // 1.35 is more than 1.2 x 1.0, but each step is within
  Group({1.0, 1.1, 1.2, 1.35}, {3, 3, 3, 3});
  EXPECT_EQ((Strings{"4", ""}), Counts());
  EXPECT_NEAR(std::pow(1.0 * 1.1 * 1.2 * 1.35, 0.25), Num(1, kColGroupX, 1), 1e-12);
}

TEST_F(GroupTest, GroupRowsHoldMeansErrorBarsAndLogs) {
  Group({1, 1, 10}, {2, 4, 5});
  const double L = (std::log10(2.0) + std::log10(4.0)) / 2;
  const double E = (std::log10(4.0) - std::log10(2.0)) / 2;  // standard error of two
  const double low = std::pow(10, L - 2 * E), high = std::pow(10, L + 2 * E);
  const std::vector<double> group1 = {1, std::sqrt(8.0), low, high, 2};
  const std::vector<double> group2 = {10, 5, 0, 0, 1};  // one member: no error bar
  for (int32_t k = kColGroupX; k <= kColCount; ++k) {
    EXPECT_NEAR(group1[k - kColGroupX], Num(1, k, 1), 1e-12) << "offset " << k;
    EXPECT_NEAR(group2[k - kColGroupX], Num(1, k, 2), 1e-12) << "offset " << k;
  }
  EXPECT_NEAR(0.0, NumAt(kColFitX, 1), 1e-14);
  EXPECT_NEAR(L, NumAt(kColFitY, 1), 1e-14);
  EXPECT_NEAR(E, NumAt(kColFitErr, 1), 1e-14);
  EXPECT_NEAR(1.0, NumAt(kColFitX, 2), 1e-14);
  EXPECT_EQ(10, NumAt(kColFitErr, 2));
  EXPECT_EQ("", Text(1, kColGroupX, 3));

  const Strings lines = ReportLines();
  ASSERT_EQ(5u, lines.size());
  const Strings first = Split(lines[3], "\t");
  ASSERT_EQ(4u, first.size());
  EXPECT_EQ("1", first[0]);
  EXPECT_NEAR(std::sqrt(8.0), std::stod(first[1]), 1e-12);
  EXPECT_NEAR((high - low) / 2, std::stod(first[2]), 1e-12);
  EXPECT_EQ("2", first[3]);
  EXPECT_EQ("10\t5\t0\t1", lines[4]);
}

TEST_F(GroupTest, ClipboardGetsOneColumnPerGroupForTheChosenSetOnly) {
  settings.CopyData = true;
  settings.SetToCopy = 2;
  Group({1, 1, 10}, {2, 4, 5});
  EXPECT_EQ(0, ui.clipboard_sets + ui.clipboard_clears);
  settings.SetToCopy = 1;
  Group({1, 1, 10}, {2, 4, 5});
  EXPECT_EQ("\"1.00000\t\"10.0000\r\n4\t5\r\n2\t\r\n", ui.clipboard);
  EXPECT_EQ(1, ui.clipboard_sets);
}

TEST_F(GroupTest, ClipboardTableReadsTheGroupLinesWordByWord) {
  // More than five groups, of different sizes.
  Group({0.5, 0.5, 0.5, 2, 7, 7, 30, 30, 30, 30, 40, 50, 60},
        {3.5, 3.25, 3, 4, 4.5, 4.25, 5, 5.5, 5.25, 6, 7, 8, 9});
  ASSERT_EQ(7, run->nGroups);
  EXPECT_EQ("\"30.0000,6,5.5,5.25,5", run->GroupLines[4]);
  int16_t w = 0;
  for (int32_t g = 1; g <= 7; ++g) w = std::max(w, WordCount(run->GroupLines[g], ","));
  std::string expected;
  for (int16_t f = 1; f <= w; ++f) {
    expected += NthWord(f, run->GroupLines[1], ",");
    for (int32_t g = 2; g <= 7; ++g) expected += "\t" + NthWord(f, run->GroupLines[g], ",");
    expected += "\r\n";
  }
  EXPECT_EQ(expected, run->ClipboardTable);
}

}  // namespace
}  // namespace korund::fatigue
