// Changing a notebook file safely: the one way korund-notebook's commands
// write a notebook.
#pragma once

#include <functional>
#include <string>

#include "notebook/notebook.h"

namespace korund::tools {

// Locks the notebook, loads it, lets `change` work on it and writes it
// back atomically. Nothing is written when any step fails (false with
// *error; change reports its own failure through the error it is given).
bool EditNotebook(const std::string& path,
                  const std::function<bool(notebook::Notebook&, std::string*)>& change,
                  std::string* error);

// An output that would replace the notebook or its lock file (directly or
// through a link) is refused: it would destroy the data without the lock.
// False with *error then.
bool RefuseNotebookAsOutput(const std::string& output, const std::string& notebook_path,
                            std::string* error);

// Writes bytes made by `write` (which creates the file it is given) to
// path atomically: `write` fills a temporary file beside path, which then
// replaces path. False with *error; path is then unchanged.
bool WriteOutputFile(const std::string& path,
                     const std::function<bool(const std::string&, std::string*)>& write,
                     std::string* error);

}  // namespace korund::tools
