// The graph beside the grid: the current worksheet's plot, built by plot/
// from its columns and drawn by gui::PlotView, or a line saying why there
// is none. Redrawn shortly after the worksheet changes, so that typing into
// a large worksheet does not wait for the drawing. A check box above it
// shows or hides the Weibull plot's confidence bands.
#pragma once

#include <QWidget>
#include <string>

#include "plot/plot_builder.h"
#include "studio/document.h"

class QCheckBox;
class QLabel;
class QStackedLayout;
class QTimer;

namespace korund::gui {
class PlotView;
}

namespace korund::studio {

class GraphPane : public QWidget {
  Q_OBJECT

 public:
  explicit GraphPane(Document& doc, QWidget* parent = nullptr);

  // Rebuilds and redraws now. True when there is a graph.
  bool Redraw();
  bool has_graph() const { return has_graph_; }
  // Why there is no graph ("" when there is one).
  QString message() const;
  gui::PlotView* view() const { return view_; }
  QCheckBox* bands_box() const { return bands_; }

  // Writes the graph to `path` (.png, .svg or .pdf) atomically. False with
  // *error when there is no graph, the extension is unknown or the file
  // cannot be written.
  bool Export(const std::string& path, std::string* error);

 private:
  void Schedule();
  // The options the graph is built with: the bands as the check box says.
  plot::PlotOptions Options() const;

  Document& doc_;
  gui::PlotView* view_ = nullptr;
  QLabel* message_ = nullptr;
  QCheckBox* bands_ = nullptr;
  QStackedLayout* layout_ = nullptr;
  QTimer* timer_ = nullptr;
  bool has_graph_ = false;
};

}  // namespace korund::studio
