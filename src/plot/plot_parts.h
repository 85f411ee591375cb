// Inside plot/: the two graph builders and what they share.
#pragma once

#include <optional>
#include <string>

#include "notebook/notebook.h"
#include "plot/plot_builder.h"
#include "plot/plot_description.h"

namespace korund::plot::internal {

bool BuildWeibullPlot(const notebook::Worksheet& sheet, const PlotOptions& options,
                      PlotDescription* plot, std::string* error);
bool BuildFatiguePlot(const notebook::Worksheet& sheet, PlotKind kind,
                      const PlotOptions& options, PlotDescription* plot, std::string* error);
bool BuildLifetimePlot(const notebook::Worksheet& sheet, PlotDescription* plot,
                       std::string* error);

// A cell that holds a number (a text, tagged or not, is no number here).
std::optional<double> NumberAt(const notebook::Worksheet& sheet, int32_t column, int32_t row);

// The name of the data whose input is in `column`: its label, else "Set n".
std::string SetName(const notebook::Worksheet& sheet, int32_t column, int n);

// About three significant digits, without an exponent for everyday sizes:
// 7.234 -> "7.23", 20.07 -> "20.1", 0.01234 -> "0.0123".
std::string ShortNumber(double x);

bool WantsSet(const PlotOptions& options, int n);

// Sets a log axis's range around the positive values lo..hi (a little
// margin on both sides) and picks ticks at 1, 2, 5 (or every digit) times a
// power of ten, or evenly spaced ones when the range is narrower.
void FitLogAxis(Axis* axis, double lo, double hi);

// Tracks the smallest and largest value put in.
struct Extent {
  double lo = 0;
  double hi = 0;
  bool any = false;
  void Add(double v) {
    if (!any || v < lo) lo = v;
    if (!any || v > hi) hi = v;
    any = true;
  }
};

}  // namespace korund::plot::internal
