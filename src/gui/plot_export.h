// Plot images for files: PNG, SVG and PDF, rendered without a display.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "gui/image_format.h"
#include "plot/plot_description.h"

class QApplication;

namespace korund::gui {

// Holds the Qt application that rendering needs for as long as it lives.
// Creates one when the process has none, on the offscreen platform when
// there is no display; otherwise uses the one there is.
class RenderSession {
 public:
  RenderSession();
  ~RenderSession();
  RenderSession(const RenderSession&) = delete;
  RenderSession& operator=(const RenderSession&) = delete;

 private:
  std::unique_ptr<QApplication> app_;
};

// Renders the plot as a whole file of that format into *bytes. Needs a live
// RenderSession (or the program's own QApplication). False with *error.
bool RenderPlot(const plot::PlotDescription& plot, ImageFormat format, const ImageSize& size,
                std::string* bytes, std::string* error);

}  // namespace korund::gui
