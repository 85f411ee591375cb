#include "gui/image_format.h"

#include "util/text.h"

namespace korund::gui {

std::optional<ImageFormat> ImageFormatForPath(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  const std::string extension = LowerAscii(path.substr(dot + 1));
  if (extension == "png") return ImageFormat::kPng;
  if (extension == "svg") return ImageFormat::kSvg;
  if (extension == "pdf") return ImageFormat::kPdf;
  return std::nullopt;
}

bool IsPlotJsonPath(const std::string& path) {
  return path.size() > 5 && LowerAscii(path.substr(path.size() - 5)) == ".json";
}

}  // namespace korund::gui
