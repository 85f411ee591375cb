// A notebook file held by this process, from opening to the last write: the
// one place that locks, reads, checks and replaces notebook files, for the
// file host, korund-notebook's editing commands and the studio.
//
// Open locks the file (file_lock.h; the lock file is never reached through
// a symbolic link), reads it (a regular file of at most
// notebook::kMaxFileBytes), parses it and refuses a file this user could
// not replace. The store then remembers which file it read and its bytes:
// the file counts as changed by someone else as soon as the name stands
// for another file or the file holds other bytes. Writes replace the file
// atomically (atomic_file.h) and are remembered the same way. The lock is
// held until Unlock or the store's end. Locking and writing go through a
// FileSystem (file_system.h), the real disk unless the caller gives
// another; reading and the checks look at the real disk.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/atomic_file.h"
#include "host/file_lock.h"
#include "notebook/notebook.h"

namespace korund::host {

class NotebookStore {
 public:
  explicit NotebookStore(FileSystem& disk = RealFileSystem()) : disk_(&disk) {}
  NotebookStore(NotebookStore&&) = default;
  NotebookStore& operator=(NotebookStore&&) = default;

  // Locks `path`, reads and parses it into *notebook, checks that it can be
  // replaced and removes the temporary files a killed write left beside it.
  // Reopening the file the store holds keeps its lock. False with *error
  // ("FILE: problem"); *notebook is then unchanged, and a store that held
  // another file still holds it.
  bool Open(const std::string& path, notebook::Notebook* notebook, std::string* error);
  // Takes the lock for a file about to be written (which may not exist
  // yet) without reading it. False with *error as Open.
  bool Lock(const std::string& path, std::string* error);
  // Lets go of the file; harmless when none is held.
  void Unlock() { lock_.reset(); }

  // True while the file at path() is the one last read or written here:
  // the same file (device and inode) holding the same bytes. False when it
  // is gone or cannot be read.
  bool Unchanged() const;

  // Replaces the file at path() with `text` (atomic_file.h) and remembers
  // it. False with *error; the file is then as it was.
  bool Replace(std::string_view text, std::string* error,
               const BeforeReplace& before_replace = nullptr);

  const std::string& path() const { return path_; }

 private:
  // Takes `path`'s lock unless this store holds that file already; false
  // with *error, this store unchanged.
  bool TakeLock(const std::string& path, std::unique_ptr<FileLock>* taken, std::string* error);

  FileSystem* disk_;
  std::unique_ptr<FileLock> lock_;  // null when no file is held
  std::string path_;
  FileId id_;
  std::string bytes_;  // the file as last read or written here
};

// Writes `notebook` to `target` atomically, its text handed to the file as
// it is made and never whole in memory; `name` is the notebook file named
// in errors. False with *error; target is then unchanged.
bool WriteNotebookAtomically(const notebook::Notebook& notebook, const std::string& target,
                             const std::string& name, std::string* error,
                             const BeforeReplace& before_replace = nullptr,
                             FileSystem& disk = RealFileSystem());

// An output that would replace the notebook at `notebook_path` or its lock
// file (directly or through a link) is refused: it would destroy the data
// without the lock. False with *error then.
bool RefuseNotebookAsOutput(const std::string& output, const std::string& notebook_path,
                            std::string* error);

}  // namespace korund::host
