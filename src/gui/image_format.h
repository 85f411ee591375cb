// Image formats by file name, free of Qt: a command line is checked before
// anything is rendered.
#pragma once

#include <optional>
#include <string>

namespace korund::gui {

enum class ImageFormat { kPng, kSvg, kPdf };

// The format a file name asks for by its extension (.png, .svg, .pdf, any
// case); nullopt for any other.
std::optional<ImageFormat> ImageFormatForPath(const std::string& path);

}  // namespace korund::gui
