#include "host/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace korund::host {
namespace {

// The lock file names its holder, "PROGRAM PID", so that a refused run can
// say who holds the notebook. A file locked read-only (another user's) says
// nothing; that costs only the name in the message.
void SayHolder(int fd) {
  const std::string holder =
      std::string(program_invocation_short_name) + " " + std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) {
    [[maybe_unused]] const ssize_t written = ::pwrite(fd, holder.data(), holder.size(), 0);
  }
}

// "korund-studio (process 1234)", or "" when the file names no holder.
std::string HolderOf(const std::string& lock_path) {
  const int fd = ::open(lock_path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return "";
  char buffer[128];
  const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
  ::close(fd);
  if (n <= 0) return "";
  const std::string text(buffer, static_cast<size_t>(n));
  const size_t blank = text.find(' ');
  const size_t end = text.find('\n');
  if (blank == std::string::npos || blank == 0 || end == std::string::npos || end <= blank + 1) {
    return "";
  }
  const std::string program = text.substr(0, blank);
  const std::string pid = text.substr(blank + 1, end - blank - 1);
  auto printable = [](char c) { return c > ' ' && c < 127; };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!std::all_of(program.begin(), program.end(), printable) ||
      !std::all_of(pid.begin(), pid.end(), digit)) {
    return "";
  }
  return program + " (process " + pid + ")";
}

}  // namespace

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
        const std::string holder = HolderOf(lock_path);
        *error = path + " is in use by " +
                 (holder.empty() ? "another korund program (korund, korund-notebook or "
                                   "korund-studio)"
                                 : holder) +
                 " (lock file " + lock_path + ")";
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
      SayHolder(fd);
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
