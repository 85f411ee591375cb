// Keeping every series visible on a white page. The measure is the relative
// luminance of sRGB colours and the contrast ratio between two of them, as
// the web accessibility guidelines define them; a colour that reaches less
// than 3:1 against white is darkened within its own hue (its linear RGB
// scaled toward black) until it does. The worksheet's style codes are never
// changed: only what is drawn.
#pragma once

#include "plot/plot_description.h"

namespace korund::plot {

// The contrast a series needs against the white background.
inline constexpr double kMinimumContrast = 3.0;

// Relative luminance, 0 (black) .. 1 (white).
double RelativeLuminance(const Color& c);

// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on
// white.
double ContrastRatio(const Color& a, const Color& b);

// The colour itself when it reaches kMinimumContrast against white, else the
// lightest shade of its hue that does.
Color VisibleOnWhite(const Color& c);

// Gives each series whose colour is too faint an outline in its visible
// shade, and each such line (and confidence band) that shade to be drawn in.
void KeepVisibleOnWhite(PlotDescription* plot);

}  // namespace korund::plot
