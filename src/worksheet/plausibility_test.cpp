#include "worksheet/plausibility.h"

#include <gtest/gtest.h>

#include <vector>

namespace korund::worksheet {
namespace {

constexpr ValueWords kStrengths{"strength", "strengths", " GPa"};

TEST(PlausibilityTest, NotesNameTheSetAndWhatLooksWrong) {
  const struct {
    std::vector<double> values;
    const char* high;
    const char* few;
    const char* equal;
  } cases[] = {
      {{}, "", "", ""},
      {{3.1, 3.4, 3.9, 4.2, 4.4}, "", "", ""},
      {{30.0, 2, 3, 4, 5}, "", "", ""},  // the bound itself is still plausible
      {{3100, 3797.4, 2900, 3500, 3300},
       "set 4: strengths up to 3797 GPa — if they are in MPa, put MPA above them", "", ""},
      {{58.85}, "set 4: strengths up to 58.85 GPa — if they are in MPa, put MPA above them",
       "set 4: only 1 strength — too few for a reliable fit", ""},
      {{4, 4, 4}, "", "set 4: only 3 strengths — too few for a reliable fit",
       "set 4: all 3 strengths are equal (4 GPa)"},
      {{2.5, 2.5, 2.5, 2.5, 2.5, 2.5}, "", "", "set 4: all 6 strengths are equal (2.5 GPa)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.high, HighStrengthNote(4, c.values, kStrengths,
                                       "if they are in MPa, put MPA above them"));
    EXPECT_EQ(c.few, FewValuesNote(4, c.values.size(), kStrengths));
    EXPECT_EQ(c.equal, AllEqualNote(4, c.values, kStrengths));
  }
}

}  // namespace
}  // namespace korund::worksheet
