// What a graph shows, independent of how it is drawn: axes with their scale,
// range and ticks, data series with markers and error bars, fitted lines,
// legend texts and a title. plot/ builds one from a worksheet; gui/ draws it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korund::plot {

enum class PlotKind { kWeibull, kDynamic, kStatic, kLifetime };
enum class AxisScale { kLinear, kLog };
enum class MarkerShape { kCircle, kSquare, kTriangleUp, kTriangleDown, kDiamond, kCross };
enum class LineStyle { kNone, kSolid, kDash, kDot, kDashDot };

struct Color {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool operator==(const Color&) const = default;
};

struct Tick {
  double position = 0;  // in axis coordinates
  std::string label;
};

struct Axis {
  std::string title;
  AxisScale scale = AxisScale::kLinear;
  double min = 0;  // the visible range; both > 0 on a log axis
  double max = 1;
  std::vector<Tick> ticks;  // ascending, inside [min, max]
};

struct Point {
  double x = 0;
  double y = 0;
};

// The two ends of a vertical error bar, in y coordinates (not distances).
struct ErrorBar {
  double low = 0;
  double high = 0;
};

struct Series {
  std::string legend;  // "" keeps the series out of the legend
  std::vector<Point> points;
  std::vector<ErrorBar> errors;  // empty, or one per point
  MarkerShape marker = MarkerShape::kCircle;
  double marker_size = 7;  // pixels
  Color color;
  std::optional<Color> fill;  // nullopt: a hollow marker
  // A darker shade of `color` drawn round the markers and as their error
  // bars, when `color` alone is too faint on white; nullopt otherwise.
  std::optional<Color> outline = std::nullopt;
};

struct Line {
  std::string legend;  // "" keeps the line out of the legend
  Point from;
  Point to;
  Color color;  // as the style code gives it
  LineStyle style = LineStyle::kSolid;
  // The darker shade drawn instead of `color` when that is too faint on
  // white; nullopt when `color` is drawn itself.
  std::optional<Color> shade = std::nullopt;

  Color Drawn() const { return shade.value_or(color); }
};

// One pointwise confidence bound of a set's maximum-likelihood line, drawn
// thin (and the space between a set's two bounds lightly filled) in the set's
// colour.
struct Band {
  int set = 0;            // the data set, 1-based
  bool upper = false;     // the upper bound, else the lower
  double confidence = 0;  // a fraction: 0.95
  Color color;            // as drawn: the shade of its line
  std::vector<Point> points;  // ordered along the line
};

struct PlotDescription {
  PlotKind kind = PlotKind::kWeibull;
  std::string title;
  Axis x;
  Axis y;
  std::vector<Series> series;
  std::vector<Line> lines;
  std::vector<Band> bands;  // in pairs, lower then upper, per set
  // Values left out because they are not positive on a log axis.
  int32_t dropped_points = 0;
  // The worksheet's input cells changed after the analysis that wrote what
  // is drawn.
  bool stale = false;
};

// "weibull", "dynamic", "static", "lifetime".
const char* KindName(PlotKind kind);
const char* ScaleName(AxisScale scale);  // "linear", "log"
const char* MarkerName(MarkerShape shape);  // "circle", "square", ...
const char* LineStyleName(LineStyle style);  // "none", "solid", "dash", ...

}  // namespace korund::plot
