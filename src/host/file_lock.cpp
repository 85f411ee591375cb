#include "host/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace korund::host {

std::string FileLock::LockPathFor(const std::string& path) {
  // Two names of one notebook (a link, "./x") must share one lock.
  std::error_code ec;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
  return (ec ? path : resolved.string()) + ".lock";
}

bool FileLock::Lock(const std::string& path, std::string* error) {
  Unlock();
  const std::string lock_path = LockPathFor(path);
  for (int attempt = 0; attempt < 10; ++attempt) {
    // Never through a symbolic link: a planted link would make us create
    // or lock a file elsewhere.
    int fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EACCES) {
      // A lock file another user left behind: a read-only descriptor locks
      // it just as well.
      fd = ::open(lock_path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd < 0) {
      const int err = errno;
      *error = path + ": cannot create the lock file " + lock_path + ": " +
               (err == ELOOP ? std::string("it is a symbolic link") : std::strerror(err));
      return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      int err = errno;
      ::close(fd);
      if (err == EWOULDBLOCK) {
        *error = path + " is in use by another korund run or korund-notebook command (lock file " +
                 lock_path + ")";
      } else {
        *error = path + ": cannot lock " + lock_path + ": " + std::strerror(err);
      }
      return false;
    }
    // The previous holder may have removed the file between our open and
    // our flock; then we hold a lock nobody else can see.
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && ::stat(lock_path.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
      fd_ = fd;
      lock_path_ = lock_path;
      return true;
    }
    ::close(fd);
  }
  *error = path + ": cannot lock " + lock_path + " (it keeps being replaced)";
  return false;
}

void FileLock::Unlock() {
  if (fd_ < 0) return;
  ::unlink(lock_path_.c_str());  // while still holding it: see the header
  ::close(fd_);
  fd_ = -1;
  lock_path_.clear();
}

}  // namespace korund::host
