#include "ui/console.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "util/text.h"

namespace korund::ui {

std::string ToTerminalText(std::string_view text) {
  const std::string lines = ToDisplayLines(text);
  std::string out;
  out.reserve(lines.size());
  auto escape = [&out](unsigned char c) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto c = static_cast<unsigned char>(lines[i]);
    if (c == '\n' || c == '\t') {
      out += lines[i];
    } else if (c < 0x20 || c == 0x7F) {
      escape(c);
    } else if (c == 0xC2 && i + 1 < lines.size() &&
               static_cast<unsigned char>(lines[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(lines[i + 1]) <= 0x9F) {
      escape(static_cast<unsigned char>(lines[++i]));  // a C1 control, U+0080..U+009F
    } else {
      out += lines[i];
    }
  }
  return out;
}

std::string StripAmpersand(const std::string& caption) {
  std::string out;
  for (char c : caption) {
    if (c != '&') out += c;
  }
  return out;
}

bool CaptionMatches(const std::string& caption, const std::string& answer) {
  return UpperAscii(StripAmpersand(caption)) == UpperAscii(StripAmpersand(answer));
}

int PressedByKey(const std::vector<std::string>& captions, char key) {
  const std::string probe =
      std::string("&") + static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
  int pressed = -1;
  for (size_t i = 0; i < captions.size(); ++i) {
    if (!captions[i].empty() && UpperAscii(captions[i]).find(probe) != std::string::npos) {
      pressed = static_cast<int>(i);
    }
  }
  return pressed;
}

ClipboardSink::ClipboardSink(std::string file, DesktopClipboard desktop, std::ostream& notes)
    : file_(std::move(file)), desktop_(std::move(desktop)), notes_(notes) {}

void ClipboardSink::Set(const std::string& text) {
  if (!file_.empty()) {
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (out) return;
    notes_ << "korund: could not write the clipboard file " << file_ << "\n";
    return;
  }
  if (desktop_ && desktop_(text)) {
    return;
  }
  notes_ << "korund: no clipboard available; the copied table was not kept"
         << " (use --clipboard-file FILE to keep it)\n";
}

void ClipboardSink::Clear() {
  if (!file_.empty()) {
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
  } else if (desktop_) {
    desktop_("");
  }
}

static bool OnPath(const std::string& tool) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string dirs = path;
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::filesystem::path candidate = std::filesystem::path(dirs.substr(start, end - start)) / tool;
    std::error_code ec;
    if (end > start && std::filesystem::is_regular_file(candidate, ec)) return true;
    start = end + 1;
  }
  return false;
}

static bool RunWithInput(const char* command, const std::string& text) {
  FILE* pipe = popen(command, "w");
  if (pipe == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), pipe) == text.size();
  return pclose(pipe) == 0 && written;
}

bool CopyToDesktopClipboard(const std::string& text) {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* x11 = std::getenv("DISPLAY");
  if (wayland != nullptr && *wayland != '\0' && OnPath("wl-copy")) {
    return RunWithInput("wl-copy 2>/dev/null", text);
  }
  if (x11 != nullptr && *x11 != '\0' && OnPath("xclip")) {
    return RunWithInput("xclip -selection clipboard 2>/dev/null", text);
  }
  return false;
}

}  // namespace korund::ui
