#include "util/plot_styles.h"

#include <string_view>

#include "util/worksheet_layout.h"

namespace korund {

// One code per Weibull data set; the fatigue sets take the first ones.
void InitPlotStyles(RunSettings& settings) {
  constexpr int kSets = layout::weibull::kSets;
  static const char* const kSymbols[kSets] = {
      "@symbol(2,1,0)", "@symbol(3,1,0)", "@symbol(4,1,0)", "@symbol(5,1,0)", "@symbol(6,1,0)",
      "@symbol(2,1,0)", "@symbol(3,1,0)", "@symbol(4,1,0)", "@symbol(5,1,0)", "@symbol(6,1,0)"};
  static const char* const kColors[kSets] = {
      "@rgb(0,0,255)",   "@rgb(255,0,0)",   "@rgb(0,255,0)", "@rgb(0,0,0)",
      "@rgb(255,0,255)", "@rgb(0,255,255)", "@rgb(255,255,0)", "@rgb(128,0,0)",
      "@rgb(0,128,0)",   "@rgb(192,192,192)"};
  settings.SymbolCodes.assign(1, Value(kSets));
  settings.ColorCodes.assign(1, Value(kSets));
  for (int i = 0; i < kSets; ++i) {
    settings.SymbolCodes.emplace_back(kSymbols[i]);
    settings.ColorCodes.emplace_back(kColors[i]);
  }
}

namespace {
bool StartsWith(const Value& v, std::string_view prefix) {
  return v.IsText() && std::string_view(v.Text()).substr(0, prefix.size()) == prefix;
}
}  // namespace

bool IsSymbolCode(const Value& v) { return StartsWith(v, "@symbol("); }
bool IsColorCode(const Value& v) { return StartsWith(v, "@rgb("); }
bool IsLineCode(const Value& v) { return StartsWith(v, "@line("); }

}  // namespace korund
