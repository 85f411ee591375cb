// korund-notebook plot: draws a worksheet's graph after an analysis into a
// PNG, SVG or PDF file, or writes the plot description itself as JSON.
#pragma once

#include <ostream>
#include <string>

#include "plot/plot_description.h"

namespace CLI {
class App;
}

namespace korund::tools {

struct PlotCommandOptions {
  std::string file;
  std::string worksheet;  // "" = the current one
  std::string out;        // .png .svg .pdf or .json
  std::string kind;       // "" = from the options record
  std::string sets;       // "" = all
  bool no_mle_line = false;
  bool no_bands = false;
  double confidence = 95;  // of the Weibull bands, percent
  std::string title;       // "" = the worksheet's name
  int width = 900;
  int height = 650;
  double scale = 1;
};

// Adds the "plot" subcommand to the tool's command line.
CLI::App* AddPlotCommand(CLI::App& app, PlotCommandOptions* options);

// Runs it through gui::WriteGraphFile, then says what it wrote on out.
// False with *error.
bool RunPlot(const PlotCommandOptions& options, std::ostream& out, std::ostream& err,
             std::string* error);

}  // namespace korund::tools
