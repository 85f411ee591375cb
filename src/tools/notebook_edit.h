// Changing a notebook file safely: the one way korund-notebook's commands
// write a notebook (host/notebook_store.h does the work).
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

// The worksheet a command changes: the one named, or the current one when
// name is "". A named worksheet that is missing is added at the end (and
// made current when none is) with `create`; without, nullptr with *error
// listing the worksheets of the notebook (file names it).
notebook::Item* WorksheetToEdit(notebook::Notebook& doc, const std::string& name,
                                const std::string& file, bool create, std::string* error);

}  // namespace korund::tools
