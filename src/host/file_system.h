// The disk calls behind notebook files, lock files and atomic replacement,
// behind one small interface so that a test can fake the disk, see the
// order of the calls and make any one of them fail (testing/
// memory_file_system.h). Every call returns 0 or the errno value of its
// failure; file handles are the implementation's own numbers.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace korund::host {

// Which file a name stands for: two names of one file, or one name before
// and after the file was replaced, compare by this.
struct FileId {
  uint64_t device = 0;
  uint64_t inode = 0;
  friend bool operator==(const FileId&, const FileId&) = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Creates and opens a new file: *path ends in "XXXXXX", which is replaced
  // by what makes the name unique. Its permissions are those of `like` when
  // that file exists, else the usual ones for a new file.
  virtual int CreateTemporary(std::string* path, const std::string& like, int* handle) = 0;
  // Writes all of bytes at the end of the open file.
  virtual int Write(int handle, std::string_view bytes) = 0;
  // Flushes the open file's contents to the disk (fsync).
  virtual int Sync(int handle) = 0;
  // Closes the file; *id (when given) names the file that was open.
  virtual int Close(int handle, FileId* id) = 0;
  // Renames `from` over `to` in one step.
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  // Flushes the folder's entries to the disk, so that a rename in it lasts.
  virtual int SyncFolder(const std::string& folder) = 0;
  virtual int Remove(const std::string& path) = 0;

  // Takes the exclusive lock that the file at lock_path stands for, without
  // waiting and never through a symbolic link, and writes `holder` into
  // it. EWOULDBLOCK when another holds it.
  virtual int Lock(const std::string& lock_path, std::string_view holder, int* handle) = 0;
  // Removes the lock file, then lets the lock go.
  virtual void Unlock(const std::string& lock_path, int handle) = 0;
};

// The real disk (POSIX calls); one for the whole program.
FileSystem& RealFileSystem();

}  // namespace korund::host
