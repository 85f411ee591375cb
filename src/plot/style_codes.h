// Reading the style codes the analyses write beside each data set:
// "@symbol(k,1,0)", "@rgb(r,g,b)" and "@line(n)".
#pragma once

#include <optional>

#include "plot/plot_description.h"
#include "util/value.h"

namespace korund::plot {

// k = 1 circle, 2 square, 3 triangle up, 4 triangle down, 5 diamond,
// 6 cross, any other whole k a circle. nullopt when the cell is no readable
// symbol code.
std::optional<MarkerShape> DecodeSymbol(const Value& code);
// r, g, b each a whole number 0..255; nullopt otherwise.
std::optional<Color> DecodeColor(const Value& code);
// n = 0 none, 1 solid, 2 dash, 3 dot, 4 dash-dot; nullopt for any other n.
std::optional<LineStyle> DecodeLine(const Value& code);

// The default codes of data set n (1..10), from the program's style tables.
MarkerShape DefaultSymbol(int n);
Color DefaultColor(int n);

// The code decoded, or the fallback when it cannot be read.
MarkerShape SymbolOr(const Value& code, MarkerShape fallback);
Color ColorOr(const Value& code, Color fallback);
LineStyle LineOr(const Value& code, LineStyle fallback);

}  // namespace korund::plot
