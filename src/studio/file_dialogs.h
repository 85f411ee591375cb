// The studio's file dialogs: large enough that names, sizes and dates show
// in full, and a name saved without a known extension gets the one of the
// chosen filter.
#pragma once

#include <QString>

class QWidget;

namespace korund::studio {

// filters as for QFileDialog: "PNG image (*.png);;SVG drawing (*.svg)".
// Both return "" when the user cancelled.
QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filters);
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filters);

// `path` as typed, with the first extension of `selected` (one of the
// filters) appended unless it already ends in an extension one of `filters`
// offers: "graph" with "PNG image (*.png)" chosen is "graph.png", and
// "graph.svg" stays as typed.
QString WithFilterExtension(const QString& path, const QString& selected, const QString& filters);

}  // namespace korund::studio
