// Drawing a plot description with QCustomPlot: its log axes and tickers,
// scatter styles, error bars and legend. One routine serves the widget on
// screen and the image files.
#pragma once

#include <qcustomplot.h>

#include "plot/plot_description.h"

namespace korund::gui {

// Replaces whatever `canvas` shows by the plot, its legend placed for the
// canvas's current viewport (legend_placement.h). Does not replot; the
// caller (or the export) does.
void DrawPlot(const plot::PlotDescription& plot, QCustomPlot* canvas);

// The graph widget of the desktop application: one plot description,
// redrawn when the description changes.
class PlotView : public QCustomPlot {
 public:
  explicit PlotView(QWidget* parent = nullptr);

  void ShowPlot(const plot::PlotDescription& plot);

 protected:
  // The legend's place is decided anew for every size.
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace korund::gui
