#include "dialogs/check_range.h"

#include <gtest/gtest.h>

#include "ui/scripted_ui.h"
#include "util/run_settings.h"

namespace korund {
namespace {

class CheckRangeTest : public ::testing::Test {
 protected:
  ui::ScriptedUi ui_;
  double result_ = -99;
};

TEST_F(CheckRangeTest, InRangeReplacesTheValueByItsNumber) {
  Value v(6);
  EXPECT_TRUE(CheckRange(ui_, v, 1, 6, result_));
  EXPECT_EQ(result_, 6.0);
  Value text(" 2.5 ");
  EXPECT_TRUE(CheckRange(ui_, text, 1, 6, result_));
  ASSERT_TRUE(text.IsNumber());
  EXPECT_EQ(text.Number(), 2.5);
  EXPECT_EQ(result_, 2.5);
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(CheckRangeTest, OutOfRangeShowsTheBoundsAndChangesNothing) {
  Value v(7);
  EXPECT_FALSE(CheckRange(ui_, v, 1, 6, result_));
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, "Value out of range 1 to 6");
  EXPECT_EQ(ui_.shown[0].flags, ui::kMbIconExclamation | ui::kMbOk);
  EXPECT_EQ(ui_.shown[0].title, AppTitle());
  EXPECT_EQ(v, Value(7));
  EXPECT_EQ(result_, -99);

  Value small("0.25");
  EXPECT_FALSE(CheckRange(ui_, small, 0.5, 1e20, result_));
  EXPECT_EQ(ui_.shown.back().text, "Value out of range 0.5 to 1E+20");
  EXPECT_TRUE(small.IsText());
}

TEST_F(CheckRangeTest, EqualBoundsAlwaysFailWithTheMessage) {
  Value v(3);
  EXPECT_FALSE(CheckRange(ui_, v, 3, 3, result_));
  EXPECT_EQ(ui_.shown.size(), 1u);
}

TEST_F(CheckRangeTest, NonNumericFailsSilently) {
  for (Value v : {Value("abc"), Value(""), Value()}) {
    const Value before = v;
    EXPECT_FALSE(CheckRange(ui_, v, 1, 6, result_));
    EXPECT_EQ(v.kind(), before.kind());
  }
  EXPECT_TRUE(ui_.shown.empty());
  EXPECT_EQ(result_, -99);
}

}  // namespace
}  // namespace korund
