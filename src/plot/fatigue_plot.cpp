// The fatigue plots, log-log: for each analysed set the measurements the fit
// used, the geometric means of the rate groups with their error bars, and
// the fitted line between the end points the analysis wrote. Dynamic
// fatigue plots strength against stress rate (or faceplate velocity),
// static fatigue time to failure against applied stress.
#include <cmath>

#include "plot/plot_parts.h"
#include "plot/style_codes.h"

namespace korund::plot::internal {
namespace {

constexpr int kSets = 6;
constexpr int32_t kModeColumn = 184;  // row 1: 0 stress rate, 1 faceplate velocity, 2 static
constexpr int32_t kModeRow = 1;

// Offsets inside a set's block of 30 columns.
constexpr int32_t kRawY = 1;
constexpr int32_t kSortY = 3;
constexpr int32_t kSortX = 4;
constexpr int32_t kGroupX = 5;
constexpr int32_t kGroupY = 6;
constexpr int32_t kGroupLow = 7;
constexpr int32_t kGroupHigh = 8;
constexpr int32_t kResultValues = 12;
constexpr int32_t kSymbol = 13;
constexpr int32_t kColor = 14;
constexpr int32_t kFill = 15;
constexpr int32_t kLine = 16;
constexpr int32_t kLineColor = 17;
constexpr int32_t kLineX = 18;
constexpr int32_t kLineY = 19;

// Rows of the result table: the fatigue parameter and its bounds.
constexpr int32_t kRowParam = 2;
constexpr int32_t kRowLower = 3;
constexpr int32_t kRowUpper = 4;

int32_t BlockColumn(int s, int32_t offset) { return 30 * s - 29 + offset; }

}  // namespace

bool BuildFatiguePlot(const notebook::Worksheet& sheet, PlotKind kind,
                      const PlotOptions& options, PlotDescription* plot, std::string* error) {
  const bool is_static = kind == PlotKind::kStatic;
  const auto mode = NumberAt(sheet, kModeColumn, kModeRow);
  const std::string param = is_static ? "ns" : "nd";
  if (is_static) {
    plot->title = "Static fatigue";
    plot->x.title = "Applied stress (GPa)";
    plot->y.title = "Time to failure (s)";
  } else {
    plot->title = "Dynamic fatigue";
    plot->x.title = mode == 1.0 ? "Faceplate velocity" : "Stress rate";
    plot->y.title = "Strength (GPa)";
  }

  Extent xs, ys;
  auto positive = [&](double x, double y) {
    if (x > 0 && y > 0) return true;
    ++plot->dropped_points;
    return false;
  };
  for (int s = 1; s <= kSets; ++s) {
    if (!WantsSet(options, s)) continue;
    auto col = [s](int32_t offset) { return BlockColumn(s, offset); };
    const MarkerShape marker = SymbolOr(sheet.Cell(col(kSymbol), 1), DefaultSymbol(s));
    const Color color = ColorOr(sheet.Cell(col(kColor), 1), DefaultColor(s));
    const Color fill = ColorOr(sheet.Cell(col(kFill), 1), DefaultColor(s));

    // The measurements the fit used: the sorted pairs that carry no tag.
    Series used;
    used.marker = marker;
    used.marker_size = 5;
    used.color = color;
    const int32_t rows = std::max(sheet.UsedRows(col(kSortX)), sheet.UsedRows(col(kSortY)));
    for (int32_t r = 1; r <= rows; ++r) {
      const auto x = NumberAt(sheet, col(kSortX), r);
      const auto y = NumberAt(sheet, col(kSortY), r);
      if (!x || !y || !positive(*x, *y)) continue;
      used.points.push_back({*x, *y});
      xs.Add(*x);
      ys.Add(*y);
    }

    Series groups;
    groups.marker = marker;
    groups.marker_size = 9;
    groups.color = color;
    groups.fill = fill;
    const int32_t group_rows = sheet.UsedRows(col(kGroupX));
    for (int32_t r = 1; r <= group_rows; ++r) {
      const auto x = NumberAt(sheet, col(kGroupX), r);
      const auto y = NumberAt(sheet, col(kGroupY), r);
      if (!x || !y || !positive(*x, *y)) continue;
      const auto low = NumberAt(sheet, col(kGroupLow), r);
      const auto high = NumberAt(sheet, col(kGroupHigh), r);
      ErrorBar bar{*y, *y};
      if (low && high && *low <= *y && *high >= *y) {
        if (*low > 0) {
          bar = {*low, *high};
        } else {
          ++plot->dropped_points;  // the bar cannot reach zero on a log axis
        }
      }
      groups.points.push_back({*x, *y});
      groups.errors.push_back(bar);
      xs.Add(*x);
      ys.Add(bar.low);
      ys.Add(bar.high);
    }
    if (used.points.empty() && groups.points.empty()) continue;

    std::string legend = SetName(sheet, col(kRawY), s);
    const auto n = NumberAt(sheet, col(kResultValues), kRowParam);
    if (n) {
      legend += ": " + param + " = " + ShortNumber(*n);
      const auto lower = NumberAt(sheet, col(kResultValues), kRowLower);
      const auto upper = NumberAt(sheet, col(kResultValues), kRowUpper);
      if (lower && upper) legend += " [" + ShortNumber(*lower) + ", " + ShortNumber(*upper) + "]";
    }
    (groups.points.empty() ? used : groups).legend = legend;
    if (!used.points.empty()) plot->series.push_back(std::move(used));
    if (!groups.points.empty()) plot->series.push_back(std::move(groups));

    const auto x1 = NumberAt(sheet, col(kLineX), 1);
    const auto x2 = NumberAt(sheet, col(kLineX), 2);
    const auto y1 = NumberAt(sheet, col(kLineY), 1);
    const auto y2 = NumberAt(sheet, col(kLineY), 2);
    if (x1 && x2 && y1 && y2 && positive(*x1, *y1) && positive(*x2, *y2)) {
      plot->lines.push_back({"", {*x1, *y1}, {*x2, *y2},
                             ColorOr(sheet.Cell(col(kLineColor), 1), DefaultColor(s)),
                             LineOr(sheet.Cell(col(kLine), 1), LineStyle::kSolid)});
      xs.Add(*x1);
      xs.Add(*x2);
      ys.Add(*y1);
      ys.Add(*y2);
    }
  }
  if (plot->series.empty()) {
    const std::string word = is_static ? "static" : "dynamic";
    *error = options.sets.empty()
                 ? "nothing to draw: no " + word + " fatigue data set on this worksheet has " +
                       "results (run korund " + word + " on it first)"
                 : "nothing to draw: none of the chosen " + word + " fatigue data sets has results";
    return false;
  }
  FitLogAxis(&plot->x, xs.lo, xs.hi);
  FitLogAxis(&plot->y, ys.lo, ys.hi);
  return true;
}

}  // namespace korund::plot::internal
