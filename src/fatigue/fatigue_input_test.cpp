// Input and cleaning: unit words, tags, padding, sorting and the counts.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fatigue/fatigue_test_support.h"

namespace korund::fatigue {
namespace {

using Strings = std::vector<std::string>;

class InputTest : public FatigueTest {
 protected:
  // Loads x and y into set 1 and runs only the cleaning stage.
  bool Clean(std::initializer_list<Value> x, std::initializer_list<Value> y) {
    Input(1, kColRawX, x);
    Input(1, kColRawY, y);
    Load();
    NewRun();
    return PrepareAndCleanSet(*run, 1, summary);
  }
  Strings SortedX(int32_t rows) { return Texts(1, kColSortX, rows); }
  Strings SortedY(int32_t rows) { return Texts(1, kColSortY, rows); }
  std::string summary;
};

TEST_F(InputTest, StrengthUnitWordsScaleTheRowsBelowThem) {
  // ksi and kpsi are converted to GPa (divided by 145, not multiplied).
  ASSERT_TRUE(Clean({Value(), 1, 2, Value(), 3, Value(), 4, Value(), 5},
                    {"MPA", 1200, 1500, " gpa ", 3, "ksi", 145, "KPSI", 290}));
  EXPECT_EQ((Strings{"1.2", "1.5", "3", "1", "2"}), SortedY(5));
}

TEST_F(InputTest, TimeUnitWordsConvertToSecondsInTheStaticAnalysis) {
  settings.FitType = kFitStatic;
  ASSERT_TRUE(Clean({Value(), 1, Value(), 2, Value(), 3, Value(), 4, Value(), 5},
                    {"min", 2, "HOUR", 1, "Day", 0.5, "S", 7, "MPA", 9}));
  EXPECT_EQ((Strings{"120", "3600", "43200", "7", "9"}), SortedY(5));  // MPA is no time
}

TEST_F(InputTest, FactorRowScalesOnlyWithANumberBesideIt) {
  ASSERT_TRUE(Clean({2, 10, "two", 20}, {"FACTOR", 1.5, "factor", 2.5}));
  // The unit rows are unusable and sort behind; a number beside text is quoted.
  EXPECT_EQ((Strings{"10", "20", "'2'", "two"}), SortedX(4));
  EXPECT_EQ((Strings{"3", "5", "FACTOR", "factor"}), SortedY(4));
}

TEST_F(InputTest, ScaledValueBeyondTheRangeOfDoublesIsUnusable) {
  ASSERT_TRUE(Clean({1e300, 10, 20}, {"FACTOR", 1e300, 2}));
  EXPECT_EQ(1, run->n_v);
  EXPECT_EQ((Strings{"2E+300", "--"}), SortedY(2));
}

TEST_F(InputTest, RaggedColumnsArePaddedAndTheGapSortsLast) {
  Input(2, kColRawX, {10, 1});
  Input(2, kColRawY, {3});
  ASSERT_TRUE(Clean({10, 1}, {3, 2, 4}));
  EXPECT_EQ(2, run->n_v);
  EXPECT_EQ((Strings{"1", "10", "..."}), SortedX(3));
  EXPECT_EQ((Strings{"2", "3", "4"}), SortedY(3));
  ASSERT_TRUE(PrepareAndCleanSet(*run, 2, summary));
  EXPECT_EQ((Strings{"10", "'1'"}), Texts(2, kColSortX, 2));
  EXPECT_EQ((Strings{"3", "..."}), Texts(2, kColSortY, 2));
}

TEST_F(InputTest, NonPositiveValuesAndCommentTriggersAreTagged) {
  settings.IgnoreByComment = true;
  settings.IgnoreChars = "#*";
  Input(1, kColId, {"a", "*skip", Value(), "#x", "b", "b"});
  ASSERT_TRUE(Clean({1, 1, 1, 1, -2, 4}, {2, 3, 0, 5, 6, 7}));
  EXPECT_EQ(2, run->n_v);
  EXPECT_EQ(2, ToNumber(run->XData[0]).value());
  // Text sorts by character codes: "#" < "*" < "V".
  EXPECT_EQ((Strings{"1", "4", "# 1", "* 1", "V -2", "V 1"}), SortedX(6));
  EXPECT_EQ((Strings{"2", "7", "# 5", "* 3", "V  6", "V  0"}), SortedY(6));
}

TEST_F(InputTest, CommentsCountOnlyWhenTheRuleIsOn) {
  settings.IgnoreChars = "*";
  Input(1, kColId, {"*skip"});
  ASSERT_TRUE(Clean({1}, {3}));
  EXPECT_EQ(1, run->n_v);
}

TEST_F(InputTest, SortedByRateThenStrongestFirstAndTextNumbersCount) {
  ASSERT_TRUE(Clean({10, 1, 10, 0.1, " 1 "}, {1, 5, "3", 9, 2}));
  EXPECT_EQ(5, run->n_v);
  EXPECT_EQ((Strings{"0.1", "1", "1", "10", "10"}), SortedX(5));
  EXPECT_EQ((Strings{"9", "5", "2", "3", "1"}), SortedY(5));
}

TEST_F(InputTest, EmptyAndUnusableSetsEndWithTheirSummaries) {
  settings.CopyData = true;
  settings.SetToCopy = 1;
  Input(2, kColRawX, {1});
  Input(2, kColRawY, {0, "MPA"});
  EXPECT_FALSE(Clean({}, {}));
  EXPECT_EQ("Set 1:\tempty", summary);
  EXPECT_EQ((Strings{"DATA SET 1", "empty"}), ReportLines());
  EXPECT_EQ(1, ui.clipboard_clears);  // the set to copy is empty

  run->ReportText.Clear();
  EXPECT_FALSE(PrepareAndCleanSet(*run, 2, summary));
  EXPECT_EQ("Set 2 is empty", summary);
  EXPECT_EQ((Strings{"DATA SET 2", "empty"}), ReportLines());
}

TEST_F(InputTest, UsableSetStartsTheGroupTable) {
  ASSERT_TRUE(Clean({1, 10}, {3, 4}));
  EXPECT_EQ((Strings{"DATA SET 1", "2 total measurements", "rate\tstrength\t\xC2\xB1\tcount"}),
            ReportLines());
  EXPECT_EQ(15, ui.progress.value());  // 10*s, four layout steps, one more
}

TEST_F(InputTest, SetColumnsAreTitledAndStyleCodesDefaulted) {
  settings.FatigueMode = 1;
  Input(2, kColSymbol, {"@symbol(9,1,0)"});
  Input(2, kColColor, {"@RGB(1,2,3)"});
  Input(2, kColFill, {"@rgb(1,2"});
  Input(2, kColGroupX, {5, 6});
  Load();
  NewRun();
  PrepareAndCleanSet(*run, 2, summary);
  Strings titles;
  for (int32_t c = 31; c <= 50; ++c) titles.push_back(sheet.BufferedTitle(c));
  EXPECT_EQ((Strings{"ID 2", "raw str 2", "raw vel 2", "sort str 2", "sort vel 2", "vel 2",
                     "str 2", "str- 2", "str+ 2", "count 2", "use 2", "results 2", "= 2",
                     "symb 2", "color 2", "fill 2", "line 2", "linecol 2", "regnX 2",
                     "regnY 2"}),
            titles);
  // A user's code survives; a wrong-case code is replaced; outputs are blank.
  EXPECT_EQ((Strings{"@symbol(9,1,0)", "@rgb(255,0,0)", "@rgb(1,2", "@line(1)",
                     "@rgb(255,0,0)"}),
            (Strings{Text(2, kColSymbol, 1), Text(2, kColColor, 1), Text(2, kColFill, 1),
                     Text(2, kColLine, 1), Text(2, kColLineColor, 1)}));
  EXPECT_EQ("", Text(2, kColGroupX, 1));
}

}  // namespace
}  // namespace korund::fatigue
