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
std::string HolderLine() {
  return std::string(program_invocation_short_name) + " " + std::to_string(::getpid()) + "\n";
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
  int handle = -1;
  const int err = disk_.Lock(lock_path, HolderLine(), &handle);
  if (err == 0) {
    handle_ = handle;
    lock_path_ = lock_path;
    return true;
  }
  if (err == EWOULDBLOCK) {
    const std::string holder = HolderOf(lock_path);
    *error = path + " is in use by " +
             (holder.empty() ? "another korund program (korund, korund-notebook or "
                               "korund-studio)"
                             : holder) +
             " (lock file " + lock_path + ")";
  } else if (err == ESTALE) {
    *error = path + ": cannot lock " + lock_path + " (it keeps being replaced)";
  } else {
    *error = path + ": cannot create the lock file " + lock_path + ": " +
             (err == ELOOP ? std::string("it is a symbolic link") : std::strerror(err));
  }
  return false;
}

void FileLock::Unlock() {
  if (handle_ < 0) return;
  disk_.Unlock(lock_path_, handle_);
  handle_ = -1;
  lock_path_.clear();
}

}  // namespace korund::host
