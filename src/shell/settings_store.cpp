#include "shell/settings_store.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "host/atomic_file.h"

namespace korund::shell {

namespace fs = std::filesystem;

std::string DefaultSettingsRoot() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
  return "";
}

std::string IniSettingsStore::PathFor(const std::string& application,
                                      const std::string& section) const {
  return (fs::path(root_) / application / (section + ".ini")).string();
}

bool IniSettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& value) {
  if (root_.empty()) return false;
  const fs::path path = PathFor(application, section);
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  if (ec) return false;

  std::vector<std::string> lines;
  {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
  }
  // Replace the key inside its section, or add it at the section's end.
  const std::string header = "[" + section + "]";
  bool in_section = false;
  bool done = false;
  size_t section_end = lines.size();
  bool have_section = false;
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    const std::string& l = lines[i];
    if (!l.empty() && l[0] == '[') {
      if (in_section) {
        section_end = i;
        break;
      }
      in_section = l == header;
      have_section = have_section || in_section;
      continue;
    }
    if (in_section && l.rfind(key + "=", 0) == 0) {
      lines[i] = key + "=" + value;
      done = true;
    }
  }
  if (!done) {
    if (!have_section) {
      lines.push_back(header);
      section_end = lines.size();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(section_end), key + "=" + value);
  }

  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  // Written as the notebook is: readers never see half a file.
  std::string error;
  return host::WriteFileAtomically(path.string(), text, &error);
}

}  // namespace korund::shell
