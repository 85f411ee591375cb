// Writing a worksheet's graph to a file: the one function behind
// `korund ... --plot FILE` and `korund-notebook plot --out FILE`, so that both
// take the same formats and say the same things. Free of Qt itself: images
// are drawn by the renderer the caller hands in, and the description (.json)
// needs none.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "gui/image_format.h"
#include "notebook/notebook.h"
#include "plot/plot_builder.h"
#include "plot/plot_description.h"

namespace korund::gui {

// Draws a plot as the bytes of a whole image file. False with *error.
using PlotRenderer =
    std::function<bool(const plot::PlotDescription& plot, ImageFormat format,
                       const ImageSize& size, std::string* bytes, std::string* error)>;

struct GraphFile {
  std::string notebook;   // the notebook file to read
  std::string worksheet;  // "" = its current worksheet
  std::string out;        // .png, .svg, .pdf, or .json for the description
  ImageSize size;
  // Settles the options for the worksheet chosen; null keeps the defaults
  // (the kind its options record names, every set). False with *error.
  std::function<bool(const notebook::Worksheet&, plot::PlotOptions*, std::string*)> options;
};

// What WriteGraphFile wrote.
struct WrittenGraph {
  plot::PlotKind kind = plot::PlotKind::kWeibull;
  std::string worksheet;
};

// Reads the notebook, builds its worksheet's graph and writes it to `out`,
// whole or not at all, never over the notebook or its lock file. Values
// left out of a log axis are noted on err as "PROGRAM: note: ...". False
// with *error when the file name asks for no known format, the notebook or
// worksheet cannot be read, there is nothing to draw, or the file cannot
// be rendered or written.
bool WriteGraphFile(const GraphFile& graph, const PlotRenderer& render, const std::string& program,
                    std::ostream& err, WrittenGraph* written, std::string* error);

}  // namespace korund::gui
