// The legend never covers what the plot shows: counted on the rendered
// geometry (the legend's box and the axes' pixel mapping), at the sizes the
// studio's pane and the exports take.
#include "gui/legend_placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gui/plot_view.h"

namespace korund::gui {
namespace {

using plot::AxisScale;
using plot::Color;
using plot::PlotDescription;

// Sets rising along the diagonal, as on Weibull and dynamic fatigue plots:
// each with points, error bars on some, a fitted line through them and a
// band around it; `sets` of them, shifted, with long legend texts.
PlotDescription Rising(int sets) {
  PlotDescription plot;
  plot.title = "Data 1";
  plot.x = {"Strength (GPa)", AxisScale::kLog, 1, 10, {}};
  plot.y = {"Failure probability", AxisScale::kLinear, -5, 2, {}};
  for (int s = 0; s < sets; ++s) {
    const Color color{static_cast<uint8_t>(40 * s), 0, 200};
    plot::Series series;
    series.legend = "Set " + std::to_string(s + 1) + ": LS m = 6.51, LS So = 4.92 GPa";
    for (int i = 0; i < 25; ++i) {
      const double x = 1.2 * std::pow(1.09, i) * (1 + 0.08 * s);
      const double y = -4.6 + 0.27 * i;
      series.points.push_back({x, y});
      const double bar = i % 5 == 0 ? 0.6 : 0;
      series.errors.push_back({y - bar, y + bar});
    }
    series.color = color;
    series.fill = color;
    plot.series.push_back(series);
    const plot::Point from = series.points.front(), to = series.points.back();
    plot.lines.push_back({"Set " + std::to_string(s + 1) + ": MLE m = 6.28, MLE So = 4.93 GPa",
                          from, to, color, plot::LineStyle::kDot});
    plot::Band lower{s + 1, false, 0.95, color, {}}, upper{s + 1, true, 0.95, color, {}};
    for (int i = 0; i <= 10; ++i) {
      const double y = from.y + (to.y - from.y) * i / 10;
      const double x = std::exp(std::log(from.x) + (std::log(to.x) - std::log(from.x)) * i / 10);
      lower.points.push_back({x * 0.85, y});
      upper.points.push_back({x * 1.15, y});
    }
    plot.bands.push_back(lower);
    plot.bands.push_back(upper);
  }
  return plot;
}

// Points in every corner of the axes: no corner is free.
PlotDescription Crowded() {
  PlotDescription plot = Rising(2);
  plot::Series everywhere;
  everywhere.legend = "Everywhere";
  for (double x : {1.05, 1.5, 2.0, 3.0, 4.5, 6.5, 9.5}) {
    for (double y : {-4.8, -3.5, -2.0, -0.5, 0.8, 1.8}) everywhere.points.push_back({x, y});
  }
  everywhere.color = {0, 0, 0};
  plot.series.push_back(everywhere);
  return plot;
}

bool Near(QPointF p, const QRectF& box, double reach) {
  return box.adjusted(-reach, -reach, reach, reach).contains(p);
}

// What of the description lies under the legend's box: markers, and points
// taken every pixel or so along error bars, lines and band bounds; only
// what the axes show (the rest is clipped). A hidden legend covers nothing.
int CountUnderLegend(const PlotDescription& plot, QCustomPlot& canvas) {
  if (!canvas.legend->visible()) return 0;
  const QRectF box = canvas.legend->outerRect();
  const QRectF shown = canvas.axisRect()->rect();
  auto pixel = [&](double x, double y) {
    return QPointF(canvas.xAxis->coordToPixel(x), canvas.yAxis->coordToPixel(y));
  };
  auto near = [&](QPointF p, double reach) { return shown.contains(p) && Near(p, box, reach); };
  auto along = [&](QPointF a, QPointF b) {
    const int steps = std::max(2, static_cast<int>(std::hypot(b.x() - a.x(), b.y() - a.y())));
    for (int i = 0; i <= steps; ++i) {
      if (near(a + (b - a) * i / steps, 0.5)) return 1;
    }
    return 0;
  };
  int count = 0;
  for (const plot::Series& s : plot.series) {
    for (size_t i = 0; i < s.points.size(); ++i) {
      const plot::Point& p = s.points[i];
      if (near(pixel(p.x, p.y), s.marker_size / 2)) ++count;
      if (i < s.errors.size()) {
        count += along(pixel(p.x, s.errors[i].low), pixel(p.x, s.errors[i].high));
      }
    }
  }
  for (const plot::Line& l : plot.lines) {
    count += along(pixel(l.from.x, l.from.y), pixel(l.to.x, l.to.y));
  }
  for (const plot::Band& b : plot.bands) {
    for (size_t i = 0; i + 1 < b.points.size(); ++i) {
      count +=
          along(pixel(b.points[i].x, b.points[i].y), pixel(b.points[i + 1].x, b.points[i + 1].y));
    }
  }
  return count;
}

TEST(LegendPlacement, TheLegendCoversNothingAtAnySize) {
  const struct {
    const char* name;
    PlotDescription plot;
    bool inside;  // in a corner of the axes at the default export size
  } plots[] = {{"three sets", Rising(3), true},
               {"ten sets", Rising(10), false},
               {"points everywhere", Crowded(), false}};
  const QSize sizes[] = {{900, 650},  {320, 240},   {480, 600}, {1600, 500},
                         {700, 1200}, {2400, 1700}, {120, 90}};
  for (const auto& p : plots) {
    for (const QSize& size : sizes) {
      SCOPED_TRACE(testing::Message() << p.name << " at " << size.width() << "x" << size.height());
      QCustomPlot canvas;
      canvas.setViewport(QRect(QPoint(0, 0), size));
      DrawPlot(p.plot, &canvas);
      canvas.replot();
      EXPECT_EQ(CountUnderLegend(p.plot, canvas), 0);
      const bool inside = canvas.axisRect()->rect().intersects(canvas.legend->outerRect());
      if (size == QSize(900, 650)) {
        EXPECT_EQ(inside, p.inside);
      }
    }
  }
}

// The widget decides again when the pane is resized, and drawing again
// does not grow the axis titles.
TEST(LegendPlacement, TheWidgetPlacesItAgainOnEveryResize) {
  const PlotDescription plot = Rising(3);
  PlotView view;
  view.resize(900, 650);
  view.show();
  view.ShowPlot(plot);
  const QFont title_font = view.xAxis->labelFont();
  for (const QSize& size : {QSize(480, 600), QSize(1400, 420), QSize(640, 480)}) {
    SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
    view.resize(size);
    QCoreApplication::processEvents();
    view.replot();
    EXPECT_EQ(CountUnderLegend(plot, view), 0);
    view.ShowPlot(plot);
    EXPECT_EQ(view.xAxis->labelFont(), title_font);
  }
}

}  // namespace
}  // namespace korund::gui
