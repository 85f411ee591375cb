// The Weibull plot: for each analysed set, the Weibull ordinate of each
// sorted strength against the strength on a log axis, the least-squares line
// y = m ln x + c and, if wanted, the maximum-likelihood line
// y = m (ln x - ln So). The y axis is labelled in failure probability at the
// tick positions the analysis wrote beside the percentages. Around the
// maximum-likelihood line lies its pointwise confidence band, and a set the
// Anderson-Darling test rejects at 5 % says so in its legend.
#include <algorithm>
#include <cmath>

#include "plot/plot_parts.h"
#include "plot/style_codes.h"
#include "plot/weibull_fit_check.h"
#include "stats/normal_quantile.h"
#include "util/value.h"
#include "util/worksheet_layout.h"

namespace korund::plot::internal {
namespace {

namespace wl = layout::weibull;

double Ordinate(double percent) { return std::log(std::log(100.0 / (100.0 - percent))); }

// The probability ticks. A percentage whose position in the tick column is
// missing or no longer matches (the user edited it since the run) is placed
// where it belongs, so that a label never sits at another probability.
std::vector<Tick> ProbabilityTicks(const notebook::Worksheet& sheet) {
  std::vector<Tick> ticks;
  const int32_t rows =
      std::max(sheet.UsedRows(wl::kTickLabelColumn), sheet.UsedRows(wl::kTickColumn));
  for (int32_t r = 1; r <= rows; ++r) {
    const Value label = sheet.Cell(wl::kTickLabelColumn, r);
    const std::optional<double> percent = IsNumeric(label) ? ToNumber(label) : std::nullopt;
    if (!percent || !(*percent > 0 && *percent < 100)) continue;
    double position = Ordinate(*percent);
    const std::optional<double> stored = NumberAt(sheet, wl::kTickColumn, r);
    if (stored && std::fabs(*stored - position) <= 1e-9 * std::max(1.0, std::fabs(position))) {
      position = *stored;
    }
    ticks.push_back({position, FormatNumber(*percent) + " %"});
  }
  if (ticks.empty()) {
    for (double p : wl::kDefaultTickPercents) {
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

// Set n's sorted strengths against their ordinates; strengths that are not
// positive are counted in plot->dropped_points. set_x and ys grow by the
// points taken.
Series SetPoints(const notebook::Worksheet& sheet, int n, PlotDescription* plot, Extent* set_x,
                 Extent* ys) {
  Series series;
  const int32_t strength_column = wl::StrengthColumn(n);
  const int32_t ordinate_column = wl::OrdinateColumn(n);
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
    set_x->Add(*x);
    ys->Add(*y);
  }
  return series;
}

// Points per bound, evenly spaced in the ordinate along the line.
constexpr int kBandPoints = 60;

// The two bounds of set n's maximum-likelihood line between the ordinates
// w_lo and w_hi; nothing where a bound has no value.
void AddBands(const stats::WeibullCovariance& fit, int n, double w_lo, double w_hi,
              const PlotOptions& options, Color color, PlotDescription* plot) {
  const double z = stats::TwoSidedNormalFactor(options.confidence);
  Band lower{n, false, options.confidence, color, {}},
      upper{n, true, options.confidence, color, {}};
  for (int i = 0; i < kBandPoints; ++i) {
    const double w = w_lo + (w_hi - w_lo) * i / (kBandPoints - 1);
    const auto b = stats::WeibullQuantileBoundsAtOrdinate(fit, w, z);
    if (!b.ok()) return;
    lower.points.push_back({b->lower, w});
    upper.points.push_back({b->upper, w});
  }
  plot->bands.push_back(std::move(lower));
  plot->bands.push_back(std::move(upper));
}

// Set n's points, legend and styles, and its fitted lines across the
// strengths set_x spans.
void AddSet(const notebook::Worksheet& sheet, int n, const PlotOptions& options, Series series,
            const Extent& set_x, PlotDescription* plot) {
  const int32_t result_column = wl::ResultColumn(n);
  const std::string name = SetName(sheet, wl::RawColumn(n), n);
  const auto m = NumberAt(sheet, result_column, wl::kRowM);
  const auto so = NumberAt(sheet, result_column, wl::kRowSo);
  const auto c = NumberAt(sheet, result_column, wl::kRowC);
  const WeibullFitCheck check = CheckWeibullFit(sheet, n);
  series.legend = name;
  // The least-squares estimates, named as the results table names them.
  if (m && so) {
    series.legend += ": LS m = " + ShortNumber(*m) + ", LS So = " + ShortNumber(*so) + " GPa";
  }
  if (check.anderson_darling && stats::RejectedAt5Percent(check.anderson_darling->band)) {
    series.legend += " (A-D p \xE2\x89\xA4 0.05)";
  }
  series.marker = SymbolOr(sheet.Cell(wl::kSymbolColumn, n), DefaultSymbol(n));
  series.color = ColorOr(sheet.Cell(wl::kColorColumn, n), DefaultColor(n));
  series.fill = series.color;
  plot->series.push_back(std::move(series));

  const Color fit_color = ColorOr(sheet.Cell(wl::kFitColorColumn, n), DefaultColor(n));
  const LineStyle fit_style = LineOr(sheet.Cell(wl::kFitLineColumn, n), LineStyle::kDash);
  if (m && c) {
    auto y_at = [&](double x) { return *m * std::log(x) + *c; };
    plot->lines.push_back({"", {set_x.lo, y_at(set_x.lo)}, {set_x.hi, y_at(set_x.hi)},
                           fit_color, fit_style});
  }
  const auto mle_m = NumberAt(sheet, result_column, wl::kRowMle);
  const auto mle_so = NumberAt(sheet, result_column, wl::kRowMleSo);
  if (options.mle_line && mle_m && mle_so && *mle_so > 0) {
    auto y_at = [&](double x) { return *mle_m * (std::log(x) - std::log(*mle_so)); };
    // Told apart from the least-squares line by its dashes.
    const LineStyle style = fit_style == LineStyle::kDot ? LineStyle::kDashDot : LineStyle::kDot;
    // The raw estimates: the line is the fitted distribution itself.
    plot->lines.push_back({name + ": MLE m = " + ShortNumber(*mle_m) + ", MLE So = " +
                               ShortNumber(*mle_so) + " GPa",
                           {set_x.lo, y_at(set_x.lo)},
                           {set_x.hi, y_at(set_x.hi)},
                           fit_color,
                           style});
    if (options.bands && check.covariance) {
      AddBands(*check.covariance, n, y_at(set_x.lo), y_at(set_x.hi), options, fit_color, plot);
    }
  }
}

}  // namespace

bool BuildWeibullPlot(const notebook::Worksheet& sheet, const PlotOptions& options,
                      PlotDescription* plot, std::string* error) {
  plot->title = "Weibull plot";
  plot->x.title = "Strength (GPa)";
  plot->y.title = "Failure probability";
  Extent xs, ys;
  for (int n = 1; n <= wl::kSets; ++n) {
    if (!WantsSet(options, n)) continue;
    Extent set_x;
    Series series = SetPoints(sheet, n, plot, &set_x, &ys);
    if (series.points.empty()) continue;
    xs.Add(set_x.lo);
    xs.Add(set_x.hi);
    AddSet(sheet, n, options, std::move(series), set_x, plot);
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
