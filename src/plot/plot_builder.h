// Plot descriptions built from the columns an analysis leaves on a
// worksheet: the Weibull plot, and the log-log plots of dynamic and static
// fatigue. The worksheet alone fixes what is shown, so a style code or a
// tick percentage the user edits is followed on the next drawing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "notebook/notebook.h"
#include "plot/plot_description.h"

namespace korund::plot {

struct PlotOptions {
  std::optional<PlotKind> kind;  // nullopt: the kind the options record names
  std::vector<int> sets;         // the data sets to draw; empty: all of them
  bool mle_line = true;          // Weibull: also the maximum-likelihood line
  bool bands = true;             // Weibull: and its confidence band (with the line only)
  double confidence = 0.95;      // of the bands, a fraction in (0, 1)
  std::string title = {};        // "" = the worksheet item's name (see below)
};

// Which analysis wrote the worksheet: the one whose options record holds its
// kind (the Weibull record first, then the fatigue record's FitType);
// nullopt for none. Every reader of results asks this one function.
std::optional<PlotKind> DetectPlotKind(const notebook::Worksheet& sheet);

// Builds the description of the worksheet's graph. Sets without results are
// left out, as are values that are not positive on a log axis (counted in
// dropped_points); colours too faint on white get a visible shade
// (contrast.h). Without options.title the graph is titled by its kind
// ("Weibull plot"). False with *error when the kind cannot be found or
// nothing is left to draw.
bool BuildPlot(const notebook::Worksheet& sheet, const PlotOptions& options,
               PlotDescription* plot, std::string* error);
// The same for a worksheet item, titled with the item's name unless
// options.title names another title.
bool BuildPlot(const notebook::Item& item, const PlotOptions& options, PlotDescription* plot,
               std::string* error);

// Reads a --sets text: numbers and ranges separated by commas ("1,3-5").
// False with *error for anything else or a set outside 1..max_set.
bool ParseSetList(const std::string& text, int max_set, std::vector<int>* sets,
                  std::string* error);

}  // namespace korund::plot
