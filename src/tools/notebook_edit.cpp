#include "tools/notebook_edit.h"

#include "host/notebook_store.h"
#include "notebook/notebook_file.h"

namespace korund::tools {

bool EditNotebook(const std::string& path,
                  const std::function<bool(notebook::Notebook&, std::string*)>& change,
                  std::string* error) {
  host::NotebookStore store;
  notebook::Notebook doc;
  if (!store.Open(path, &doc, error)) return false;
  if (!change(doc, error)) return false;
  std::string text;
  if (!notebook::SerializeNotebook(doc, path, &text, error)) return false;
  return store.Replace(text, error);
}

}  // namespace korund::tools
