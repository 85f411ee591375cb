#include "gui/display.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace korund::gui {
namespace {

bool Set(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}

}  // namespace

bool DisplayAvailable() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY"); }

bool DisplayReachable() {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (Set("DISPLAY")) {
    // ":N", ":N.S" or "unix:N" is the local server N; another host is
    // taken on trust.
    const std::string display = std::getenv("DISPLAY");
    const size_t colon = display.rfind(':');
    const std::string host = display.substr(0, colon == std::string::npos ? 0 : colon);
    if (colon == std::string::npos || !(host.empty() || host == "unix")) return true;
    const std::string server = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (fs::exists("/tmp/.X11-unix/X" + server, ec)) return true;
  }
  if (Set("WAYLAND_DISPLAY")) {
    const fs::path name = std::getenv("WAYLAND_DISPLAY");
    if (name.is_absolute()) return fs::exists(name, ec);
    if (Set("XDG_RUNTIME_DIR")) return fs::exists(std::getenv("XDG_RUNTIME_DIR") / name, ec);
  }
  return false;
}

bool ChooseOffscreenWithoutDisplay() {
  if (Set("QT_QPA_PLATFORM") || DisplayReachable()) return false;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  return true;
}

}  // namespace korund::gui
