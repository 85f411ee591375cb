#include "plot/style_codes.h"

#include <gtest/gtest.h>

namespace korund::plot {
namespace {

TEST(StyleCodes, SymbolNumbersPickTheShapesAndOtherNumbersACircle) {
  const struct {
    const char* code;
    MarkerShape shape;
  } cases[] = {
      {"@symbol(1,1,0)", MarkerShape::kCircle},      {"@symbol(2,1,0)", MarkerShape::kSquare},
      {"@symbol(3,1,0)", MarkerShape::kTriangleUp},  {"@symbol(4,1,0)", MarkerShape::kTriangleDown},
      {"@symbol(5,1,0)", MarkerShape::kDiamond},     {"@symbol(6,1,0)", MarkerShape::kCross},
      {"@symbol(17,1,0)", MarkerShape::kCircle},     {"@symbol( 3 , 1, 0)", MarkerShape::kTriangleUp},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    ASSERT_TRUE(DecodeSymbol(Value(c.code)).has_value());
    EXPECT_EQ(*DecodeSymbol(Value(c.code)), c.shape);
  }
}

TEST(StyleCodes, ColoursAndLinesAreRead) {
  EXPECT_EQ(DecodeColor(Value("@rgb(12,0,255)")), (Color{12, 0, 255}));
  EXPECT_EQ(DecodeLine(Value("@line(0)")), LineStyle::kNone);
  EXPECT_EQ(DecodeLine(Value("@line(1)")), LineStyle::kSolid);
  EXPECT_EQ(DecodeLine(Value("@line(2)")), LineStyle::kDash);
  EXPECT_EQ(DecodeLine(Value("@line(3)")), LineStyle::kDot);
  EXPECT_EQ(DecodeLine(Value("@line(4)")), LineStyle::kDashDot);
}

TEST(StyleCodes, UnreadableCodesAreRefused) {
  for (const Value& v : {Value("@rgb(300,0,0)"), Value("@rgb(1,2)"), Value("@rgb(1,2,3"),
                         Value("@RGB(1,2,3)"), Value("@rgb(a,b,c)"), Value("@rgb(-1,0,0)"),
                         Value(""), Value(), Value(5)}) {
    SCOPED_TRACE(ToText(v));
    EXPECT_FALSE(DecodeColor(v).has_value());
  }
  EXPECT_FALSE(DecodeSymbol(Value("@symbol(")).has_value());
  EXPECT_FALSE(DecodeSymbol(Value("@symbol(x,1,0)")).has_value());
  EXPECT_FALSE(DecodeLine(Value("@line(7)")).has_value());
  EXPECT_FALSE(DecodeLine(Value("@line()")).has_value());
}

TEST(StyleCodes, FallbackIsTheSetsDefaultFromTheStyleTables) {
  // Sets 1 and 6 share the square and differ in colour; set 4 is a black diamond.
  EXPECT_EQ(DefaultSymbol(1), MarkerShape::kSquare);
  EXPECT_EQ(DefaultSymbol(6), MarkerShape::kSquare);
  EXPECT_EQ(DefaultSymbol(4), MarkerShape::kDiamond);
  EXPECT_EQ(DefaultColor(1), (Color{0, 0, 255}));
  EXPECT_EQ(DefaultColor(6), (Color{0, 255, 255}));
  EXPECT_EQ(DefaultColor(10), (Color{192, 192, 192}));
  EXPECT_EQ(ColorOr(Value("@rgb(oops)"), DefaultColor(2)), (Color{255, 0, 0}));
  EXPECT_EQ(SymbolOr(Value("circle"), DefaultSymbol(3)), MarkerShape::kTriangleDown);
  EXPECT_EQ(LineOr(Value("@line(9)"), LineStyle::kDash), LineStyle::kDash);
}

}  // namespace
}  // namespace korund::plot
