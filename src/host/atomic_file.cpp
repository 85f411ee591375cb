#include "host/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace korund::host {

namespace {

constexpr const char* kTemporaryMark = ".korund-tmp-";

// The file a path names, a symbolic link followed to its target.
std::filesystem::path Target(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target = path;
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  return target;
}

std::string TemporaryPrefix(const std::filesystem::path& target) {
  return "." + target.filename().string() + kTemporaryMark;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string path, FileSystem& disk)
    : disk_(disk), path_(std::move(path)) {}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) disk_.Close(fd_, nullptr);
  fd_ = -1;
  if (!tmp_.empty()) disk_.Remove(tmp_);
  tmp_.clear();
}

bool AtomicFileWriter::Fail(const std::string& what, int err, std::string* error) {
  Discard();
  *error = path_ + ": " + what + ": " + std::strerror(err) + " (the file is unchanged)";
  return false;
}

bool AtomicFileWriter::Open(std::string* error) {
  namespace fs = std::filesystem;
  Discard();
  // Replace the file a symbolic link points to, not the link itself.
  const fs::path target = Target(path_);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  target_ = target.string();
  dir_ = dir.string();
  std::string tmp = (dir / (TemporaryPrefix(target) + "XXXXXX")).string();
  int fd = -1;
  if (const int err = disk_.CreateTemporary(&tmp, target_, &fd); err != 0) {
    *error = path_ + ": cannot create a temporary file in " + dir_ + ": " + std::strerror(err);
    return false;
  }
  fd_ = fd;
  tmp_ = tmp;
  return true;
}

bool AtomicFileWriter::WriteAll(std::string_view bytes, std::string* error) {
  if (const int err = disk_.Write(fd_, bytes); err != 0) return Fail("cannot write", err, error);
  return true;
}

bool AtomicFileWriter::Flush(std::string* error) {
  const bool ok = WriteAll(buffer_, error);
  buffer_.clear();
  return ok;
}

bool AtomicFileWriter::Write(std::string_view bytes, std::string* error) {
  // Small pieces (the lines of a CSV file) are gathered; a large one (a
  // whole notebook text) goes to the file without a copy.
  constexpr size_t kBufferBytes = 1 << 16;
  if (fd_ < 0) return Fail("cannot write", EBADF, error);
  if (buffer_.size() + bytes.size() <= kBufferBytes) {
    buffer_.append(bytes);
    return true;
  }
  if (!Flush(error)) return false;
  if (bytes.size() < kBufferBytes) {
    buffer_.append(bytes);
    return true;
  }
  return WriteAll(bytes, error);
}

bool AtomicFileWriter::Commit(std::string* error, const BeforeReplace& before_replace) {
  if (fd_ < 0) return Fail("cannot write", EBADF, error);
  if (!Flush(error)) return false;
  if (const int err = disk_.Sync(fd_); err != 0) return Fail("cannot flush to disk", err, error);
  FileId written;
  const int closed = disk_.Close(fd_, &written);
  fd_ = -1;
  if (closed != 0) return Fail("cannot write", closed, error);
  if (before_replace && !before_replace(error)) {
    Discard();
    return false;
  }
  if (const int err = disk_.Rename(tmp_, target_); err != 0) {
    return Fail("cannot replace the file", err, error);
  }
  tmp_.clear();
  committed_ = written;
  // Make the rename itself durable.
  if (const int err = disk_.SyncFolder(dir_); err != 0) {
    *error = path_ + ": cannot flush its folder " + dir_ + " to disk: " + std::strerror(err) +
             " (the file was replaced, but the change may not outlast a crash)";
    return false;
  }
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         const BeforeReplace& before_replace) {
  AtomicFileWriter file(path);
  return file.Open(error) && file.Write(bytes, error) && file.Commit(error, before_replace);
}

bool WriteOutputFile(const std::string& path, const WriteByName& write, std::string* error) {
  AtomicFileWriter file(path);
  if (!file.Open(error)) return false;
  // The writer opens the temporary file by its name and writes it alone;
  // it is then flushed and renamed as any other (on the real disk only).
  file.disk_.Close(file.fd_, nullptr);
  file.fd_ = -1;
  const std::string temp = file.tmp_;
  if (!write(temp, error)) {
    if (error->compare(0, temp.size(), temp) == 0) error->replace(0, temp.size(), path);
    return false;  // the temporary file goes with `file`
  }
  file.fd_ = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
  if (file.fd_ < 0) return file.Fail("cannot write", errno, error);
  return file.Commit(error);
}

void RemoveStaleTemporaries(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path target = Target(path);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  const std::string prefix = TemporaryPrefix(target);
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    // The prefix and exactly mkstemp's six characters: nothing else matches.
    if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
        it->is_regular_file(ec)) {
      fs::remove(it->path(), ec);
    }
  }
}

bool CheckReplaceable(const std::string& path, std::string* error) {
  namespace fs = std::filesystem;
  const fs::path target = Target(path);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  struct stat st {};
  // A file without any write permission is read-only for everyone, the
  // superuser too, whom access() would let through.
  if (::stat(target.c_str(), &st) == 0 &&
      ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
    *error = path + ": the file is read-only; nothing was changed";
    return false;
  }
  if (::access(dir.c_str(), W_OK | X_OK) != 0) {
    *error = path + ": its folder " + dir.string() + " does not take new files (" +
             std::strerror(errno) + "); nothing was changed";
    return false;
  }
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

std::optional<FileId> FileIdOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileId{st.st_dev, st.st_ino};
}

}  // namespace korund::host
