#include <dlfcn.h>

#include <filesystem>

#include "shell/qt_module.h"

namespace korund::shell {

const QtModule* LoadQtModule(std::string* error) {
  static const QtModule* loaded = nullptr;
  if (loaded != nullptr) return loaded;
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::string path = (program.parent_path() / kQtModuleFile).string();
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
