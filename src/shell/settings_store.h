// The per-user application settings store: one text per application,
// section and key. On this platform an INI file per application and
// section:
//   $XDG_CONFIG_HOME/APPLICATION/SECTION.ini   (or ~/.config/... without it)
// holding "[SECTION]" and "KEY=VALUE" lines. The program writes one value,
// "AppPath" of application "Quellmark", section "SigmaPlot".
#pragma once

#include <map>
#include <string>

namespace korund::shell {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Stores value; false when it could not be stored (callers go on).
  virtual bool SaveSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

class IniSettingsStore : public SettingsStore {
 public:
  // root: the folder that holds the application folders; "" stores nothing.
  explicit IniSettingsStore(std::string root) : root_(std::move(root)) {}

  // Keeps the file's other lines; the file is replaced atomically, so a
  // failed write never leaves half a file.
  bool SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value) override;

  // The file that holds a section.
  std::string PathFor(const std::string& application, const std::string& section) const;

 private:
  std::string root_;
};

// $XDG_CONFIG_HOME when set and absolute, else $HOME/.config, else "".
std::string DefaultSettingsRoot();

}  // namespace korund::shell
