#include "tools/plot_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "gui/plot_export.h"
#include "host/atomic_file.h"
#include "notebook/json_builder.h"
#include "notebook/notebook.h"
#include "notebook/notebook_file.h"
#include "plot/plot_builder.h"
#include "tools/notebook_edit.h"
#include "util/text.h"

namespace korund::tools {
namespace {

using notebook::JsonBuilder;

std::string ColorText(const plot::Color& c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

void AddAxis(JsonBuilder* json, const plot::Axis& axis) {
  json->BeginObject()
      .Key("title")
      .String(axis.title)
      .Key("scale")
      .String(plot::ScaleName(axis.scale));
  json->Key("min").Number(axis.min).Key("max").Number(axis.max).Key("ticks").BeginArray();
  for (const plot::Tick& t : axis.ticks) {
    json->BeginObject().Key("position").Number(t.position).Key("label").String(t.label).EndObject();
  }
  json->EndArray().EndObject();
}

void AddPair(JsonBuilder* json, double a, double b) {
  json->BeginArray().Number(a).Number(b).EndArray();
}

void AddSeries(JsonBuilder* json, const plot::Series& s) {
  json->BeginObject().Key("legend").String(s.legend).Key("marker").String(
      plot::MarkerName(s.marker));
  json->Key("marker_size")
      .Number(s.marker_size)
      .Key("color")
      .String(ColorText(s.color))
      .Key("fill");
  if (s.fill) {
    json->String(ColorText(*s.fill));
  } else {
    json->Null();
  }
  json->Key("points").BeginArray();
  for (const plot::Point& p : s.points) AddPair(json, p.x, p.y);
  json->EndArray().Key("errors").BeginArray();
  for (const plot::ErrorBar& e : s.errors) AddPair(json, e.low, e.high);
  json->EndArray().EndObject();
}

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
  JsonBuilder json;
  json.BeginObject().Key("kind").String(plot::KindName(plot.kind)).Key("title").String(plot.title);
  json.Key("x");
  AddAxis(&json, plot.x);
  json.Key("y");
  AddAxis(&json, plot.y);
  json.Key("series").BeginArray();
  for (const plot::Series& s : plot.series) AddSeries(&json, s);
  json.EndArray().Key("lines").BeginArray();
  for (const plot::Line& l : plot.lines) {
    json.BeginObject().Key("legend").String(l.legend).Key("from");
    AddPair(&json, l.from.x, l.from.y);
    json.Key("to");
    AddPair(&json, l.to.x, l.to.y);
    json.Key("color").String(ColorText(l.color)).Key("style").String(plot::LineStyleName(l.style));
    json.EndObject();
  }
  json.EndArray().Key("dropped_points").Integer(plot.dropped_points).EndObject();
  return json.Indented(1) + "\n";
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
    const int max_set = options.kind == plot::PlotKind::kWeibull ? 10 : 6;
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
