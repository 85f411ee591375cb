#include "plot/contrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "plot/style_codes.h"

namespace korund::plot {
namespace {

constexpr Color kWhite{255, 255, 255};

// Ratios against white as published accessibility checkers give them
// (two decimals).
TEST(Contrast, RatiosAgainstWhiteMatchPublishedValues) {
  const struct {
    Color color;
    double ratio;
  } cases[] = {
      {{0, 0, 0}, 21.0},       {{255, 255, 255}, 1.0},  {{118, 118, 118}, 4.54},
      {{119, 119, 119}, 4.48}, {{128, 128, 128}, 3.95}, {{192, 192, 192}, 1.82},
      {{255, 0, 0}, 4.00},     {{0, 255, 0}, 1.37},     {{0, 0, 255}, 8.59},
      {{255, 255, 0}, 1.07},   {{0, 255, 255}, 1.25},   {{255, 0, 255}, 3.14},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << int{c.color.r} << "," << int{c.color.g} << "," << int{c.color.b});
    EXPECT_NEAR(ContrastRatio(c.color, kWhite), c.ratio, 0.005);
    EXPECT_NEAR(ContrastRatio(kWhite, c.color), c.ratio, 0.005);
  }
}

// Hue and saturation of an RGB colour, for "the same hue, darker".
struct HueSat {
  double hue = 0, saturation = 0;
};
HueSat HueOf(const Color& c) {
  const double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
  const double hi = std::max({r, g, b}), lo = std::min({r, g, b}), d = hi - lo;
  HueSat h;
  if (d == 0) return h;
  h.saturation = d / hi;
  h.hue = hi == r ? std::fmod((g - b) / d + 6, 6) : hi == g ? (b - r) / d + 2 : (r - g) / d + 4;
  h.hue *= 60;
  return h;
}

TEST(Contrast, AFaintColourGetsADarkerShadeOfItsHueThatJustReachesThreeToOne) {
  // The defaults of sets 3, 6, 7 and 10 are too faint; a user's pale code too.
  for (const Color c : {DefaultColor(3), DefaultColor(6), DefaultColor(7), DefaultColor(10),
                        Color{255, 200, 150}, Color{150, 220, 250}}) {
    SCOPED_TRACE(testing::Message() << int{c.r} << "," << int{c.g} << "," << int{c.b});
    ASSERT_LT(ContrastRatio(c, kWhite), kMinimumContrast);
    const Color shade = VisibleOnWhite(c);
    EXPECT_GE(ContrastRatio(shade, kWhite), kMinimumContrast);
    EXPECT_LT(ContrastRatio(shade, kWhite), kMinimumContrast + 0.15);  // no darker than needed
    EXPECT_NEAR(HueOf(shade).hue, HueOf(c).hue, 3.0);
  }
  // Colours that are visible already stay as they are.
  for (int n : {1, 2, 4, 5, 8, 9}) EXPECT_EQ(VisibleOnWhite(DefaultColor(n)), DefaultColor(n));
}

TEST(Contrast, OnlyFaintSeriesAndLinesGetAShade) {
  PlotDescription plot;
  plot.series.resize(2);
  plot.series[0].color = DefaultColor(7);  // yellow
  plot.series[1].color = DefaultColor(1);
  plot.lines = {{"", {}, {}, DefaultColor(10), LineStyle::kDash},
                {"", {}, {}, DefaultColor(2), LineStyle::kDash}};
  plot.bands = {{3, false, 0.95, DefaultColor(3), {}}};
  KeepVisibleOnWhite(&plot);
  EXPECT_EQ(plot.series[0].color, DefaultColor(7));  // what the code says stays
  EXPECT_EQ(plot.series[0].outline, VisibleOnWhite(DefaultColor(7)));
  EXPECT_EQ(plot.series[1].outline, std::nullopt);
  EXPECT_EQ(plot.lines[0].color, DefaultColor(10));
  EXPECT_EQ(plot.lines[0].Drawn(), VisibleOnWhite(DefaultColor(10)));
  EXPECT_EQ(plot.lines[1].Drawn(), DefaultColor(2));
  EXPECT_EQ(plot.bands[0].color, VisibleOnWhite(DefaultColor(3)));
}

}  // namespace
}  // namespace korund::plot
