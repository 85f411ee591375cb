#include <dlfcn.h>

#include <filesystem>

#include "shell/qt_module.h"

namespace korund::shell {

const QtModule* LoadQtModule(std::string* error) {
  static const QtModule* loaded = nullptr;
  if (loaded != nullptr) return loaded;
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path folder = fs::read_symlink("/proc/self/exe", ec).parent_path();
  // Beside the program in the build tree; in the installed tree the module
  // lies in a folder of its own, found relative to the program, so that the
  // whole tree may move.
  std::string path = (folder / kQtModuleFile).string();
  const fs::path installed =
      (folder / KORUND_QT_MODULE_FROM_BIN / kQtModuleFile).lexically_normal();
  if (!fs::exists(path, ec) && fs::exists(installed, ec)) path = installed.string();
  // Kept for the life of the process: Qt cannot be unloaded safely.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    *error = "cannot load " + path + ": " + (why != nullptr ? why : "unknown error");
    return nullptr;
  }
  using Entry = const QtModule* (*)();
  auto entry = reinterpret_cast<Entry>(dlsym(handle, "korund_qt_module"));
  if (entry == nullptr) {
    *error = path + " is not korund's Qt module";
    return nullptr;
  }
  loaded = entry();
  return loaded;
}

}  // namespace korund::shell
