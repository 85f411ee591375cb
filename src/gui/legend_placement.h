// Where the legend of a drawn plot goes: inside the axis rectangle in a
// corner it leaves every data point, error bar and line free of (fitted
// lines and band bounds alike), else outside the axis rectangle, to its
// right or below it. Decided on the canvas itself, from the pixel geometry
// its layout gives at its current size, so that it holds at any size.
#pragma once

#include <qcustomplot.h>

namespace korund::gui {

// Moves the canvas's legend to the first corner of its axis rectangle (top
// left, top right, bottom right, bottom left) where it covers nothing drawn;
// when no corner is free, beside the axis rectangle (right or below,
// whichever leaves the larger axis rectangle); shown only when it has
// entries, and left out when it fits nowhere (a tiny image). Call it after
// the plottables are in place and again whenever the viewport changes size.
void PlaceLegend(QCustomPlot* canvas);

}  // namespace korund::gui
