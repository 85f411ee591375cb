#include "plot/contrast.h"

#include <algorithm>
#include <cmath>

namespace korund::plot {
namespace {

constexpr Color kWhite{255, 255, 255};

double Linear(uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The sRGB channel of a linear value in 0..1, rounded down so that the
// shade never comes out lighter than asked.
uint8_t Encoded(double linear) {
  const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return static_cast<uint8_t>(std::clamp(std::floor(c * 255), 0.0, 255.0));
}

}  // namespace

double RelativeLuminance(const Color& c) {
  return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

double ContrastRatio(const Color& a, const Color& b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Color VisibleOnWhite(const Color& c) {
  if (ContrastRatio(c, kWhite) >= kMinimumContrast) return c;
  // Scaling linear RGB scales the luminance by the same factor, so one step
  // reaches the luminance that gives the contrast wanted.
  const double target = (1.0 + 0.05) / kMinimumContrast - 0.05;
  const double k = target / RelativeLuminance(c);
  Color shade{Encoded(Linear(c.r) * k), Encoded(Linear(c.g) * k), Encoded(Linear(c.b) * k)};
  // Rounding down already darkens; this only guards the last digit.
  while (ContrastRatio(shade, kWhite) < kMinimumContrast) {
    shade = {static_cast<uint8_t>(shade.r * 0.98), static_cast<uint8_t>(shade.g * 0.98),
             static_cast<uint8_t>(shade.b * 0.98)};
  }
  return shade;
}

void KeepVisibleOnWhite(PlotDescription* plot) {
  for (Series& s : plot->series) {
    const Color shade = VisibleOnWhite(s.color);
    s.outline = shade == s.color ? std::nullopt : std::optional<Color>(shade);
  }
  for (Line& l : plot->lines) {
    const Color shade = VisibleOnWhite(l.color);
    l.shade = shade == l.color ? std::nullopt : std::optional<Color>(shade);
  }
  for (Band& b : plot->bands) b.color = VisibleOnWhite(b.color);
}

}  // namespace korund::plot
