#include "plot/plot_json.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace korund::plot {
namespace {

using nlohmann::ordered_json;

std::string ColorText(const Color& c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

ordered_json AxisJson(const Axis& axis) {
  ordered_json ticks = ordered_json::array();
  for (const Tick& t : axis.ticks) {
    ticks.push_back({{"position", t.position}, {"label", t.label}});
  }
  return {{"title", axis.title}, {"scale", ScaleName(axis.scale)},
          {"min", axis.min},     {"max", axis.max},
          {"ticks", ticks}};
}

ordered_json PointJson(const Point& p) { return ordered_json::array({p.x, p.y}); }

}  // namespace

std::string PlotJson(const PlotDescription& plot) {
  ordered_json series = ordered_json::array();
  for (const Series& s : plot.series) {
    ordered_json points = ordered_json::array();
    for (const Point& p : s.points) points.push_back(PointJson(p));
    ordered_json errors = ordered_json::array();
    for (const ErrorBar& e : s.errors) errors.push_back({e.low, e.high});
    series.push_back({{"legend", s.legend},
                      {"marker", MarkerName(s.marker)},
                      {"marker_size", s.marker_size},
                      {"color", ColorText(s.color)},
                      {"fill", s.fill ? ordered_json(ColorText(*s.fill)) : ordered_json(nullptr)},
                      {"points", points},
                      {"errors", errors}});
  }
  ordered_json lines = ordered_json::array();
  for (const Line& l : plot.lines) {
    lines.push_back({{"legend", l.legend},
                     {"from", PointJson(l.from)},
                     {"to", PointJson(l.to)},
                     {"color", ColorText(l.color)},
                     {"style", LineStyleName(l.style)}});
  }
  ordered_json doc = {{"kind", KindName(plot.kind)},
                      {"title", plot.title},
                      {"x", AxisJson(plot.x)},
                      {"y", AxisJson(plot.y)},
                      {"series", series},
                      {"lines", lines},
                      {"dropped_points", plot.dropped_points}};
  return doc.dump(1) + "\n";
}

}  // namespace korund::plot
