#include "testing/memory_file_system.h"

#include <cerrno>
#include <cstdio>

namespace korund::testing {

int MemoryFileSystem::Call(const std::string& kind, const std::string& what) {
  calls.push_back(kind + " " + what);
  const auto it = failing_.find(kind);
  if (it == failing_.end()) return 0;
  const int err = it->second;
  failing_.erase(it);
  return err;
}

std::vector<std::string> MemoryFileSystem::FilesWith(std::string_view part) const {
  std::vector<std::string> found;
  for (const auto& [path, bytes] : files) {
    if (path.find(part) != std::string::npos) found.push_back(path);
  }
  return found;
}

int MemoryFileSystem::CreateTemporary(std::string* path, const std::string&, int* handle) {
  char unique[8];
  std::snprintf(unique, sizeof unique, "%06d", next_name_++ % 1000000);
  path->replace(path->size() - 6, 6, unique);
  if (const int err = Call("create", *path)) return err;
  files[*path] = "";
  *handle = next_handle_++;
  open_[*handle] = *path;
  return 0;
}

int MemoryFileSystem::Write(int handle, std::string_view bytes) {
  if (const int err = Call("write", open_.at(handle))) return err;
  files[open_.at(handle)].append(bytes);
  return 0;
}

int MemoryFileSystem::Sync(int handle) { return Call("sync", open_.at(handle)); }

int MemoryFileSystem::Close(int handle, host::FileId* id) {
  const std::string path = open_.at(handle);
  open_.erase(handle);
  if (id != nullptr) *id = host::FileId{1, static_cast<uint64_t>(handle)};
  return Call("close", path);
}

int MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  if (const int err = Call("rename", from + " " + to)) return err;
  const auto it = files.find(from);
  if (it == files.end()) return ENOENT;
  files[to] = std::move(it->second);
  files.erase(from);
  return 0;
}

int MemoryFileSystem::SyncFolder(const std::string& folder) { return Call("sync-folder", folder); }

int MemoryFileSystem::Remove(const std::string& path) {
  if (const int err = Call("remove", path)) return err;
  return files.erase(path) == 1 ? 0 : ENOENT;
}

int MemoryFileSystem::Lock(const std::string& lock_path, std::string_view holder, int* handle) {
  if (const int err = Call("lock", lock_path)) return err;
  if (locked_.count(lock_path) != 0) return EWOULDBLOCK;
  locked_.insert(lock_path);
  files[lock_path] = std::string(holder);
  *handle = next_handle_++;
  open_[*handle] = lock_path;
  return 0;
}

void MemoryFileSystem::Unlock(const std::string& lock_path, int handle) {
  Call("unlock", lock_path);
  files.erase(lock_path);
  locked_.erase(lock_path);
  open_.erase(handle);
}

}  // namespace korund::testing
