#include "plot/style_codes.h"

#include <string>
#include <string_view>
#include <vector>

#include "util/plot_styles.h"
#include "util/run_settings.h"

namespace korund::plot {
namespace {

// The whole numbers between "prefix" and the closing ")", or nullopt when
// the text is not of that form (blanks around the numbers are allowed).
std::optional<std::vector<int>> CodeNumbers(const Value& code, std::string_view prefix) {
  if (!code.IsText()) return std::nullopt;
  std::string_view text = code.Text();
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.substr(0, prefix.size()) != prefix || text.size() <= prefix.size() ||
      text.back() != ')') {
    return std::nullopt;
  }
  text = text.substr(prefix.size(), text.size() - prefix.size() - 1);
  std::vector<int> numbers;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    std::string_view part = text.substr(start, comma == std::string_view::npos ? text.npos
                                                                               : comma - start);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (part.empty() || part.size() > 6) return std::nullopt;
    size_t digits_from = part.front() == '-' ? 1 : 0;
    if (digits_from == part.size()) return std::nullopt;
    for (size_t i = digits_from; i < part.size(); ++i) {
      if (part[i] < '0' || part[i] > '9') return std::nullopt;
    }
    numbers.push_back(std::stoi(std::string(part)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return numbers;
}

const RunSettings& DefaultTables() {
  static const RunSettings settings = [] {
    RunSettings s;
    InitPlotStyles(s);
    return s;
  }();
  return settings;
}

}  // namespace

std::optional<MarkerShape> DecodeSymbol(const Value& code) {
  auto numbers = CodeNumbers(code, "@symbol(");
  if (!numbers) return std::nullopt;
  switch (numbers->front()) {
    case 2: return MarkerShape::kSquare;
    case 3: return MarkerShape::kTriangleUp;
    case 4: return MarkerShape::kTriangleDown;
    case 5: return MarkerShape::kDiamond;
    case 6: return MarkerShape::kCross;
    default: return MarkerShape::kCircle;
  }
}

std::optional<Color> DecodeColor(const Value& code) {
  auto numbers = CodeNumbers(code, "@rgb(");
  if (!numbers || numbers->size() != 3) return std::nullopt;
  for (int v : *numbers) {
    if (v < 0 || v > 255) return std::nullopt;
  }
  return Color{static_cast<uint8_t>((*numbers)[0]), static_cast<uint8_t>((*numbers)[1]),
               static_cast<uint8_t>((*numbers)[2])};
}

std::optional<LineStyle> DecodeLine(const Value& code) {
  auto numbers = CodeNumbers(code, "@line(");
  if (!numbers || numbers->size() != 1) return std::nullopt;
  switch (numbers->front()) {
    case 0: return LineStyle::kNone;
    case 1: return LineStyle::kSolid;
    case 2: return LineStyle::kDash;
    case 3: return LineStyle::kDot;
    case 4: return LineStyle::kDashDot;
    default: return std::nullopt;
  }
}

MarkerShape DefaultSymbol(int n) {
  const ValueArray& codes = DefaultTables().SymbolCodes;
  const size_t i = (static_cast<size_t>(n) - 1) % (codes.size() - 1) + 1;
  return DecodeSymbol(codes[i]).value_or(MarkerShape::kCircle);
}

Color DefaultColor(int n) {
  const ValueArray& codes = DefaultTables().ColorCodes;
  const size_t i = (static_cast<size_t>(n) - 1) % (codes.size() - 1) + 1;
  return DecodeColor(codes[i]).value_or(Color{});
}

MarkerShape SymbolOr(const Value& code, MarkerShape fallback) {
  return DecodeSymbol(code).value_or(fallback);
}
Color ColorOr(const Value& code, Color fallback) { return DecodeColor(code).value_or(fallback); }
LineStyle LineOr(const Value& code, LineStyle fallback) {
  return DecodeLine(code).value_or(fallback);
}

const char* KindName(PlotKind kind) {
  switch (kind) {
    case PlotKind::kWeibull: return "weibull";
    case PlotKind::kDynamic: return "dynamic";
    case PlotKind::kStatic: return "static";
    case PlotKind::kLifetime: return "lifetime";
  }
  return "";
}

const char* ScaleName(AxisScale scale) { return scale == AxisScale::kLog ? "log" : "linear"; }

const char* MarkerName(MarkerShape shape) {
  switch (shape) {
    case MarkerShape::kCircle: return "circle";
    case MarkerShape::kSquare: return "square";
    case MarkerShape::kTriangleUp: return "triangle-up";
    case MarkerShape::kTriangleDown: return "triangle-down";
    case MarkerShape::kDiamond: return "diamond";
    case MarkerShape::kCross: return "cross";
  }
  return "";
}

const char* LineStyleName(LineStyle style) {
  switch (style) {
    case LineStyle::kNone: return "none";
    case LineStyle::kSolid: return "solid";
    case LineStyle::kDash: return "dash";
    case LineStyle::kDot: return "dot";
    case LineStyle::kDashDot: return "dash-dot";
  }
  return "";
}

}  // namespace korund::plot
