// Rate grouping: boundaries, the weakest rule, the group rows and the clipboard.

#include <cmath>

#include "testing/fatigue_test_support.h"
#include "util/text.h"

namespace korund::fatigue {
namespace {

class GroupTest : public FatigueTest {
 protected:
  // Cleans and groups set 1 (a second call regroups the loaded data); returns the counts.
  Strings Group(const std::vector<double>& x, const std::vector<double>& y) {
    Input(1, kColRawX, x);
    Input(1, kColRawY, y);
    if (!sheet.TEST_Buffered()) Load();
    std::string summary;
    EXPECT_TRUE(PrepareAndCleanSet(NewRun(), 1, summary));
    GroupMeasurements(*run, 1);
    return Texts(1, kColCount, run->nGroups + 1);
  }
};

TEST_F(GroupTest, TheWeakestRuleDropsTheFirstWeakestOfEachGroup) {
  settings.IgnoreWeakest = true;  // the lone 100 then forms no group
  EXPECT_EQ((Strings{"3", "1", ""}), Group({1, 1, 1, 1, 10, 10, 100}, {3, 2, 4, 2, 5, 6, 7}));
  Strings pairs;
  for (int32_t i = 1; i <= run->n_v; ++i)
    pairs.push_back(ToText(run->XData[i]) + "|" + ToText(run->YData[i]));
  EXPECT_EQ((Strings{"1|4", "1|3", "W 1|W 2", "1|2", "10|6", "W 10|W 5", "W 100|W 7"}), pairs);
}

TEST_F(GroupTest, SimilarRatesChainWithinTheFactorOnlyWhenGroupingIsOn) {
  EXPECT_EQ((Strings{"1", "1", "1", "1", ""}), Group({1.0, 1.1, 1.2, 1.35}, {3, 3, 3, 3}));
  settings.GroupRates = true;  // 1.35 is more than 1.2 x 1.0, but each step is within
  EXPECT_EQ((Strings{"4", ""}), Group({1.0, 1.1, 1.2, 1.35}, {3, 3, 3, 3}));
  EXPECT_NEAR(std::pow(1.0 * 1.1 * 1.2 * 1.35, 0.25), Num(1, kColGroupX, 1), 1e-12);
}

TEST_F(GroupTest, GroupRowsReportAndClipboardOfASmallSet) {
  settings.CopyData = true;
  Group({1, 1, 10}, {2, 4, 5});
  const double L = std::log10(8.0) / 2, E = std::log10(2.0) / 2;  // mean, std error of log y
  // Set columns x, y, y-, y+, count, then the shared fit X, Y and err.
  const double expected[2][8] = {
      {1, std::sqrt(8.0), std::pow(10, L - 2 * E), std::pow(10, L + 2 * E), 2, 0, L, E},
      {10, 5, 0, 0, 1, 1, std::log10(5.0), 10}};
  for (int32_t i = 0; i < 16; ++i) {
    const int32_t g = i / 8 + 1, k = i % 8;
    const int32_t column = k < 5 ? SetColumn(1, kColGroupX + k) : kColFitX + k - 5;
    EXPECT_NEAR(expected[g - 1][k], NumAt(column, g), 1e-12) << "group " << g << " " << k;
  }
  const std::string half = FormatNumber((Num(1, kColGroupHigh, 1) - Num(1, kColGroupLow, 1)) / 2);
  EXPECT_EQ(
      (Strings{"DATA SET 1", "3 total measurements", "rate\tstrength\t\xC2\xB1\tcount",
               "1\t" + FormatNumber(Num(1, kColGroupY, 1)) + "\t" + half + "\t2", "10\t5\t0\t1"}),
      ReportLines());
  EXPECT_EQ("\"1.00000\t\"10.0000\r\n4\t5\r\n2\t\r\n", ui.clipboard);
}

TEST_F(GroupTest, ClipboardTableOfManyUnequalGroupsHoldsTheWordsOfEachGroupLine) {
  settings.CopyData = true;
  Group({0.5, 0.5, 0.5, 2, 7, 7, 30, 30, 30, 30, 40, 50, 60},
        {3.5, 3.25, 3, 4, 4.5, 4.25, 5, 5.5, 5.25, 6, 7, 8, 9});
  const Strings& lines = run->GroupLines;
  ASSERT_EQ(7, run->nGroups);  // the longest group line, of 30, has five words
  std::string table;
  for (int16_t f = 1; f <= 5; ++f) {
    for (int32_t g = 1; g <= 7; ++g) table += NthWord(f, lines[g], ",") + (g < 7 ? "\t" : "\r\n");
  }
  EXPECT_EQ(table, run->ClipboardTable);
}

}  // namespace
}  // namespace korund::fatigue
