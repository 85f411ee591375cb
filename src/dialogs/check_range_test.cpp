#include "dialogs/check_range.h"

#include <gtest/gtest.h>

#include "ui/scripted_ui.h"
#include "util/run_settings.h"

namespace korund {
namespace {

TEST(CheckRange, InRangeReplacesTheValueByItsNumber) {
  ui::ScriptedUi ui;
  double result = -99;
  Value v(6);
  EXPECT_TRUE(CheckRange(ui, v, 1, 6, result));
  Value text(" 2.5 ");
  EXPECT_TRUE(CheckRange(ui, text, 1, 6, result));
  ASSERT_TRUE(text.IsNumber());
  EXPECT_EQ(text.Number(), 2.5);
  EXPECT_EQ(result, 2.5);
  EXPECT_TRUE(ui.shown.empty());
}

TEST(CheckRange, OutOfRangeShowsTheBoundsAndChangesNothing) {
  ui::ScriptedUi ui;
  double result = -99;
  Value v(7);
  EXPECT_FALSE(CheckRange(ui, v, 1, 6, result));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Value out of range 1 to 6");
  EXPECT_EQ(ui.shown[0].flags, ui::kMbIconExclamation | ui::kMbOk);
  EXPECT_EQ(ui.shown[0].title, AppTitle());
  EXPECT_EQ(v, Value(7));

  Value small("0.25");
  EXPECT_FALSE(CheckRange(ui, small, 0.5, 1e20, result));
  EXPECT_EQ(ui.shown.back().text, "Value out of range 0.5 to 1E+20");
  EXPECT_TRUE(small.IsText());

  Value three(3);  // equal bounds always fail
  EXPECT_FALSE(CheckRange(ui, three, 3, 3, result));
  // Not a number: no box at all.
  Value word("abc");
  EXPECT_FALSE(CheckRange(ui, word, 1, 6, result));
  EXPECT_EQ(ui.shown.size(), 3u);
  EXPECT_EQ(result, -99);
}

}  // namespace
}  // namespace korund
