#include "tools/plot_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "gui/plot_export.h"
#include "host/atomic_file.h"
#include "notebook/notebook.h"
#include "notebook/notebook_file.h"
#include "plot/plot_builder.h"
#include "tools/notebook_edit.h"
#include "util/text.h"
#include "util/worksheet_layout.h"

namespace korund::tools {
namespace {

using nlohmann::ordered_json;

std::string ColorText(const plot::Color& c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

ordered_json AxisJson(const plot::Axis& axis) {
  ordered_json ticks = ordered_json::array();
  for (const plot::Tick& t : axis.ticks) {
    ticks.push_back({{"position", t.position}, {"label", t.label}});
  }
  return {{"title", axis.title}, {"scale", plot::ScaleName(axis.scale)},
          {"min", axis.min},     {"max", axis.max},
          {"ticks", ticks}};
}

ordered_json PointJson(const plot::Point& p) { return ordered_json::array({p.x, p.y}); }

std::string Lower(const std::string& s) { return LowerAscii(s); }

bool IsJsonPath(const std::string& path) {
  return path.size() > 5 && Lower(path.substr(path.size() - 5)) == ".json";
}

std::optional<plot::PlotKind> KindFromWord(const std::string& word) {
  if (word == "weibull") return plot::PlotKind::kWeibull;
  if (word == "dynamic") return plot::PlotKind::kDynamic;
  if (word == "static") return plot::PlotKind::kStatic;
  return std::nullopt;
}

}  // namespace

std::string PlotJson(const plot::PlotDescription& plot) {
  ordered_json series = ordered_json::array();
  for (const plot::Series& s : plot.series) {
    ordered_json points = ordered_json::array();
    for (const plot::Point& p : s.points) points.push_back(PointJson(p));
    ordered_json errors = ordered_json::array();
    for (const plot::ErrorBar& e : s.errors) errors.push_back({e.low, e.high});
    series.push_back({{"legend", s.legend},
                      {"marker", plot::MarkerName(s.marker)},
                      {"marker_size", s.marker_size},
                      {"color", ColorText(s.color)},
                      {"fill", s.fill ? ordered_json(ColorText(*s.fill)) : ordered_json(nullptr)},
                      {"points", points},
                      {"errors", errors}});
  }
  ordered_json lines = ordered_json::array();
  for (const plot::Line& l : plot.lines) {
    lines.push_back({{"legend", l.legend},
                     {"from", PointJson(l.from)},
                     {"to", PointJson(l.to)},
                     {"color", ColorText(l.color)},
                     {"style", plot::LineStyleName(l.style)}});
  }
  ordered_json doc = {{"kind", plot::KindName(plot.kind)},
                      {"title", plot.title},
                      {"x", AxisJson(plot.x)},
                      {"y", AxisJson(plot.y)},
                      {"series", series},
                      {"lines", lines},
                      {"dropped_points", plot.dropped_points}};
  return doc.dump(1) + "\n";
}

CLI::App* AddPlotCommand(CLI::App& app, PlotCommandOptions* o) {
  CLI::App* cmd = app.add_subcommand(
      "plot", "Draw a worksheet's graph after an analysis (PNG, SVG, PDF, or JSON description)");
  cmd->add_option("FILE", o->file, "Notebook file")->required();
  cmd->add_option("--worksheet", o->worksheet, "Worksheet (default: the current one)");
  cmd->add_option("--out", o->out, "File to write: .png, .svg, .pdf, or .json for the description")
      ->required();
  cmd->add_option("--kind", o->kind, "weibull, dynamic or static (default: the analysis that ran)")
      ->check(CLI::IsMember({"weibull", "dynamic", "static"}));
  cmd->add_option("--sets", o->sets, "Data sets to draw, e.g. 1,3-5 (default: all)");
  cmd->add_flag("--no-mle-line", o->no_mle_line,
                "Weibull: leave out the maximum-likelihood lines");
  cmd->add_option("--width", o->width, "Image width in pixels")->capture_default_str();
  cmd->add_option("--height", o->height, "Image height in pixels")->capture_default_str();
  cmd->add_option("--scale", o->scale, "PNG: pixels per unit of width and height")
      ->capture_default_str();
  return cmd;
}

bool RunPlot(const PlotCommandOptions& o, std::ostream& out, std::ostream& err,
             std::string* error) {
  const bool json = IsJsonPath(o.out);
  const std::optional<gui::ImageFormat> format = gui::ImageFormatForPath(o.out);
  if (!json && !format) {
    *error = o.out + ": the file name must end in .png, .svg, .pdf or .json";
    return false;
  }
  notebook::Notebook doc;
  if (!notebook::LoadNotebookFile(o.file, &doc, nullptr, error)) return false;
  notebook::Item* item = notebook::ChooseWorksheet(doc, o.worksheet, o.file, error);
  if (item == nullptr) return false;
  const notebook::Worksheet& sheet = *item->worksheet();

  plot::PlotOptions options;
  options.kind = o.kind.empty() ? plot::DetectPlotKind(sheet) : KindFromWord(o.kind);
  options.mle_line = !o.no_mle_line;
  if (!o.sets.empty()) {
    const int max_set = options.kind == plot::PlotKind::kWeibull ? layout::weibull::kSets
                                                                  : layout::fatigue::kSets;
    if (!plot::ParseSetList(o.sets, max_set, &options.sets, error)) return false;
  }
  plot::PlotDescription plot;
  if (!plot::BuildPlot(sheet, options, &plot, error)) {
    *error = o.file + ", worksheet \"" + item->name() + "\": " + *error;
    return false;
  }
  if (plot.dropped_points > 0) {
    err << "korund-notebook: note: " << plot.dropped_points
        << (plot.dropped_points == 1 ? " value that is" : " values that are")
        << " not positive left out of the log axes\n";
  }

  std::string bytes;
  if (json) {
    bytes = PlotJson(plot);
  } else {
    gui::RenderSession session;
    if (!gui::RenderPlot(plot, *format, {o.width, o.height, o.scale}, &bytes, error)) return false;
  }
  if (!RefuseNotebookAsOutput(o.out, o.file, error)) return false;
  if (!host::WriteFileAtomically(o.out, bytes, error)) return false;
  out << "Wrote the " << plot::KindName(plot.kind) << " plot of worksheet \"" << item->name()
      << "\" to " << o.out << ".\n";
  return true;
}

}  // namespace korund::tools
