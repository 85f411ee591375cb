#include "plot/plot_json.h"

#include <cstdio>
#include <optional>

#include "notebook/json_builder.h"

namespace korund::plot {
namespace {

using notebook::JsonBuilder;

std::string ColorText(const Color& c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

void AddAxis(JsonBuilder* json, const Axis& axis) {
  json->BeginObject().Key("title").String(axis.title).Key("scale").String(ScaleName(axis.scale));
  json->Key("min").Number(axis.min).Key("max").Number(axis.max).Key("ticks").BeginArray();
  for (const Tick& t : axis.ticks) {
    json->BeginObject().Key("position").Number(t.position).Key("label").String(t.label).EndObject();
  }
  json->EndArray().EndObject();
}

void AddPair(JsonBuilder* json, double a, double b) {
  json->BeginArray().Number(a).Number(b).EndArray();
}

void AddColorOrNull(JsonBuilder* json, const char* key, const std::optional<Color>& c) {
  json->Key(key);
  if (c) {
    json->String(ColorText(*c));
  } else {
    json->Null();
  }
}

void AddSeries(JsonBuilder* json, const Series& s) {
  json->BeginObject().Key("legend").String(s.legend).Key("marker").String(MarkerName(s.marker));
  json->Key("marker_size").Number(s.marker_size).Key("color").String(ColorText(s.color));
  AddColorOrNull(json, "fill", s.fill);
  AddColorOrNull(json, "outline", s.outline);
  json->Key("points").BeginArray();
  for (const Point& p : s.points) AddPair(json, p.x, p.y);
  json->EndArray().Key("errors").BeginArray();
  for (const ErrorBar& e : s.errors) AddPair(json, e.low, e.high);
  json->EndArray().EndObject();
}

// A band's bound as a series of its own, marked by its role, so that a
// reader that draws every series still shows it.
void AddBand(JsonBuilder* json, const Band& b) {
  json->BeginObject().Key("role").String("band").Key("set").Integer(b.set);
  json->Key("bound").String(b.upper ? "upper" : "lower").Key("confidence").Number(b.confidence);
  json->Key("legend").String("").Key("color").String(ColorText(b.color));
  json->Key("points").BeginArray();
  for (const Point& p : b.points) AddPair(json, p.x, p.y);
  json->EndArray().EndObject();
}

}  // namespace

std::string PlotJson(const PlotDescription& plot) {
  JsonBuilder json;
  json.BeginObject().Key("kind").String(KindName(plot.kind)).Key("title").String(plot.title);
  json.Key("x");
  AddAxis(&json, plot.x);
  json.Key("y");
  AddAxis(&json, plot.y);
  json.Key("series").BeginArray();
  for (const Series& s : plot.series) AddSeries(&json, s);
  for (const Band& b : plot.bands) AddBand(&json, b);
  json.EndArray().Key("lines").BeginArray();
  for (const Line& l : plot.lines) {
    json.BeginObject().Key("legend").String(l.legend).Key("from");
    AddPair(&json, l.from.x, l.from.y);
    json.Key("to");
    AddPair(&json, l.to.x, l.to.y);
    json.Key("color").String(ColorText(l.color)).Key("drawn_color").String(ColorText(l.Drawn()));
    json.Key("style").String(LineStyleName(l.style));
    json.EndObject();
  }
  json.EndArray().Key("dropped_points").Integer(plot.dropped_points);
  json.Key("stale").Bool(plot.stale).EndObject();
  return json.Indented(1) + "\n";
}

}  // namespace korund::plot
