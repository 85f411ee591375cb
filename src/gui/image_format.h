// Graph file formats by file name, free of Qt: a command line is checked
// before anything is rendered.
#pragma once

#include <optional>
#include <string>

namespace korund::gui {

enum class ImageFormat { kPng, kSvg, kPdf };

struct ImageSize {
  int width = 900;    // pixels (points in a PDF)
  int height = 650;
  double scale = 1;   // PNG only: pixels per unit, for sharper images
};

// The format a file name asks for by its extension (.png, .svg, .pdf, any
// case); nullopt for any other.
std::optional<ImageFormat> ImageFormatForPath(const std::string& path);

// True when a file name asks for the plot description (.json, any case).
bool IsPlotJsonPath(const std::string& path);

// What a graph file's name may end in, as the errors list it.
inline constexpr const char* kGraphFileEndings = ".png, .svg, .pdf or .json";

}  // namespace korund::gui
