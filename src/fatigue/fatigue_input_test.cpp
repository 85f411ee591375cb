// Input and cleaning: unit words, factors and tags shape the sorted rows.

#include "testing/fatigue_test_support.h"

namespace korund::fatigue {
namespace {

using InputTest = FatigueTest;

TEST_F(InputTest, UnitWordsFactorsAndTagsShapeTheSortedRows) {
  struct Case {
    int32_t fit_type;
    std::vector<Value> id, x, y;
    Strings sorted;  // "x|y"
  };
  const Value _;  // an empty cell
  // clang-format off
  const Case cases[] = {
      // Unit words scale the rows below them; ksi is divided by 145.
      {kFitDynamic, {}, {_, 1, 2, _, 3, _, 4, _, 5},
       {"MPA", 1200, 1500, " gpa ", 3, "ksi", 145, "KPSI", 290},
       {"1|1.2", "2|1.5", "3|3", "4|1", "5|2"}},
      {kFitStatic, {}, {_, 1, _, 2, _, 3, _, 4, _, 5},
       {"min", 2, "HOUR", 1, "Day", 0.5, "S", 7, "MPA", 9},
       {"1|120", "2|3600", "3|43200", "4|7", "5|9"}},
      // A factor needs a number beside it; overflows and numbers beside texts are unusable.
      {kFitDynamic, {}, {2, 10, "two", 20, 1e300, 10},
       {"FACTOR", 1.5, "factor", 2.5, "FACTOR", 1e300},
       {"10|3", "20|5", "'10'|--", "'1E+300'|FACTOR", "'2'|FACTOR", "two|factor"}},
      // Comment triggers and values <= 0 tag rows, which sort by codes: "#" < "*" < "V".
      {kFitDynamic, {"a", "*skip", _, "#x", "b", "b"}, {1, 1, 1, 1, -2, 4}, {2, 3, 0, 5, 6, 7},
       {"1|2", "4|7", "# 1|# 5", "* 1|* 3", "V -2|V  6", "V 1|V  0"}},
      // The shorter column is padded with empty cells, which become "...".
      {kFitDynamic, {}, {2, 1}, {3, 4, 5}, {"1|4", "2|3", "...|5"}},
  };
  // clang-format on
  settings.IgnoreByComment = true;
  settings.IgnoreChars = "#*";
  for (int16_t s = 1; s <= 5; ++s) {
    Input(s, kColId, cases[s - 1].id);
    Input(s, kColRawX, cases[s - 1].x);
    Input(s, kColRawY, cases[s - 1].y);
  }
  Load();
  std::string summary;
  for (int16_t s = 1; s <= 5; ++s) {
    settings.FitType = cases[s - 1].fit_type;
    EXPECT_TRUE(PrepareAndCleanSet(NewRun(), s, summary));
    Strings sorted;
    for (int32_t r = 1; r <= int32_t(cases[s - 1].sorted.size()); ++r)
      sorted.push_back(Text(s, kColSortX, r) + "|" + Text(s, kColSortY, r));
    EXPECT_EQ(cases[s - 1].sorted, sorted) << "set " << s;
  }
}

TEST_F(InputTest, TextsLeftOutOfTheFitAreSaid) {
  const Value _;
  Input(1, kColRawY, {"GPA", 3, "n/a", 4, "FACTOR", 2, ""});
  Input(1, kColRawX, {_, 1, 2, "q", 1000, 3});
  Load();
  settings.FitType = kFitDynamic;
  std::string summary;
  EXPECT_TRUE(PrepareAndCleanSet(NewRun(), 1, summary));
  // Unit words, FACTOR with its factor and empty cells are no surprise.
  EXPECT_EQ((Strings{"set 1, column 2, row 3: \"n/a\" is neither a number nor a unit word; "
                     "left out",
                     "set 1, column 3, row 4: \"q\" is neither a number nor a unit word; "
                     "left out",
                     "set 1: strengths up to 2000 GPa — if they are in MPa, put MPA above them",
                     "set 1: only 2 strengths — too few for a reliable fit"}),
            ui.diagnostics);
}

}  // namespace
}  // namespace korund::fatigue
