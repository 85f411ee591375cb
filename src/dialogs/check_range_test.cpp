#include "dialogs/check_range.h"

#include <gtest/gtest.h>

#include "testing/scripted_ui.h"
#include "util/run_settings.h"

namespace korund {
namespace {

TEST(CheckRange, AcceptsTheClosedRangeAndReportsAnyOtherNumber) {
  ui::ScriptedUi ui;
  double result = -99;
  Value low(1), high(6), text(" 2.5 "), above(7), below("0.25"), equal(3), word("abc");
  EXPECT_TRUE(CheckRange(ui, low, 1, 6, result) && CheckRange(ui, high, 1, 6, result));
  EXPECT_TRUE(CheckRange(ui, text, 1, 6, result));
  EXPECT_EQ(text, Value(2.5));  // the text becomes its number
  EXPECT_EQ(result, 2.5);
  EXPECT_FALSE(CheckRange(ui, above, 1, 6, result));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Value out of range 1 to 6");
  EXPECT_EQ(ui.shown[0].flags, ui::kMbIconExclamation | ui::kMbOk);
  EXPECT_EQ(ui.shown[0].title, AppTitle());
  EXPECT_FALSE(CheckRange(ui, below, 0.5, 1e20, result));
  EXPECT_EQ(ui.shown.back().text, "Value out of range 0.5 to 1E+20");
  EXPECT_FALSE(CheckRange(ui, equal, 3, 3, result));  // equal bounds always fail
  EXPECT_FALSE(CheckRange(ui, word, 1, 6, result));   // not a number: no box
  EXPECT_EQ(ui.shown.size(), 3u);
  EXPECT_TRUE(above == Value(7) && below.IsText());   // rejected values stay as they were
  EXPECT_EQ(result, 2.5);
}

}  // namespace
}  // namespace korund
