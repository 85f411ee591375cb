// The lifetime graph: the allowed service stress against service time on a
// log time axis from one hour to a hundred years, a curve for n and one for
// each of its bounds (drawn as short straight segments between the points
// the analysis wrote), the chosen service times marked on the n curve, and
// the service stress, when one was given, as a level line.
#include <cmath>

#include "plot/plot_parts.h"
#include "util/value.h"
#include "util/worksheet_layout.h"

namespace korund::plot::internal {

namespace {

namespace L = layout::lifetime;
using R = layout::LifetimeRecord;

constexpr double kHoursPerYear = 365.25 * 24;

struct Curve {
  int32_t column;
  const char* legend;
  Color color;
  LineStyle style;
};

}  // namespace

bool BuildLifetimePlot(const notebook::Worksheet& sheet, PlotDescription* plot,
                       std::string* error) {
  const std::optional<double> f = NumberAt(sheet, R::kColumn, R::kFRow);
  const std::optional<double> n = NumberAt(sheet, R::kColumn, R::kNRow);
  plot->title = "Allowed service stress" + (f ? " for F = " + FormatNumber(*f) : std::string());
  plot->x.title = "Service time (years)";
  plot->y.title = "Stress (GPa)";
  plot->x.scale = AxisScale::kLog;
  plot->x.min = 1 / kHoursPerYear;
  plot->x.max = L::kCurveLastYears;
  plot->x.ticks = {{1 / kHoursPerYear, "1 h"}, {1 / 365.25, "1 d"}, {1.0 / 12, "1 mo"},
                   {1, "1"},  {10, "10"},   {100, "100"}};

  Extent stresses;
  const std::string n_text = n ? "n = " + ShortNumber(*n) : "n";
  const std::string lower = ShortNumber(NumberAt(sheet, R::kColumn, R::kNLowerRow).value_or(0));
  const std::string upper = ShortNumber(NumberAt(sheet, R::kColumn, R::kNUpperRow).value_or(0));
  const Curve curves[] = {
      {L::kColCurveAllowed, "", {0, 90, 200}, LineStyle::kSolid},
      {L::kColCurveLower, "n lower", {200, 60, 0}, LineStyle::kDash},
      {L::kColCurveUpper, "n upper", {0, 140, 60}, LineStyle::kDash},
  };
  for (const Curve& c : curves) {
    std::optional<Point> last;
    bool named = false;
    for (int32_t row = 1; row <= L::kCurvePoints; ++row) {
      const auto x = NumberAt(sheet, L::kColCurveYears, row);
      const auto y = NumberAt(sheet, c.column, row);
      if (!x || !y || !(*x > 0)) {
        last.reset();
        continue;
      }
      stresses.Add(*y);
      if (last) {
        Line segment{"", *last, {*x, *y}, c.color, c.style};
        if (!named) {
          segment.legend = c.column == L::kColCurveAllowed ? n_text
                           : c.column == L::kColCurveLower ? "n lower = " + lower
                                                           : "n upper = " + upper;
          named = true;
        }
        plot->lines.push_back(segment);
      }
      last = Point{*x, *y};
    }
  }

  Series chosen;
  chosen.legend = "chosen service times";
  chosen.color = {0, 90, 200};
  chosen.fill = Color{255, 255, 255};
  for (int32_t row = 1;; ++row) {
    const auto years = NumberAt(sheet, L::kColYears, row);
    if (!years) break;
    const auto y = NumberAt(sheet, L::kColAllowed, row);
    if (y && *years > 0) chosen.points.push_back({*years, *y});
  }
  if (!chosen.points.empty()) plot->series.push_back(chosen);

  if (const auto s = NumberAt(sheet, R::kColumn, R::kServiceStressRow);
      s && sheet.Cell(R::kColumn, R::kServiceStressGivenRow).IsTrue()) {
    stresses.Add(*s);
    plot->lines.push_back({"service stress " + FormatNumber(*s) + " GPa",
                           {plot->x.min, *s},
                           {plot->x.max, *s},
                           {120, 120, 120},
                           LineStyle::kDot});
  }
  if (!stresses.any) {
    *error = "nothing to draw: the lifetime worksheet holds no allowed stresses (give a target "
             "failure probability and run korund lifetime again)";
    return false;
  }
  plot->y.scale = AxisScale::kLinear;
  plot->y.min = 0;
  plot->y.max = stresses.hi > 0 ? stresses.hi * 1.1 : 1;
  return true;
}

}  // namespace korund::plot::internal
