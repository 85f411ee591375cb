#include "tools/notebook_edit.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "host/atomic_file.h"
#include "host/file_lock.h"
#include "notebook/notebook_file.h"

namespace korund::tools {

bool EditNotebook(const std::string& path,
                  const std::function<bool(notebook::Notebook&, std::string*)>& change,
                  std::string* error) {
  host::FileLock lock;
  if (!lock.Lock(path, error)) return false;
  notebook::Notebook doc;
  if (!notebook::LoadNotebookFile(path, &doc, nullptr, error)) return false;
  if (!host::CheckReplaceable(path, error)) return false;
  host::RemoveStaleTemporaries(path);
  if (!change(doc, error)) return false;
  std::string text;
  if (!notebook::SerializeNotebook(doc, path, &text, error)) return false;
  return host::WriteFileAtomically(path, text, error);
}

bool RefuseNotebookAsOutput(const std::string& output, const std::string& notebook_path,
                            std::string* error) {
  if (host::SameFile(output, notebook_path) ||
      host::SameFile(output, host::FileLock::LockPathFor(notebook_path))) {
    *error = output + " is the notebook itself (or its lock file); choose another output file";
    return false;
  }
  return true;
}

bool WriteOutputFile(const std::string& path,
                     const std::function<bool(const std::string&, std::string*)>& write,
                     std::string* error) {
  std::string temp = path + ".partial-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    *error = path + ": cannot create a file beside it";
    return false;
  }
  ::close(fd);
  std::string bytes;
  bool ok = write(temp, error) && notebook::ReadWholeFile(temp, &bytes, error) &&
            host::WriteFileAtomically(path, bytes, error);
  std::remove(temp.c_str());
  return ok;
}

}  // namespace korund::tools
