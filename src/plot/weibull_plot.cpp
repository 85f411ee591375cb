// The Weibull plot: for each analysed set, the Weibull ordinate of each
// sorted strength against the strength on a log axis, the least-squares line
// y = m ln x + c and, if wanted, the maximum-likelihood line
// y = m (ln x - ln So). The y axis is labelled in failure probability at the
// tick positions the analysis wrote beside the percentages.
#include <algorithm>
#include <cmath>

#include "plot/plot_parts.h"
#include "plot/style_codes.h"
#include "util/value.h"

namespace korund::plot::internal {
namespace {

constexpr int kSets = 10;
constexpr int32_t kTickLabelColumn = 12;  // tick percentages
constexpr int32_t kSymbolColumn = 13;
constexpr int32_t kColorColumn = 14;
constexpr int32_t kFitColorColumn = 16;
constexpr int32_t kFitLineColumn = 17;
constexpr int32_t kResultColumn0 = 20;
constexpr int32_t kStrengthColumn0 = 30;
constexpr int32_t kOrdinateColumn0 = 40;
constexpr int32_t kTickColumn = 54;  // tick positions on the ordinate scale

// Rows of a set's result column.
constexpr int32_t kRowM = 2;
constexpr int32_t kRowSo = 4;
constexpr int32_t kRowC = 6;
constexpr int32_t kRowMleM = 10;
constexpr int32_t kRowMleSo = 15;

double Ordinate(double percent) { return std::log(std::log(100.0 / (100.0 - percent))); }

// The probability ticks. A percentage whose position in column 54 is missing
// or no longer matches (the user edited it since the run) is placed where
// it belongs, so that a label never sits at another probability.
std::vector<Tick> ProbabilityTicks(const notebook::Worksheet& sheet) {
  std::vector<Tick> ticks;
  const int32_t rows = std::max(sheet.UsedRows(kTickLabelColumn), sheet.UsedRows(kTickColumn));
  for (int32_t r = 1; r <= rows; ++r) {
    const Value label = sheet.Cell(kTickLabelColumn, r);
    const std::optional<double> percent = IsNumeric(label) ? ToNumber(label) : std::nullopt;
    if (!percent || !(*percent > 0 && *percent < 100)) continue;
    double position = Ordinate(*percent);
    const std::optional<double> stored = NumberAt(sheet, kTickColumn, r);
    if (stored && std::fabs(*stored - position) <= 1e-9 * std::max(1.0, std::fabs(position))) {
      position = *stored;
    }
    ticks.push_back({position, FormatNumber(*percent) + " %"});
  }
  if (ticks.empty()) {
    for (double p : {1, 3, 5, 10, 20, 40, 60, 80, 90, 99}) {
      ticks.push_back({Ordinate(p), FormatNumber(p) + " %"});
    }
  }
  std::stable_sort(ticks.begin(), ticks.end(),
                   [](const Tick& a, const Tick& b) { return a.position < b.position; });
  ticks.erase(std::unique(ticks.begin(), ticks.end(),
                          [](const Tick& a, const Tick& b) { return a.position == b.position; }),
              ticks.end());
  return ticks;
}

}  // namespace

bool BuildWeibullPlot(const notebook::Worksheet& sheet, const PlotOptions& options,
                      PlotDescription* plot, std::string* error) {
  plot->title = "Weibull plot";
  plot->x.title = "Strength (GPa)";
  plot->y.title = "Failure probability";
  Extent xs, ys;
  for (int n = 1; n <= kSets; ++n) {
    if (!WantsSet(options, n)) continue;
    const int32_t strength_column = kStrengthColumn0 + n;
    const int32_t ordinate_column = kOrdinateColumn0 + n;
    const int32_t result_column = kResultColumn0 + n;
    Series series;
    Extent set_x;
    const int32_t rows = sheet.UsedRows(strength_column);
    for (int32_t r = 1; r <= rows; ++r) {
      const auto x = NumberAt(sheet, strength_column, r);
      const auto y = NumberAt(sheet, ordinate_column, r);
      if (!x || !y) continue;
      if (*x <= 0) {
        ++plot->dropped_points;
        continue;
      }
      series.points.push_back({*x, *y});
      set_x.Add(*x);
      ys.Add(*y);
    }
    if (series.points.empty()) continue;
    xs.Add(set_x.lo);
    xs.Add(set_x.hi);

    const std::string name = SetName(sheet, n, n);
    const auto m = NumberAt(sheet, result_column, kRowM);
    const auto so = NumberAt(sheet, result_column, kRowSo);
    const auto c = NumberAt(sheet, result_column, kRowC);
    series.legend = name;
    if (m && so) series.legend += ": m = " + ShortNumber(*m) + ", So = " + ShortNumber(*so) + " GPa";
    series.marker = SymbolOr(sheet.Cell(kSymbolColumn, n), DefaultSymbol(n));
    series.color = ColorOr(sheet.Cell(kColorColumn, n), DefaultColor(n));
    series.fill = series.color;
    plot->series.push_back(std::move(series));

    const Color fit_color = ColorOr(sheet.Cell(kFitColorColumn, n), DefaultColor(n));
    const LineStyle fit_style = LineOr(sheet.Cell(kFitLineColumn, n), LineStyle::kDash);
    if (m && c) {
      auto y_at = [&](double x) { return *m * std::log(x) + *c; };
      plot->lines.push_back({"", {set_x.lo, y_at(set_x.lo)}, {set_x.hi, y_at(set_x.hi)},
                             fit_color, fit_style});
    }
    const auto mle_m = NumberAt(sheet, result_column, kRowMleM);
    const auto mle_so = NumberAt(sheet, result_column, kRowMleSo);
    if (options.mle_line && mle_m && mle_so && *mle_so > 0) {
      auto y_at = [&](double x) { return *mle_m * (std::log(x) - std::log(*mle_so)); };
      // Told apart from the least-squares line by its dashes.
      const LineStyle style = fit_style == LineStyle::kDot ? LineStyle::kDashDot : LineStyle::kDot;
      plot->lines.push_back({name + " MLE: m = " + ShortNumber(*mle_m) + ", So = " +
                                 ShortNumber(*mle_so) + " GPa",
                             {set_x.lo, y_at(set_x.lo)},
                             {set_x.hi, y_at(set_x.hi)},
                             fit_color,
                             style});
    }
  }
  if (plot->series.empty()) {
    *error = options.sets.empty()
                 ? "nothing to draw: no Weibull data set on this worksheet has results "
                   "(run korund weibull on it first)"
                 : "nothing to draw: none of the chosen Weibull data sets has results";
    return false;
  }
  FitLogAxis(&plot->x, xs.lo, xs.hi);

  plot->y.scale = AxisScale::kLinear;
  plot->y.ticks = ProbabilityTicks(sheet);
  Extent range = ys;
  for (const Tick& t : plot->y.ticks) range.Add(t.position);
  const double margin = std::max(range.hi - range.lo, 1.0) * 0.04;
  plot->y.min = range.lo - margin;
  plot->y.max = range.hi + margin;
  return true;
}

}  // namespace korund::plot::internal
