#include "gui/legend_placement.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace korund::gui {
namespace {

// Pixels kept free between the legend and anything drawn.
constexpr double kClearance = 3;

// Liang-Barsky: whether any part of the segment a-b lies in r.
bool SegmentMeetsRect(QPointF a, QPointF b, const QRectF& r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  return true;
}

QPointF Pixel(const QCPAbstractPlottable& p, double key, double value) {
  return {p.keyAxis()->coordToPixel(key), p.valueAxis()->coordToPixel(value)};
}

int SegmentsMeeting(const std::vector<QPointF>& points, const QRectF& rect) {
  int count = 0;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    if (SegmentMeetsRect(points[i], points[i + 1], rect)) ++count;
  }
  return count;
}

// How many drawn things (a marker, a segment of a line or curve, an error
// bar) meet the rectangle, in pixels of the current layout.
int CountCovered(QCustomPlot* canvas, const QRectF& rect) {
  int count = 0;
  for (int i = 0; i < canvas->plottableCount(); ++i) {
    QCPAbstractPlottable* p = canvas->plottable(i);
    if (!p->visible()) continue;
    if (auto* graph = qobject_cast<QCPGraph*>(p)) {
      std::vector<QPointF> points;
      for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it) {
        points.push_back(Pixel(*graph, it->key, it->value));
      }
      if (graph->lineStyle() != QCPGraph::lsNone) count += SegmentsMeeting(points, rect);
      if (graph->scatterStyle().isNone()) continue;
      const double r = graph->scatterStyle().size() / 2 + graph->scatterStyle().pen().widthF();
      const QRectF reach = rect.adjusted(-r, -r, r, r);
      for (const QPointF& point : points) count += reach.contains(point) ? 1 : 0;
    } else if (auto* curve = qobject_cast<QCPCurve*>(p)) {
      // A band's fill lies between its two bounds, which are curves of
      // their own.
      if (curve->pen().style() == Qt::NoPen) continue;
      std::vector<QPointF> points;
      for (auto it = curve->data()->constBegin(); it != curve->data()->constEnd(); ++it) {
        points.push_back(Pixel(*curve, it->key, it->value));
      }
      count += SegmentsMeeting(points, rect);
    } else if (auto* bars = qobject_cast<QCPErrorBars*>(p)) {
      QCPAbstractPlottable* owner = bars->dataPlottable();
      QCPPlottableInterface1D* data = owner == nullptr ? nullptr : owner->interface1D();
      if (data == nullptr) continue;
      const double w = bars->whiskerWidth() / 2;
      const QRectF reach = rect.adjusted(-w, 0, w, 0);
      const int n = std::min(static_cast<int>(bars->data()->size()), data->dataCount());
      for (int k = 0; k < n; ++k) {
        const double key = data->dataMainKey(k), value = data->dataMainValue(k);
        const QCPErrorBarsData& e = bars->data()->at(k);
        if (SegmentMeetsRect(Pixel(*owner, key, value - e.errorMinus),
                             Pixel(*owner, key, value + e.errorPlus), reach)) {
          ++count;
        }
      }
    }
  }
  return count;
}

// Lays the canvas out at its viewport, as a replot would, without drawing.
void UpdateLayout(QCustomPlot* canvas) {
  QCPLayoutGrid* layout = canvas->plotLayout();
  layout->setOuterRect(canvas->viewport());
  layout->update(QCPLayoutElement::upPreparation);
  layout->update(QCPLayoutElement::upMargins);
  layout->update(QCPLayoutElement::upLayout);
}

int InsetIndex(QCPLayoutInset* inset, QCPLayoutElement* element) {
  for (int i = 0; i < inset->elementCount(); ++i) {
    if (inset->elementAt(i) == element) return i;
  }
  return -1;
}

// Where the axis rectangle sits in the plot layout.
bool CellOf(QCPLayoutGrid* grid, QCPLayoutElement* element, int* row, int* column) {
  for (int r = 0; r < grid->rowCount(); ++r) {
    for (int c = 0; c < grid->columnCount(); ++c) {
      if (grid->element(r, c) == element) {
        *row = r;
        *column = c;
        return true;
      }
    }
  }
  return false;
}

// Undoes PlaceOutside: the legend goes back into the axis rectangle in one
// column, and the grid that held it beside the axes is removed.
void ReturnInside(QCustomPlot* canvas) {
  QCPLegend* legend = canvas->legend;
  QCPLayoutInset* inset = canvas->axisRect()->insetLayout();
  QCPLayout* holder = legend->layout();
  if (holder == inset) return;
  inset->addElement(legend, Qt::AlignTop | Qt::AlignLeft);  // takes it from holder
  legend->setWrap(0);
  legend->setFillOrder(QCPLayoutGrid::foRowsFirst, true);
  if (holder != nullptr && holder->layout() == canvas->plotLayout()) {
    canvas->plotLayout()->remove(holder);
    canvas->plotLayout()->simplify();
  }
}

// The legend's size in the given number of columns.
QSize SizeInColumns(QCPLegend* legend, int columns) {
  const int n = legend->itemCount();
  legend->setWrap(columns <= 1 ? 0 : (n + columns - 1) / columns);
  legend->setFillOrder(QCPLayoutGrid::foRowsFirst, true);
  return legend->minimumOuterSizeHint();
}

// Beside the axis rectangle: to the right in one column, or below in as
// many columns as the width takes, whichever leaves the larger axis
// rectangle. A legend that fits neither way (a tiny image) is left out: it
// could only cover the data.
void PlaceOutside(QCustomPlot* canvas) {
  QCPLegend* legend = canvas->legend;
  QCPAxisRect* axes = canvas->axisRect();
  QCPLayoutGrid* layout = canvas->plotLayout();
  int row = 0, column = 0;
  if (!CellOf(layout, axes, &row, &column)) return;
  const QRect area = axes->rect();
  const QRect view = canvas->viewport();
  const QMargins gap(8, 6, 8, 6);
  const QSize single = SizeInColumns(legend, 1);
  int columns = 1;
  QSize wide = single;
  for (int c = legend->itemCount(); c > 1; --c) {
    const QSize size = SizeInColumns(legend, c);
    if (size.width() + gap.left() + gap.right() <= view.width()) {
      columns = c;
      wide = size;
      break;
    }
  }
  const int right_width = area.width() - single.width() - gap.left() - gap.right();
  const int below_height = area.height() - wide.height() - gap.top() - gap.bottom();
  const bool right_fits =
      right_width > 0 && single.height() + gap.top() + gap.bottom() <= view.height();
  const bool below_fits =
      below_height > 0 && wide.width() + gap.left() + gap.right() <= view.width();
  if (!right_fits && !below_fits) {
    legend->setVisible(false);
    return;
  }
  const double right_area = right_fits ? static_cast<double>(right_width) * area.height() : 0;
  const double below_area = below_fits ? static_cast<double>(below_height) * area.width() : 0;
  auto* holder = new QCPLayoutGrid;
  holder->setMargins(gap);
  if (right_area >= below_area) {
    SizeInColumns(legend, 1);
    layout->addElement(row, column + 1, holder);
    layout->setColumnStretchFactor(column + 1, 0.001);
    holder->addElement(0, 0, legend);
    holder->addElement(1, 0, new QCPLayoutElement(canvas));  // the room below it
    holder->setRowStretchFactor(0, 0.001);
  } else {
    SizeInColumns(legend, columns);
    layout->insertRow(row + 1);
    layout->addElement(row + 1, column, holder);
    layout->setRowStretchFactor(row + 1, 0.001);
    holder->addElement(0, 0, new QCPLayoutElement(canvas));
    holder->addElement(0, 1, legend);
    holder->addElement(0, 2, new QCPLayoutElement(canvas));
    holder->setColumnStretchFactor(1, 0.001);
  }
  // The axes' margins (tick labels) are laid out anew; should the two still
  // meet, the legend goes.
  UpdateLayout(canvas);
  if (legend->outerRect().intersects(axes->rect())) {
    ReturnInside(canvas);
    legend->setVisible(false);
  }
}

}  // namespace

void PlaceLegend(QCustomPlot* canvas) {
  ReturnInside(canvas);
  QCPLegend* legend = canvas->legend;
  legend->setVisible(legend->itemCount() > 0);
  if (!legend->visible()) return;
  QCPLayoutInset* inset = canvas->axisRect()->insetLayout();
  const int index = InsetIndex(inset, legend);
  if (index < 0) return;
  for (const Qt::Alignment corner :
       {Qt::AlignTop | Qt::AlignLeft, Qt::AlignTop | Qt::AlignRight,
        Qt::AlignBottom | Qt::AlignRight, Qt::AlignBottom | Qt::AlignLeft}) {
    inset->setInsetAlignment(index, corner);
    UpdateLayout(canvas);
    const QRectF box = legend->outerRect();
    if (!QRectF(canvas->axisRect()->rect()).contains(box)) break;  // too large for any corner
    const QRectF kept = box.adjusted(-kClearance, -kClearance, kClearance, kClearance);
    if (CountCovered(canvas, kept) == 0) return;
  }
  PlaceOutside(canvas);
}

}  // namespace korund::gui
