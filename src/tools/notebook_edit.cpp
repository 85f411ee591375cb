#include "tools/notebook_edit.h"

#include "host/notebook_store.h"
#include "notebook/notebook_file.h"
#include "util/text.h"

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

notebook::Item* WorksheetToEdit(notebook::Notebook& doc, const std::string& name,
                                const std::string& file, bool create, std::string* error) {
  if (name.empty() || doc.Find(name) != nullptr) {
    return notebook::ChooseWorksheet(doc, name, file, error);
  }
  if (create) {
    notebook::Item& sheet = doc.AddWorksheet(name);
    if (!doc.current()) doc.set_current(name);
    return &sheet;
  }
  *error = "worksheet " + QuotedExcerpt(name) + " is not in " + file + "; " +
           notebook::WorksheetList(doc);
  return nullptr;
}

}  // namespace korund::tools
