#include "plot/plot_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "plot/contrast.h"
#include "plot/plot_parts.h"
#include "util/run_settings.h"
#include "util/value.h"
#include "util/worksheet_layout.h"

namespace korund::plot {

namespace internal {

std::optional<double> NumberAt(const notebook::Worksheet& sheet, int32_t column, int32_t row) {
  const Value v = sheet.Cell(column, row);
  if (!v.IsNumber() || !std::isfinite(v.Number())) return std::nullopt;
  return v.Number();
}

std::string SetName(const notebook::Worksheet& sheet, int32_t column, int n) {
  const notebook::Column* c = sheet.FindColumn(column);
  if (c != nullptr && c->label && !c->label->empty()) return *c->label;
  return "Set " + std::to_string(n);
}

std::string ShortNumber(double x) {
  if (!std::isfinite(x)) return FormatNumber(x);
  const double magnitude = std::fabs(x);
  if (magnitude != 0 && (magnitude < 1e-3 || magnitude >= 1e6)) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", x);
    return text;
  }
  const int exponent = magnitude == 0 ? 0 : static_cast<int>(std::floor(std::log10(magnitude)));
  const int decimals = std::max(0, 2 - exponent);
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, x);
  // Rounding may carry into a new digit (9.996 -> "10.00"); the text is
  // still right, only one digit longer than needed.
  return text;
}

bool WantsSet(const PlotOptions& options, int n) {
  return options.sets.empty() ||
         std::find(options.sets.begin(), options.sets.end(), n) != options.sets.end();
}

void FitLogAxis(Axis* axis, double lo, double hi) {
  axis->scale = AxisScale::kLog;
  double log_lo = std::log10(lo);
  double log_hi = std::log10(hi);
  // A single value still gets a visible range around it.
  const double span = std::max(log_hi - log_lo, 0.2);
  const double middle = (log_lo + log_hi) / 2;
  log_lo = std::min(log_lo, middle - span / 2) - span * 0.06;
  log_hi = std::max(log_hi, middle + span / 2) + span * 0.06;
  axis->min = std::pow(10.0, log_lo);
  axis->max = std::pow(10.0, log_hi);

  axis->ticks.clear();
  // Each set of mantissas is taken when it gives enough ticks; every digit
  // must give four, or the evenly spaced ticks below read better.
  static const std::vector<std::pair<std::vector<double>, size_t>> kMantissas = {
      {{1}, 3}, {{1, 2, 5}, 3}, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, 4}};
  const int first_decade = static_cast<int>(std::floor(log_lo));
  const int last_decade = static_cast<int>(std::ceil(log_hi));
  for (const auto& [mantissas, enough] : kMantissas) {
    std::vector<Tick> ticks;
    for (int e = first_decade; e <= last_decade; ++e) {
      for (double m : mantissas) {
        // Built from the decimal text so that 0.3 is 0.3, not 0.30000000000000004.
        const double v = std::stod(FormatNumber(m) + "e" + std::to_string(e));
        if (v >= axis->min && v <= axis->max) ticks.push_back({v, FormatNumber(v)});
      }
    }
    if (ticks.size() >= enough) {
      axis->ticks = std::move(ticks);
      return;
    }
  }
  // Less than a decade wide: evenly spaced ticks at a round step.
  const double raw_step = (axis->max - axis->min) / 7;
  const double power = std::pow(10.0, std::floor(std::log10(raw_step)));
  double step = power;
  for (double f : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    if (f * power >= raw_step) {
      step = f * power;
      break;
    }
  }
  for (double k = std::ceil(axis->min / step); k * step <= axis->max; k += 1) {
    const double v = std::stod(FormatNumber(k * step));
    if (v > 0) axis->ticks.push_back({v, FormatNumber(v)});
  }
}

}  // namespace internal

std::optional<PlotKind> DetectPlotKind(const notebook::Worksheet& sheet) {
  // A number is asked for: an empty cell would compare equal to 0.
  using W = layout::WeibullRecord;
  using F = layout::FatigueRecord;
  if (internal::NumberAt(sheet, W::kColumn, W::kKindRow) == W::kWeibullKind) {
    return PlotKind::kWeibull;
  }
  const auto fatigue = internal::NumberAt(sheet, F::kColumn, F::kKindRow);
  if (fatigue == kFitDynamic) return PlotKind::kDynamic;
  if (fatigue == kFitStatic) return PlotKind::kStatic;
  using L = layout::LifetimeRecord;
  if (internal::NumberAt(sheet, L::kColumn, L::kKindRow) == L::kLifetimeKind) {
    return PlotKind::kLifetime;
  }
  return std::nullopt;
}

bool BuildPlot(const notebook::Worksheet& sheet, const PlotOptions& options, PlotDescription* plot,
               std::string* error) {
  const std::optional<PlotKind> kind = options.kind ? options.kind : DetectPlotKind(sheet);
  if (!kind) {
    *error =
        "the worksheet holds no analysis results to plot (no Weibull or fatigue options "
        "record in column " +
        std::to_string(layout::WeibullRecord::kColumn) + " or " +
        std::to_string(layout::FatigueRecord::kColumn) +
        "); run korund on it first, or name the kind";
    return false;
  }
  *plot = PlotDescription{};
  plot->kind = *kind;
  const bool built = *kind == PlotKind::kWeibull
                         ? internal::BuildWeibullPlot(sheet, options, plot, error)
                     : *kind == PlotKind::kLifetime
                         ? internal::BuildLifetimePlot(sheet, plot, error)
                         : internal::BuildFatiguePlot(sheet, *kind, options, plot, error);
  if (!built) return false;
  if (!options.title.empty()) plot->title = options.title;
  KeepVisibleOnWhite(plot);
  return true;
}

bool BuildPlot(const notebook::Item& item, const PlotOptions& options, PlotDescription* plot,
               std::string* error) {
  if (item.worksheet() == nullptr) {
    *error = "\"" + item.name() + "\" is no worksheet";
    return false;
  }
  PlotOptions titled = options;
  if (titled.title.empty()) titled.title = item.name();
  return BuildPlot(*item.worksheet(), titled, plot, error);
}

bool ParseSetList(const std::string& text, int max_set, std::vector<int>* sets,
                  std::string* error) {
  sets->clear();
  auto fail = [&] {
    *error = "--sets wants set numbers 1 to " + std::to_string(max_set) +
             " and ranges separated by commas (\"1,3-5\"), not \"" + text + "\"";
    return false;
  };
  auto number = [&](const std::string& s) -> int {
    if (s.empty() || s.size() > 2 || s.find_first_not_of("0123456789") != std::string::npos) {
      return 0;
    }
    const int n = std::stoi(s);
    return n >= 1 && n <= max_set ? n : 0;
  };
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string part = text.substr(start, comma - start);
    const size_t dash = part.find('-');
    const int first = number(part.substr(0, dash));
    const int last = dash == std::string::npos ? first : number(part.substr(dash + 1));
    if (first == 0 || last == 0 || first > last) return fail();
    for (int n = first; n <= last; ++n) {
      if (std::find(sets->begin(), sets->end(), n) == sets->end()) sets->push_back(n);
    }
    start = comma + 1;
  }
  std::sort(sets->begin(), sets->end());
  return true;
}

}  // namespace korund::plot
