// The graph beside the grid: the current worksheet's plot, built by plot/
// from its columns and drawn by gui::PlotView, or a line saying why there
// is none. Redrawn shortly after the worksheet changes, so that typing into
// a large worksheet does not wait for the drawing. Above it, a check box
// shows or hides the Weibull plot's confidence bands, and a text field
// gives the graph a title of the user's own (on screen and in exports).
#pragma once

#include <QWidget>
#include <string>

#include "plot/plot_builder.h"
#include "studio/document.h"

class QCheckBox;
class QLabel;
class QLineEdit;
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
  QLineEdit* title_field() const { return title_; }

  // Writes the graph to `path` (.png, .svg or .pdf) atomically. False with
  // *error when there is no graph, the extension is unknown or the file
  // cannot be written.
  bool Export(const std::string& path, std::string* error);

 private:
  void Schedule();
  // The graph of the current worksheet, with the bands as the check box
  // and the title as the field says. False with *error.
  bool Build(plot::PlotDescription* plot, std::string* error) const;

  Document& doc_;
  gui::PlotView* view_ = nullptr;
  QLabel* message_ = nullptr;
  QCheckBox* bands_ = nullptr;
  QLineEdit* title_ = nullptr;
  QStackedLayout* layout_ = nullptr;
  QTimer* timer_ = nullptr;
  bool has_graph_ = false;
};

}  // namespace korund::studio
