#include "util/value.h"

#include <gtest/gtest.h>

#include "util/plot_styles.h"

namespace korund {
namespace {

TEST(ValueCompare, FollowsTheOneRule) {
  EXPECT_LT(Value(2), Value(10));           // numbers numerically
  EXPECT_LT(Value("10"), Value("2"));       // texts by character code
  EXPECT_LT(Value("GPA"), Value("gpa"));    // case-sensitive
  EXPECT_LT(Value(1e300), Value(""));       // a number is less than any text
  EXPECT_EQ(Value(), Value(0));             // empty is 0 against a number
  EXPECT_EQ(Value(), Value(""));            // and "" against a text
  EXPECT_NE(Value(""), Value(0));           // so an empty cell never equals a number
}

TEST(ValueNumeric, AcceptsPlainNumbersOnly) {
  for (const char* text : {"3.5", "  -2e3 ", "+.5", "5."}) EXPECT_TRUE(IsNumeric(Value(text)));
  for (const char* text : {"", "  ", "1e", "inf", "nan", "1,5", "0x10", "1e999", "GPA", "-1.#QNAN",
                           "3 4", "é"}) {
    EXPECT_FALSE(IsNumeric(Value(text))) << text;
  }
  EXPECT_TRUE(IsNumeric(Value(0)));
  EXPECT_FALSE(IsNumeric(Value()));
}

TEST(ValueText, UsesTheBasicDefaultForm) {
  const struct { double x; const char* text; } cases[] = {
      {19, "19"}, {1.2, "1.2"}, {0.1 + 0.2, "0.3"}, {-0.0, "0"}, {1e-5, "1E-05"},
      {0.0001, "0.0001"}, {123456789012345.0, "123456789012345"}, {1e15, "1E+15"},
      {1.7976931348623157e308, "1.79769313486232E+308"}};
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.x), c.text) << c.x;
  EXPECT_EQ(ToText(Value::Bool(true)), "-1");
  // The 15-digit form rounds the largest doubles beyond their range, and such
  // a text is no number; below that edge every text form reads back.
  EXPECT_FALSE(ParseNumber(FormatNumber(1.7976931348623157e308)));
  EXPECT_TRUE(ParseNumber(FormatNumber(1.79769313486231e308)));
}

TEST(PlotStyles, CodesAreKnownByTheirCaseSensitivePrefix) {
  EXPECT_TRUE(IsColorCode(Value("@rgb(")));
  EXPECT_FALSE(IsColorCode(Value("@RGB(1,2,3)")));
  EXPECT_FALSE(IsLineCode(Value(1)));
  EXPECT_TRUE(IsSymbolCode(Value("@symbol(x")));
}

}  // namespace
}  // namespace korund
