#include "host/notebook_store.h"

#include <sys/stat.h>

#include "notebook/notebook_file.h"

namespace korund::host {

bool NotebookStore::TakeLock(const std::string& path, std::unique_ptr<FileLock>* taken,
                             std::string* error) {
  // Reopening the file this store holds must not fail on its own lock.
  if (lock_ && SameFile(path, path_)) return true;
  auto lock = std::make_unique<FileLock>(*disk_);
  if (!lock->Lock(path, error)) return false;
  *taken = std::move(lock);
  return true;
}

bool NotebookStore::Open(const std::string& path, notebook::Notebook* notebook,
                         std::string* error) {
  std::unique_ptr<FileLock> taken;
  if (!TakeLock(path, &taken, error)) return false;
  notebook::Notebook read;
  std::string bytes;
  if (!notebook::LoadNotebookFile(path, &read, &bytes, error)) return false;
  // A notebook that could not be written back is refused before any work.
  if (!CheckReplaceable(path, error)) return false;
  if (taken) lock_ = std::move(taken);  // the old file's lock goes
  path_ = path;
  id_ = FileIdOf(path).value_or(FileId{});
  bytes_ = std::move(bytes);
  RemoveStaleTemporaries(path);
  *notebook = std::move(read);
  return true;
}

bool NotebookStore::Lock(const std::string& path, std::string* error) {
  std::unique_ptr<FileLock> taken;
  if (!TakeLock(path, &taken, error)) return false;
  if (taken) lock_ = std::move(taken);
  path_ = path;
  id_ = FileId{};
  bytes_.clear();
  return true;
}

bool NotebookStore::Unchanged() const {
  struct stat now {};
  if (::stat(path_.c_str(), &now) != 0 || FileId{now.st_dev, now.st_ino} != id_ ||
      static_cast<uint64_t>(now.st_size) != bytes_.size()) {
    return false;  // the size tells most changes without reading the file
  }
  std::string bytes, error;
  return notebook::ReadWholeFile(path_, &bytes, &error) && bytes == bytes_;
}

bool NotebookStore::Replace(std::string_view text, std::string* error,
                            const BeforeReplace& before_replace) {
  AtomicFileWriter file(path_, *disk_);
  if (!file.Open(error) || !file.Write(text, error) || !file.Commit(error, before_replace)) {
    return false;
  }
  id_ = file.committed();
  bytes_ = text;
  return true;
}

bool WriteNotebookAtomically(const notebook::Notebook& notebook, const std::string& target,
                             const std::string& name, std::string* error,
                             const BeforeReplace& before_replace, FileSystem& disk) {
  AtomicFileWriter file(target, disk);
  if (!file.Open(error)) return false;
  std::string write_error;
  auto sink = [&](std::string_view piece) { return file.Write(piece, &write_error); };
  if (!notebook::WriteNotebookText(notebook, name, sink, error)) {
    if (!write_error.empty()) *error = write_error;
    return false;  // the temporary file goes with `file`
  }
  return file.Commit(error, before_replace);
}

bool RefuseNotebookAsOutput(const std::string& output, const std::string& notebook_path,
                            std::string* error) {
  if (SameFile(output, notebook_path) || SameFile(output, FileLock::LockPathFor(notebook_path))) {
    *error = output + " is the notebook itself (or its lock file); choose another output file";
    return false;
  }
  return true;
}

}  // namespace korund::host
