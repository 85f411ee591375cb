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
  // Runs only the cleaning stage of set s.
  bool Clean(int16_t s, std::string* summary = nullptr) {
    NewRun();
    std::string text;
    const bool go_on = PrepareAndCleanSet(*run, s, text);
    if (summary) *summary = text;
    return go_on;
  }
  std::vector<double> Ys() const {
    std::vector<double> out;
    for (int32_t i = 1; i <= run->n_v; ++i) out.push_back(run->YData[i].Number());
    return out;
  }
};

TEST_F(InputTest, StrengthUnitWordsScaleTheRowsBelowThem) {
  Input(1, kColRawY, {"MPA", 1200.0, 1500.0, " gpa ", 3.0, "ksi", 145.0, "KPSI", 290.0});
  Input(1, kColRawX, {Value(), 1.0, 2.0, Value(), 3.0, Value(), 4.0, Value(), 5.0});
  Load();
  ASSERT_TRUE(Clean(1));
  ASSERT_EQ(5, run->n_v);
  const std::vector<double> y = Ys();
  EXPECT_DOUBLE_EQ(1.2, y[0]);
  EXPECT_DOUBLE_EQ(1.5, y[1]);
  EXPECT_DOUBLE_EQ(3.0, y[2]);  // "GPA" restores the factor 1
  // ksi are converted to GPa (not multiplied by 145 again).
  EXPECT_DOUBLE_EQ(1.0, y[3]);
  EXPECT_DOUBLE_EQ(2.0, y[4]);
}

TEST_F(InputTest, TimeUnitWordsConvertToSecondsInTheStaticAnalysis) {
  settings.FitType = kFitStatic;
  settings.FatigueMode = 2;
  Input(1, kColRawY, {"min", 2.0, "HOUR", 1.0, "Day", 0.5, "S", 7.0, "MPA", 9.0});
  Input(1, kColRawX, {Value(), 1.0, Value(), 2.0, Value(), 3.0, Value(), 4.0, Value(), 5.0});
  Load();
  ASSERT_TRUE(Clean(1));
  EXPECT_EQ((std::vector<double>{120, 3600, 43200, 7, 9}), Ys());  // MPA is no time unit
}

TEST_F(InputTest, FactorRowScalesOnlyWithANumberBesideIt) {
  Input(1, kColRawY, {"FACTOR", 1.5, "factor", 2.5});
  Input(1, kColRawX, {2.0, 10.0, "two", 20.0});
  Load();
  ASSERT_TRUE(Clean(1));
  EXPECT_EQ((std::vector<double>{3.0, 5.0}), Ys());
  // The unit rows themselves are unusable and sorted behind, x quoted.
  EXPECT_EQ((Strings{"10", "20", "'2'", "two"}), Texts(1, kColSortX, 4));
  EXPECT_EQ((Strings{"3", "5", "FACTOR", "factor"}), Texts(1, kColSortY, 4));
}

TEST_F(InputTest, ScaledValueBeyondTheRangeOfDoublesIsUnusable) {
  Input(1, kColRawY, {"FACTOR", 1e300, 2.0});
  Input(1, kColRawX, {1e300, 10.0, 20.0});
  Load();
  ASSERT_TRUE(Clean(1));
  EXPECT_EQ(1, run->n_v);
  EXPECT_EQ((Strings{"20", "'10'"}), Texts(1, kColSortX, 2));
  EXPECT_EQ((Strings{"2E+300", "--"}), Texts(1, kColSortY, 2));
}

TEST_F(InputTest, RaggedColumnsArePaddedAndTheGapSortsLast) {
  Input(1, kColRawY, {3.0, 2.0, 4.0});
  Input(1, kColRawX, {10.0, 1.0});
  Input(2, kColRawY, {3.0});
  Input(2, kColRawX, {10.0, 1.0});
  Load();
  ASSERT_TRUE(Clean(1));
  EXPECT_EQ(2, run->n_v);
  EXPECT_EQ((Strings{"1", "10", "..."}), Texts(1, kColSortX, 3));
  EXPECT_EQ((Strings{"2", "3", "4"}), Texts(1, kColSortY, 3));
  ASSERT_TRUE(Clean(2));
  EXPECT_EQ(1, run->n_v);
  EXPECT_EQ((Strings{"10", "'1'"}), Texts(2, kColSortX, 2));
  EXPECT_EQ((Strings{"3", "..."}), Texts(2, kColSortY, 2));
}

TEST_F(InputTest, NonPositiveValuesAndCommentTriggersAreTagged) {
  settings.IgnoreByComment = true;
  settings.IgnoreChars = "#*";
  Input(1, kColId, {"a", "*skip", Value(), "#x", "b", "b"});
  Input(1, kColRawY, {2.0, 3.0, 0.0, 5.0, 6.0, 7.0});
  Input(1, kColRawX, {1.0, 1.0, 1.0, 1.0, -2.0, 4.0});
  Load();
  ASSERT_TRUE(Clean(1));
  EXPECT_EQ(2, run->n_v);
  EXPECT_EQ(2, ToNumber(run->XData[0]).value());
  // Text sorts by character codes: "#" < "*" < "V".
  EXPECT_EQ((Strings{"1", "4", "# 1", "* 1", "V -2", "V 1"}), Texts(1, kColSortX, 6));
  EXPECT_EQ((Strings{"2", "7", "# 5", "* 3", "V  6", "V  0"}), Texts(1, kColSortY, 6));
}

TEST_F(InputTest, CommentsAreIgnoredOnlyWhenTheRuleIsOn) {
  settings.IgnoreByComment = false;
  settings.IgnoreChars = "*";
  Input(1, kColId, {"*skip"});
  Input(1, kColRawY, {3.0});
  Input(1, kColRawX, {1.0});
  Load();
  ASSERT_TRUE(Clean(1));
  EXPECT_EQ(1, run->n_v);
}

TEST_F(InputTest, EqualRatesKeepTheStrongestFirst) {
  Input(1, kColRawY, {1.0, 5.0, 3.0, 9.0, 2.0});
  Input(1, kColRawX, {10.0, 1.0, 10.0, 0.1, 1.0});
  Load();
  ASSERT_TRUE(Clean(1));
  EXPECT_EQ((Strings{"0.1", "1", "1", "10", "10"}), Texts(1, kColSortX, 5));
  EXPECT_EQ((Strings{"9", "5", "2", "3", "1"}), Texts(1, kColSortY, 5));
}

TEST_F(InputTest, NumbersTypedAsTextAreMeasurements) {
  Input(1, kColRawY, {"2.5", 3.0});
  Input(1, kColRawX, {1.0, " 10 "});
  Load();
  ASSERT_TRUE(Clean(1));
  EXPECT_EQ(2, run->n_v);
  EXPECT_TRUE(run->XData[2].IsNumber());
  EXPECT_EQ((std::vector<double>{2.5, 3.0}), Ys());
}

TEST_F(InputTest, EmptyAndUnusableSetsEndWithTheirSummaries) {
  settings.CopyData = true;
  settings.SetToCopy = 1;
  Input(2, kColRawY, {0.0, "MPA"});
  Input(2, kColRawX, {1.0});
  Load();
  std::string summary;
  EXPECT_FALSE(Clean(1, &summary));
  EXPECT_EQ("Set 1:\tempty", summary);
  EXPECT_EQ((Strings{"DATA SET 1", "empty"}), ReportLines());
  EXPECT_EQ(1, ui.clipboard_clears);  // the set to copy is empty

  EXPECT_FALSE(Clean(2, &summary));
  EXPECT_EQ("Set 2 is empty", summary);
  EXPECT_EQ((Strings{"DATA SET 2", "empty"}), ReportLines());
  EXPECT_EQ(1, ui.clipboard_clears);
}

TEST_F(InputTest, UsableSetStartsTheGroupTable) {
  Input(1, kColRawY, {3.0, 4.0});
  Input(1, kColRawX, {1.0, 10.0});
  Load();
  ASSERT_TRUE(Clean(1));
  EXPECT_EQ((Strings{"DATA SET 1", "2 total measurements", "rate\tstrength\t\xC2\xB1\tcount"}),
            ReportLines());
  EXPECT_EQ(15, ui.progress.value());  // 10*s, four layout steps, one more
}

TEST_F(InputTest, SetColumnsAreTitledAndStyleCodesDefaulted) {
  settings.FatigueMode = 1;
  Input(2, kColSymbol, {"@symbol(9,1,0)"});
  Input(2, kColColor, {"@RGB(1,2,3)"});
  Input(2, kColFill, {"@rgb(1,2"});
  Input(2, kColGroupX, {5.0, 6.0});
  Cell(kColFitErr, 3, 1.0);
  Load();
  Clean(2);
  EXPECT_EQ("ID 2", sheet.BufferedTitle(31));
  EXPECT_EQ("raw str 2", sheet.BufferedTitle(32));
  EXPECT_EQ("raw vel 2", sheet.BufferedTitle(33));
  EXPECT_EQ("sort str 2", sheet.BufferedTitle(34));
  EXPECT_EQ("sort vel 2", sheet.BufferedTitle(35));
  EXPECT_EQ("vel 2", sheet.BufferedTitle(36));
  EXPECT_EQ("str 2", sheet.BufferedTitle(37));
  EXPECT_EQ("str- 2", sheet.BufferedTitle(38));
  EXPECT_EQ("str+ 2", sheet.BufferedTitle(39));
  EXPECT_EQ("count 2", sheet.BufferedTitle(40));
  EXPECT_EQ("use 2", sheet.BufferedTitle(41));
  EXPECT_EQ("results 2", sheet.BufferedTitle(42));
  EXPECT_EQ("= 2", sheet.BufferedTitle(43));
  EXPECT_EQ("linecol 2", sheet.BufferedTitle(48));
  EXPECT_EQ("regnY 2", sheet.BufferedTitle(50));
  EXPECT_EQ("fit err", sheet.BufferedTitle(kColFitErr));
  // A user's code survives; a wrong-case code is replaced.
  EXPECT_EQ("@symbol(9,1,0)", Text(2, kColSymbol, 1));
  EXPECT_EQ("@rgb(255,0,0)", Text(2, kColColor, 1));
  EXPECT_EQ("@rgb(1,2", Text(2, kColFill, 1));
  EXPECT_EQ("@line(1)", Text(2, kColLine, 1));
  EXPECT_EQ("@rgb(255,0,0)", Text(2, kColLineColor, 1));
  // Output columns are blanked.
  EXPECT_EQ("", Text(2, kColGroupX, 1));
  EXPECT_EQ("", ToText(Get(kColFitErr, 3)));
}

}  // namespace
}  // namespace korund::fatigue
