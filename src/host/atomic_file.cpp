#include "host/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace korund::host {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  // Replace the file a symbolic link points to, not the link itself.
  fs::path target = path;
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  std::string tmp = (dir / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    *error = path + ": cannot create a temporary file in " + dir.string() + ": " +
             std::strerror(errno);
    return false;
  }
  auto fail = [&](const std::string& what, int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(tmp.c_str());
    *error = path + ": " + what + ": " + std::strerror(err) + " (the file is unchanged)";
    return false;
  };
  struct stat st {};
  mode_t mode;
  if (::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd, mode) != 0) return fail("cannot set permissions", errno);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail("cannot write", errno);
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) return fail("cannot flush to disk", errno);
  int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return fail("cannot write", errno);
  if (::rename(tmp.c_str(), target.c_str()) != 0) return fail("cannot replace the file", errno);
  // Make the rename itself durable.
  int dir_fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
  return true;
}

}  // namespace korund::host
