// Plot-style codes that the host's graphs read from worksheet cells:
// "@symbol(k,1,0)", "@rgb(r,g,b)", "@line(n)".
#pragma once

#include "util/run_settings.h"
#include "util/value.h"

namespace korund {

// Fills settings.SymbolCodes and settings.ColorCodes with the ten defaults
// (element 0 holds the count 10).
void InitPlotStyles(RunSettings& settings);

// A cell holds a code of a kind when its text starts with the kind's prefix
// (case-sensitive); nothing after the prefix is examined.
bool IsSymbolCode(const Value& v);  // "@symbol("
bool IsColorCode(const Value& v);   // "@rgb("
bool IsLineCode(const Value& v);    // "@line("

}  // namespace korund
