// The fatigue plots, log-log: for each analysed set the measurements the fit
// used, the geometric means of the rate groups with their error bars, and
// the fitted line between the end points the analysis wrote. Dynamic
// fatigue plots strength against stress rate (or faceplate velocity),
// static fatigue time to failure against applied stress.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "plot/plot_parts.h"
#include "plot/style_codes.h"
#include "util/run_settings.h"
#include "util/value.h"
#include "util/worksheet_layout.h"

namespace korund::plot::internal {
namespace {

namespace fl = layout::fatigue;
using Record = layout::FatigueRecord;

// What one drawing of the sets gathers: the ranges of x and y, and the plot
// that counts the values a log axis cannot show.
struct Gathered {
  PlotDescription* plot;
  Extent xs, ys;

  bool Positive(double x, double y) {
    if (x > 0 && y > 0) return true;
    ++plot->dropped_points;
    return false;
  }
};

// The columns of set s, by their offsets in its block.
struct SetBlock {
  int s;
  int32_t operator()(int32_t offset) const { return fl::SetColumn(s, offset); }
};

// The measurements the fit used: the sorted pairs that carry no tag.
Series UsedPoints(const notebook::Worksheet& sheet, const SetBlock& col, Gathered* g) {
  Series used;
  const int32_t rows =
      std::max(sheet.UsedRows(col(fl::kColSortX)), sheet.UsedRows(col(fl::kColSortY)));
  for (int32_t r = 1; r <= rows; ++r) {
    const auto x = NumberAt(sheet, col(fl::kColSortX), r);
    const auto y = NumberAt(sheet, col(fl::kColSortY), r);
    if (!x || !y || !g->Positive(*x, *y)) continue;
    used.points.push_back({*x, *y});
    g->xs.Add(*x);
    g->ys.Add(*y);
  }
  return used;
}

// The geometric means of the rate groups with their error bars.
Series GroupPoints(const notebook::Worksheet& sheet, const SetBlock& col, Gathered* g) {
  Series groups;
  const int32_t group_rows = sheet.UsedRows(col(fl::kColGroupX));
  for (int32_t r = 1; r <= group_rows; ++r) {
    const auto x = NumberAt(sheet, col(fl::kColGroupX), r);
    const auto y = NumberAt(sheet, col(fl::kColGroupY), r);
    if (!x || !y || !g->Positive(*x, *y)) continue;
    const auto low = NumberAt(sheet, col(fl::kColGroupLow), r);
    const auto high = NumberAt(sheet, col(fl::kColGroupHigh), r);
    ErrorBar bar{*y, *y};
    if (low && high && *low <= *y && *high >= *y) {
      if (*low > 0) {
        bar = {*low, *high};
      } else {
        ++g->plot->dropped_points;  // the bar cannot reach zero on a log axis
      }
    }
    groups.points.push_back({*x, *y});
    groups.errors.push_back(bar);
    g->xs.Add(*x);
    g->ys.Add(bar.low);
    g->ys.Add(bar.high);
  }
  return groups;
}

// The fatigue parameter with its bounds at twice the slope's standard error,
// as the results table gives them first: "nd = 21.4 [19.1, 24.3]"; "" when
// the set has none.
std::string ParameterText(const notebook::Worksheet& sheet, const SetBlock& col,
                          const std::string& param) {
  const auto n = NumberAt(sheet, col(fl::kColValues), fl::kRowParam);
  if (!n) return "";
  std::string text = param + " = " + ShortNumber(*n);
  const auto lower = NumberAt(sheet, col(fl::kColValues), fl::kRowParamLower);
  const auto upper = NumberAt(sheet, col(fl::kColValues), fl::kRowParamUpper);
  if (lower && upper) text += " [" + ShortNumber(*lower) + ", " + ShortNumber(*upper) + "]";
  return text;
}

// The fitted line between the end points the analysis wrote, named by the
// parameter it gives; false when there is none to draw.
bool AddFittedLine(const notebook::Worksheet& sheet, const SetBlock& col,
                   const std::string& parameter, Gathered* g) {
  const auto x1 = NumberAt(sheet, col(fl::kColLineX), fl::kLineFromRow);
  const auto x2 = NumberAt(sheet, col(fl::kColLineX), fl::kLineToRow);
  const auto y1 = NumberAt(sheet, col(fl::kColLineY), fl::kLineFromRow);
  const auto y2 = NumberAt(sheet, col(fl::kColLineY), fl::kLineToRow);
  if (!(x1 && x2 && y1 && y2 && g->Positive(*x1, *y1) && g->Positive(*x2, *y2))) return false;
  const int s = col.s;
  g->plot->lines.push_back(
      {parameter.empty() ? "" : "fit: " + parameter, {*x1, *y1}, {*x2, *y2},
       ColorOr(sheet.Cell(col(fl::kColLineColor), fl::kStyleRow), DefaultColor(s)),
       LineOr(sheet.Cell(col(fl::kColLine), fl::kStyleRow), LineStyle::kSolid)});
  g->xs.Add(*x1);
  g->xs.Add(*x2);
  g->ys.Add(*y1);
  g->ys.Add(*y2);
  return true;
}

// Set s's measurements, rate groups and fitted line; nothing for a set
// without points.
void AddSet(const notebook::Worksheet& sheet, int s, const std::string& param, Gathered* g) {
  const SetBlock col{s};
  const MarkerShape marker =
      SymbolOr(sheet.Cell(col(fl::kColSymbol), fl::kStyleRow), DefaultSymbol(s));
  const Color color = ColorOr(sheet.Cell(col(fl::kColColor), fl::kStyleRow), DefaultColor(s));
  const Color fill = ColorOr(sheet.Cell(col(fl::kColFill), fl::kStyleRow), DefaultColor(s));

  Series used = UsedPoints(sheet, col, g);
  used.marker = marker;
  used.marker_size = 5;
  used.color = color;
  Series groups = GroupPoints(sheet, col, g);
  groups.marker = marker;
  groups.marker_size = 9;
  groups.color = color;
  groups.fill = fill;
  if (used.points.empty() && groups.points.empty()) return;

  // The set's name on its points, the parameter on the line it comes from;
  // without a line the points carry both.
  Series& named = groups.points.empty() ? used : groups;
  named.legend = SetName(sheet, col(fl::kColRawY), s);
  const std::string parameter = ParameterText(sheet, col, param);
  const size_t at = g->plot->series.size();
  if (!used.points.empty()) g->plot->series.push_back(std::move(used));
  if (!groups.points.empty()) g->plot->series.push_back(std::move(groups));
  if (!AddFittedLine(sheet, col, parameter, g) && !parameter.empty()) {
    for (size_t i = at; i < g->plot->series.size(); ++i) {
      if (!g->plot->series[i].legend.empty()) g->plot->series[i].legend += ": " + parameter;
    }
  }
}

// A rate's unit as the user wrote it: a short text with a slash, such as
// "MPa/s", "%/min" or "mm/min", alone in a cell or in brackets at the end of
// a label.
std::optional<std::string> RateUnit(const std::string& text) {
  std::string unit = text;
  const size_t open = text.find_last_of("([");
  if (!text.empty() && (text.back() == ')' || text.back() == ']') && open != std::string::npos) {
    unit = text.substr(open + 1, text.size() - open - 2);
  }
  const size_t first = unit.find_first_not_of(' ');
  const size_t last = unit.find_last_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  unit = unit.substr(first, last - first + 1);
  const size_t slash = unit.find('/');
  if (unit.size() > 16 || slash == std::string::npos || slash == 0 || slash + 1 == unit.size() ||
      unit.find(' ') != std::string::npos || ParseNumber(unit)) {
    return std::nullopt;
  }
  return unit;
}

// The unit the rate columns of the sets name (their labels first, then a
// text among the rates, such as the rate cell of a unit-word row); "" when
// none does, or when sets name different ones.
std::string RateUnitOfSets(const notebook::Worksheet& sheet, const std::vector<int>& sets) {
  std::string found;
  for (int s : sets) {
    const int32_t column = fl::SetColumn(s, fl::kColRawX);
    std::optional<std::string> unit;
    const notebook::Column* c = sheet.FindColumn(column);
    if (c != nullptr && c->label) unit = RateUnit(*c->label);
    for (int32_t r = 1; !unit && r <= sheet.UsedRows(column); ++r) {
      const Value v = sheet.Cell(column, r);
      if (v.IsText()) unit = RateUnit(v.Text());
    }
    if (!unit) continue;
    if (!found.empty() && found != *unit) return "";
    found = *unit;
  }
  return found;
}

}  // namespace

bool BuildFatiguePlot(const notebook::Worksheet& sheet, PlotKind kind,
                      const PlotOptions& options, PlotDescription* plot, std::string* error) {
  const bool is_static = kind == PlotKind::kStatic;
  const auto mode = NumberAt(sheet, Record::kColumn, Record::kModeRow);
  const std::string param = is_static ? "ns" : "nd";
  if (is_static) {
    plot->title = "Static fatigue";
    plot->x.title = "Applied stress (GPa)";
    plot->y.title = "Time to failure (s)";
  } else {
    plot->title = "Dynamic fatigue";
    plot->x.title =
        mode == static_cast<double>(FatigueMode::kFaceplateVelocity) ? "Faceplate velocity"
                                                                     : "Stress rate";
    plot->y.title = "Strength (GPa)";
  }

  Gathered gathered{plot, {}, {}};
  std::vector<int> drawn;
  for (int s = 1; s <= fl::kSets; ++s) {
    if (!WantsSet(options, s)) continue;
    const size_t before = plot->series.size();
    AddSet(sheet, s, param, &gathered);
    if (plot->series.size() > before) drawn.push_back(s);
  }
  const std::string unit = is_static ? "" : RateUnitOfSets(sheet, drawn);
  if (!unit.empty()) plot->x.title += " (" + unit + ")";
  if (plot->series.empty()) {
    const std::string word = is_static ? "static" : "dynamic";
    *error = options.sets.empty()
                 ? "nothing to draw: no " + word + " fatigue data set on this worksheet has " +
                       "results (run korund " + word + " on it first)"
                 : "nothing to draw: none of the chosen " + word + " fatigue data sets has results";
    return false;
  }
  FitLogAxis(&plot->x, gathered.xs.lo, gathered.xs.hi);
  FitLogAxis(&plot->y, gathered.ys.lo, gathered.ys.hi);
  return true;
}

}  // namespace korund::plot::internal
