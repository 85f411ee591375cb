// Replacing a file so that readers see the old file or the new one, never a
// part: the notebook write-back, the settings file and korund-notebook's
// outputs all go through here. Also the checks that keep a notebook safe
// from its own outputs and from files a crashed run left behind.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "host/file_system.h"

namespace korund::host {

// Called after the new text is safely on disk and immediately before it
// replaces the target; false (with *error set) keeps the target as it is.
using BeforeReplace = std::function<bool(std::string* error)>;

// Replaces `path` with `bytes` atomically: a temporary file
// ".NAME.korund-tmp-XXXXXX" in the same folder is written, flushed to disk
// and renamed over the target, and the folder is flushed. An existing
// file's permissions are kept. False with *error ("PATH: ... (the file is
// unchanged)"); the target is then unchanged and no temporary file is left.
// Only a failure to flush the folder comes after the target was replaced;
// its error says so.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         const BeforeReplace& before_replace = nullptr);

// The same replacement for a writer that opens the file by name itself (a
// workbook library): `write` fills the temporary file it is given, once,
// and that file replaces `path`. Errors of `write` that name the temporary
// file name `path` instead. False with *error as above.
using WriteByName = std::function<bool(const std::string& temporary, std::string* error)>;
bool WriteOutputFile(const std::string& path, const WriteByName& write, std::string* error);

// The same replacement written piece by piece, for outputs too large to
// build in memory first: Open makes the temporary file, Write adds to it,
// Commit flushes it and renames it over the target. Every failure is
// reported as WriteFileAtomically reports it; a writer destroyed before a
// successful Commit removes its temporary file and leaves the target as it
// was.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::string path, FileSystem& disk = RealFileSystem());
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool Open(std::string* error);
  bool Write(std::string_view bytes, std::string* error);
  bool Commit(std::string* error, const BeforeReplace& before_replace = nullptr);

  // The file that replaced the target at the last successful Commit.
  const FileId& committed() const { return committed_; }

 private:
  friend bool WriteOutputFile(const std::string&, const WriteByName&, std::string*);

  bool WriteAll(std::string_view bytes, std::string* error);
  bool Flush(std::string* error);
  bool Fail(const std::string& what, int err, std::string* error);
  void Discard();

  FileSystem& disk_;
  std::string path_;
  std::string target_;  // the file a symbolic link points to
  std::string dir_;
  std::string tmp_;  // "" when there is none
  int fd_ = -1;
  std::string buffer_;
  FileId committed_;
};

// Removes the temporary files a killed write of `path` left beside it (only
// those of this file). Call it while holding the file's lock.
void RemoveStaleTemporaries(const std::string& path);

// False with *error when `path` cannot be replaced by this user: the file
// is read-only or its folder cannot take a new file.
bool CheckReplaceable(const std::string& path, std::string* error);

// True when the two paths name the same file (links followed); a path that
// does not exist yet names no existing file.
bool SameFile(const std::string& a, const std::string& b);

// The file `path` names now (links followed); nullopt when there is none.
std::optional<FileId> FileIdOf(const std::string& path);

}  // namespace korund::host
