#include "gui/plot_view.h"

#include "gui/legend_placement.h"

namespace korund::gui {
namespace {

using plot::AxisScale;
using plot::LineStyle;
using plot::MarkerShape;

QColor ToQColor(const plot::Color& c) { return QColor(c.r, c.g, c.b); }

QCPScatterStyle::ScatterShape ToShape(MarkerShape shape) {
  switch (shape) {
    case MarkerShape::kCircle: return QCPScatterStyle::ssCircle;
    case MarkerShape::kSquare: return QCPScatterStyle::ssSquare;
    case MarkerShape::kTriangleUp: return QCPScatterStyle::ssTriangle;
    case MarkerShape::kTriangleDown: return QCPScatterStyle::ssTriangleInverted;
    case MarkerShape::kDiamond: return QCPScatterStyle::ssDiamond;
    case MarkerShape::kCross: return QCPScatterStyle::ssCross;
  }
  return QCPScatterStyle::ssCircle;
}

Qt::PenStyle ToPenStyle(LineStyle style) {
  switch (style) {
    case LineStyle::kNone: return Qt::NoPen;
    case LineStyle::kSolid: return Qt::SolidLine;
    case LineStyle::kDash: return Qt::DashLine;
    case LineStyle::kDot: return Qt::DotLine;
    case LineStyle::kDashDot: return Qt::DashDotLine;
  }
  return Qt::SolidLine;
}

// The description's ticks when it has them (probability labels, or the
// 1-2-5 ticks of a log axis); QCustomPlot's own otherwise.
QSharedPointer<QCPAxisTicker> MakeTicker(const plot::Axis& axis) {
  if (axis.ticks.empty()) {
    if (axis.scale == AxisScale::kLog) return QSharedPointer<QCPAxisTickerLog>::create();
    return QSharedPointer<QCPAxisTicker>::create();
  }
  auto ticker = QSharedPointer<QCPAxisTickerText>::create();
  for (const plot::Tick& t : axis.ticks) {
    ticker->addTick(t.position, QString::fromStdString(t.label));
  }
  ticker->setSubTickCount(0);
  return ticker;
}

void SetUpAxis(const plot::Axis& axis, QCPAxis* main, QCPAxis* opposite) {
  const auto scale = axis.scale == AxisScale::kLog ? QCPAxis::stLogarithmic : QCPAxis::stLinear;
  const QSharedPointer<QCPAxisTicker> ticker = MakeTicker(axis);
  for (QCPAxis* a : {main, opposite}) {
    a->setScaleType(scale);
    a->setTicker(ticker);
    a->setRange(axis.min, axis.max);
  }
  main->setLabel(QString::fromStdString(axis.title));
  // From the canvas's font, not the axis's own: a canvas drawn again keeps
  // its axes, and their titles would grow with every redraw.
  QFont label_font = main->parentPlot()->font();
  label_font.setPointSizeF(label_font.pointSizeF() + 1);
  main->setLabelFont(label_font);
  // The opposite axis closes the frame; its ticks point inwards unlabelled.
  opposite->setVisible(true);
  opposite->setTickLabels(false);
  main->grid()->setVisible(true);
  main->grid()->setPen(QPen(QColor(215, 215, 215), 0, Qt::DotLine));
  // y = 0 is the 63.2 % line of a Weibull plot, no special line.
  main->grid()->setZeroLinePen(main->grid()->pen());
}

void SetTitle(const std::string& title, QCustomPlot* canvas) {
  QCPLayoutGrid* layout = canvas->plotLayout();
  auto* text = qobject_cast<QCPTextElement*>(layout->element(0, 0));
  if (text == nullptr) {
    layout->insertRow(0);
    QFont font = canvas->font();
    font.setPointSizeF(font.pointSizeF() + 3);
    font.setBold(true);
    text = new QCPTextElement(canvas, QString(), font);
    layout->addElement(0, 0, text);
  }
  text->setText(QString::fromStdString(title));
}

void AddSeries(const plot::Series& series, QCustomPlot* canvas) {
  QVector<double> xs, ys;
  for (const plot::Point& p : series.points) {
    xs.push_back(p.x);
    ys.push_back(p.y);
  }
  QCPGraph* graph = canvas->addGraph();
  graph->setData(xs, ys);
  graph->setLineStyle(QCPGraph::lsNone);
  // A faint colour keeps its fill and gets a darker edge of its hue.
  const QColor color = ToQColor(series.outline.value_or(series.color));
  const QBrush brush = series.fill ? QBrush(ToQColor(*series.fill)) : QBrush(Qt::NoBrush);
  graph->setScatterStyle(
      QCPScatterStyle(ToShape(series.marker), QPen(color, 1.5), brush, series.marker_size));
  graph->setPen(QPen(color));
  graph->setName(QString::fromStdString(series.legend));
  if (series.legend.empty()) graph->removeFromLegend();

  if (series.errors.empty()) return;
  QVector<double> minus, plus;
  for (size_t i = 0; i < series.points.size() && i < series.errors.size(); ++i) {
    minus.push_back(series.points[i].y - series.errors[i].low);
    plus.push_back(series.errors[i].high - series.points[i].y);
  }
  auto* bars = new QCPErrorBars(canvas->xAxis, canvas->yAxis);
  bars->removeFromLegend();
  bars->setDataPlottable(graph);
  bars->setData(minus, plus);
  bars->setPen(QPen(color, 1.2));
  bars->setWhiskerWidth(series.marker_size);
}

// Fitted lines lie on their own layer under the markers, so that the
// legend can list the data sets first and still no line hides a marker.
constexpr const char* kLineLayer = "fitted lines";

void PutOnLineLayer(QCPAbstractPlottable* plottable, QCustomPlot* canvas) {
  if (canvas->layer(kLineLayer) == nullptr) {
    canvas->addLayer(kLineLayer, canvas->layer("main"), QCustomPlot::limBelow);
  }
  plottable->setLayer(kLineLayer);
}

void AddLine(const plot::Line& line, QCustomPlot* canvas) {
  QCPGraph* graph = canvas->addGraph();
  PutOnLineLayer(graph, canvas);
  graph->setData(QVector<double>{line.from.x, line.to.x}, QVector<double>{line.from.y, line.to.y});
  graph->setLineStyle(QCPGraph::lsLine);
  graph->setPen(QPen(ToQColor(line.Drawn()), 1.5, ToPenStyle(line.style)));
  graph->setName(QString::fromStdString(line.legend));
  if (line.legend.empty() || line.style == LineStyle::kNone) graph->removeFromLegend();
}

// The band of a set: its two bounds as thin lines and the space between
// them lightly filled, on the line layer so that no marker is hidden.
void AddBand(const plot::Band& lower, const plot::Band& upper, QCustomPlot* canvas) {
  auto curve = [canvas](const std::vector<plot::Point>& points) {
    QVector<double> xs, ys;
    for (const plot::Point& p : points) {
      xs.push_back(p.x);
      ys.push_back(p.y);
    }
    auto* c = new QCPCurve(canvas->xAxis, canvas->yAxis);
    PutOnLineLayer(c, canvas);
    c->setData(xs, ys);
    c->removeFromLegend();
    return c;
  };
  QColor color = ToQColor(lower.color);
  // Lower bound out, upper bound back: one closed outline to fill.
  std::vector<plot::Point> outline = lower.points;
  outline.insert(outline.end(), upper.points.rbegin(), upper.points.rend());
  QCPCurve* fill = curve(outline);
  fill->setPen(Qt::NoPen);
  color.setAlpha(32);
  fill->setBrush(color);
  color.setAlpha(170);
  for (const plot::Band* b : {&lower, &upper}) curve(b->points)->setPen(QPen(color, 1));
}

void AddBands(const std::vector<plot::Band>& bands, QCustomPlot* canvas) {
  for (size_t i = 0; i + 1 < bands.size(); ++i) {
    const plot::Band& a = bands[i];
    const plot::Band& b = bands[i + 1];
    if (a.set == b.set && !a.upper && b.upper) {
      AddBand(a, b, canvas);
      ++i;
    }
  }
}

}  // namespace

void DrawPlot(const plot::PlotDescription& plot, QCustomPlot* canvas) {
  canvas->clearGraphs();
  canvas->clearPlottables();
  canvas->setBackground(Qt::white);
  SetTitle(plot.title, canvas);
  SetUpAxis(plot.x, canvas->xAxis, canvas->xAxis2);
  SetUpAxis(plot.y, canvas->yAxis, canvas->yAxis2);
  for (const plot::Series& series : plot.series) AddSeries(series, canvas);
  for (const plot::Line& line : plot.lines) AddLine(line, canvas);
  AddBands(plot.bands, canvas);

  QFont legend_font = canvas->font();
  legend_font.setPointSizeF(legend_font.pointSizeF() - 0.5);
  canvas->legend->setFont(legend_font);
  canvas->legend->setBrush(QBrush(QColor(255, 255, 255, 220)));
  canvas->legend->setBorderPen(QPen(QColor(160, 160, 160)));
  PlaceLegend(canvas);
}

PlotView::PlotView(QWidget* parent) : QCustomPlot(parent) {}

void PlotView::resizeEvent(QResizeEvent* event) {
  QCustomPlot::resizeEvent(event);  // sets the viewport, queues a replot
  PlaceLegend(this);
}

void PlotView::ShowPlot(const plot::PlotDescription& plot) {
  DrawPlot(plot, this);
  replot();
}

}  // namespace korund::gui
