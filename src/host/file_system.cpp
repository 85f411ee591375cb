#include "host/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "host/signal_cleanup.h"

namespace korund::host {
namespace {

// The lock file held and the temporary files being written are removed
// when a signal ends the process (signal_cleanup.h).
class PosixFileSystem : public FileSystem {
 public:
  int CreateTemporary(std::string* path, const std::string& like, int* handle) override {
    const int fd = ::mkstemp(path->data());
    if (fd < 0) return errno;
    struct stat st {};
    mode_t mode;
    if (::stat(like.c_str(), &st) == 0) {
      mode = st.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) {
      const int err = errno;
      ::close(fd);
      ::unlink(path->c_str());
      return err;
    }
    *handle = fd;
    Remember(&temporaries_, *path);
    return 0;
  }

  int Write(int handle, std::string_view bytes) override {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(handle, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return errno;
      done += static_cast<size_t>(n);
    }
    return 0;
  }

  int Sync(int handle) override { return ::fsync(handle) == 0 ? 0 : errno; }

  int Close(int handle, FileId* id) override {
    struct stat st {};
    if (id != nullptr) *id = ::fstat(handle, &st) == 0 ? FileId{st.st_dev, st.st_ino} : FileId{};
    return ::close(handle) == 0 ? 0 : errno;
  }

  int Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return errno;
    Forget(&temporaries_, from);
    return 0;
  }

  int SyncFolder(const std::string& folder) override {
    // A folder this user may not read cannot be flushed by it; the rename
    // stands as the file system keeps it.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;
    // A file system that cannot flush a folder (EINVAL) keeps renames
    // anyway.
    const int err = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return err;
  }

  int Remove(const std::string& path) override {
    Forget(&temporaries_, path);
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
  }

  int Lock(const std::string& lock_path, std::string_view holder, int* handle) override {
    for (int attempt = 0; attempt < 10; ++attempt) {
      // Never through a symbolic link: a planted link would make us create
      // or lock a file elsewhere.
      int fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0 && errno == EACCES) {
        // A lock file another user left behind: a read-only descriptor
        // locks it just as well (and says nothing of its holder).
        fd = ::open(lock_path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
      }
      if (fd < 0) return errno;
      if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err;
      }
      // The previous holder may have removed the file between our open and
      // our flock; then we hold a lock nobody else can see.
      struct stat held {}, named {};
      if (::fstat(fd, &held) == 0 && ::stat(lock_path.c_str(), &named) == 0 &&
          held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        if (::ftruncate(fd, 0) == 0) {
          [[maybe_unused]] const ssize_t n = ::pwrite(fd, holder.data(), holder.size(), 0);
        }
        *handle = fd;
        Remember(&locks_, lock_path);
        return 0;
      }
      ::close(fd);
    }
    return ESTALE;
  }

  void Unlock(const std::string& lock_path, int handle) override {
    // Forgotten first: a signal after the unlink must not remove the lock
    // file another process has made since.
    Forget(&locks_, lock_path);
    ::unlink(lock_path.c_str());  // while still holding it: see file_lock.h
    ::close(handle);
  }

 private:
  using Slots = std::map<std::string, int>;
  void Remember(Slots* slots, const std::string& path) {
    std::lock_guard<std::mutex> hold(mutex_);
    (*slots)[path] = RemoveOnSignal(path);
  }
  void Forget(Slots* slots, const std::string& path) {
    std::lock_guard<std::mutex> hold(mutex_);
    const auto it = slots->find(path);
    if (it == slots->end()) return;
    ForgetOnSignal(it->second);
    slots->erase(it);
  }

  std::mutex mutex_;
  Slots temporaries_, locks_;
};

}  // namespace

FileSystem& RealFileSystem() {
  static PosixFileSystem disk;
  return disk;
}

}  // namespace korund::host
