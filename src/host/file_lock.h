// An advisory lock on a notebook file, so that two runs never work on the
// same notebook at once.
//
// The lock is flock(2) on a sibling file "NOTEBOOK.lock". The kernel drops a
// flock when its holder ends, so a crashed run leaves no lock behind (at most
// the lock file, which the next holder takes over and removes). The holder
// writes "PROGRAM PID" into it, so that a refused run can name it. The
// holder removes the lock file when it lets go; a taker that finds its file
// replaced meanwhile tries again, so removal never lets two holders in. The
// lock file is never opened through a symbolic link, and one left by
// another user is locked through a read-only descriptor. The lock file also
// goes when SIGINT, SIGTERM or SIGHUP ends the holder (signal_cleanup.h).
#pragma once

#include <string>

#include "host/file_system.h"

namespace korund::host {

class FileLock {
 public:
  explicit FileLock(FileSystem& disk = RealFileSystem()) : disk_(disk) {}
  ~FileLock() { Unlock(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock for the notebook at `path` without waiting. False with
  // *error set when another process (or another FileLock) holds it (named
  // with its process id when the lock file says) or the lock file cannot be
  // created.
  bool Lock(const std::string& path, std::string* error);
  // Lets go (and removes the lock file). Harmless when not locked.
  void Unlock();
  bool locked() const { return handle_ >= 0; }

  // The lock file used for a notebook path.
  static std::string LockPathFor(const std::string& path);

 private:
  FileSystem& disk_;
  int handle_ = -1;
  std::string lock_path_;
};

}  // namespace korund::host
