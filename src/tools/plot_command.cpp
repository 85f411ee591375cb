#include "tools/plot_command.h"

#include <CLI/CLI.hpp>

#include "gui/plot_export.h"
#include "gui/plot_file.h"
#include "plot/plot_builder.h"
#include "util/value.h"
#include "util/worksheet_layout.h"

namespace korund::tools {
namespace {

std::optional<plot::PlotKind> KindFromWord(const std::string& word) {
  if (word == "weibull") return plot::PlotKind::kWeibull;
  if (word == "dynamic") return plot::PlotKind::kDynamic;
  if (word == "static") return plot::PlotKind::kStatic;
  if (word == "lifetime") return plot::PlotKind::kLifetime;
  return std::nullopt;
}

}  // namespace

CLI::App* AddPlotCommand(CLI::App& app, PlotCommandOptions* o) {
  CLI::App* cmd = app.add_subcommand(
      "plot", "Draw a worksheet's graph after an analysis (PNG, SVG, PDF, or JSON description)");
  cmd->add_option("FILE", o->file, "Notebook file")->required();
  cmd->add_option("--worksheet", o->worksheet, "Worksheet (default: the current one)");
  cmd->add_option("--out", o->out, "File to write: .png, .svg, .pdf, or .json for the description")
      ->required();
  cmd->add_option("--kind", o->kind,
                  "weibull, dynamic, static or lifetime (default: the analysis that ran)")
      ->check(CLI::IsMember({"weibull", "dynamic", "static", "lifetime"}));
  cmd->add_option("--sets", o->sets, "Data sets to draw, e.g. 1,3-5 (default: all)");
  cmd->add_flag("--no-mle-line", o->no_mle_line,
                "Weibull: leave out the maximum-likelihood lines");
  cmd->add_flag("--no-bands", o->no_bands,
                "Weibull: leave out the confidence bands of the maximum-likelihood lines");
  cmd->add_option("--confidence", o->confidence, "Weibull: confidence of the bands in percent")
      ->capture_default_str();
  cmd->add_option("--title", o->title, "The graph's title (default: the worksheet's name)");
  cmd->add_option("--width", o->width, "Image width in pixels")->capture_default_str();
  cmd->add_option("--height", o->height, "Image height in pixels")->capture_default_str();
  cmd->add_option("--scale", o->scale, "PNG: pixels per unit of width and height")
      ->capture_default_str();
  return cmd;
}

bool RunPlot(const PlotCommandOptions& o, std::ostream& out, std::ostream& err,
             std::string* error) {
  gui::GraphFile graph{o.file, o.worksheet, o.out, {o.width, o.height, o.scale}, nullptr};
  graph.options = [&](const notebook::Worksheet& sheet, plot::PlotOptions* options,
                      std::string* err_text) {
    options->kind = o.kind.empty() ? plot::DetectPlotKind(sheet) : KindFromWord(o.kind);
    options->mle_line = !o.no_mle_line;
    options->bands = !o.no_bands;
    options->confidence = o.confidence / 100;
    options->title = o.title;
    if (!(o.confidence > 0 && o.confidence < 100)) {
      *err_text = "--confidence " + FormatNumber(o.confidence) +
                  ": give a percentage above 0 and below 100";
      return false;
    }
    if (o.sets.empty()) return true;
    const int max_set = options->kind == plot::PlotKind::kWeibull ? layout::weibull::kSets
                                                                   : layout::fatigue::kSets;
    return plot::ParseSetList(o.sets, max_set, &options->sets, err_text);
  };
  auto render = [](const plot::PlotDescription& plot, gui::ImageFormat format,
                   const gui::ImageSize& size, std::string* bytes, std::string* err_text) {
    gui::RenderSession session;
    return gui::RenderPlot(plot, format, size, bytes, err_text);
  };
  gui::WrittenGraph written;
  if (!gui::WriteGraphFile(graph, render, "korund-notebook", err, &written, error)) return false;
  out << "Wrote the " << plot::KindName(written.kind) << " plot of worksheet \""
      << written.worksheet << "\" to " << o.out << ".\n";
  return true;
}

}  // namespace korund::tools
