// The plot description as JSON, the published form of what a graph shows:
// axes with ticks, series with their points, error bars and styles, lines,
// legend texts.
#pragma once

#include <string>

#include "plot/plot_description.h"

namespace korund::plot {

// The description as JSON text (one-space indented, final newline).
std::string PlotJson(const PlotDescription& plot);

}  // namespace korund::plot
