// A disk in memory for the notebook-file module's tests: files are texts
// by path, every call is recorded in order as "CALL PATH", and any kind of
// call can be made to fail once.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/file_system.h"

namespace korund::testing {

class MemoryFileSystem : public host::FileSystem {
 public:
  // The files, lock files included, by path.
  std::map<std::string, std::string> files;
  // "create P", "write P", "sync P", "close P", "rename P Q",
  // "sync-folder D", "remove P", "lock P", "unlock P": each call made,
  // whether it failed or not.
  std::vector<std::string> calls;

  // The next call of that kind (the first word above) fails with err.
  void FailNext(const std::string& kind, int err) { failing_[kind] = err; }
  // The paths that hold `part` ("korund-tmp").
  std::vector<std::string> FilesWith(std::string_view part) const;

  int CreateTemporary(std::string* path, const std::string& like, int* handle) override;
  int Write(int handle, std::string_view bytes) override;
  int Sync(int handle) override;
  int Close(int handle, host::FileId* id) override;
  int Rename(const std::string& from, const std::string& to) override;
  int SyncFolder(const std::string& folder) override;
  int Remove(const std::string& path) override;
  int Lock(const std::string& lock_path, std::string_view holder, int* handle) override;
  void Unlock(const std::string& lock_path, int handle) override;

 private:
  // Records the call; its error when it is to fail, else 0.
  int Call(const std::string& kind, const std::string& what);

  std::map<std::string, int> failing_;
  std::map<int, std::string> open_;  // handle -> path
  std::set<std::string> locked_;
  int next_handle_ = 3;
  int next_name_ = 1;
};

}  // namespace korund::testing
