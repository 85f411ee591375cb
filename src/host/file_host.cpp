#include "host/file_host.h"

#include <filesystem>
#include <utility>

#include "host/notebook_session.h"
#include "host/notebook_store.h"
#include "notebook/notebook_file.h"

namespace korund::host {
namespace {

class FileApplication : public Application {
 public:
  // The session works on `worksheet`; the stored current worksheet only
  // changes through korund-notebook select.
  FileApplication(NotebookStore store, notebook::Notebook notebook, const std::string& worksheet)
      : store_(std::move(store)),
        path_(store_.path()),
        notebook_(std::move(notebook)),
        as_read_(notebook_),
        session_(notebook_, worksheet) {}

  NotebookDocument* ActiveNotebook() override { return &session_; }
  void SetProperty(Property, bool) override {}  // nothing in a file answers to them
  bool Release(std::string* error) override;

 private:
  bool SaveAside(std::string* error);

  NotebookStore store_;  // the file read at Connect, locked
  const std::string path_;
  notebook::Notebook notebook_;
  const notebook::Notebook as_read_;  // the model at Connect
  NotebookSession session_;
  bool released_ = false;
};

bool FileApplication::Release(std::string* error) {
  if (released_) return true;
  released_ = true;
  // A run that changed nothing leaves the file untouched, byte for byte.
  if (notebook::SameFileText(notebook_, as_read_)) {
    store_.Unlock();
    return true;
  }
  // Checked again right before the new file takes the old one's place, so
  // that an edit made while the text was being written is not lost.
  bool changed = false;
  auto unchanged = [&](std::string*) {
    changed = !store_.Unchanged();
    return !changed;
  };
  bool ok = false;
  if (!store_.Unchanged()) {
    ok = SaveAside(error);
  } else if (!WriteNotebookAtomically(notebook_, path_, path_, error, unchanged)) {
    ok = changed ? SaveAside(error) : false;
  } else {
    ok = true;
  }
  store_.Unlock();
  return ok;
}

bool FileApplication::SaveAside(std::string* error) {
  const std::string aside = ResultsPathFor(path_, std::time(nullptr));
  std::string write_error;
  const std::string what = path_ + " was changed by another program while korund was running," +
                           " so it was not overwritten.";
  if (!WriteNotebookAtomically(notebook_, aside, path_, &write_error)) {
    *error = what + " The results could not be saved either: " + write_error;
  } else {
    *error = what + " The results were saved in " + aside + ".";
  }
  return false;
}

}  // namespace

std::string ResultsPathFor(const std::string& path, std::time_t when) {
  namespace fs = std::filesystem;
  fs::path p = path;
  std::string ext = p.extension().string();
  if (ext.empty()) ext = ".json";
  char stamp[32];
  std::tm tm_local{};
  localtime_r(&when, &tm_local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm_local);
  const std::string base = p.stem().string() + ".korund-" + stamp;
  std::error_code ec;
  for (int n = 1;; ++n) {
    std::string name = base + (n == 1 ? std::string() : "-" + std::to_string(n)) + ext;
    fs::path candidate = p.parent_path() / name;
    if (!fs::exists(candidate, ec)) return candidate.string();
  }
}

std::unique_ptr<Application> FileHost::Connect(std::string* error) {
  NotebookStore store;
  notebook::Notebook notebook;
  if (!store.Open(path_, &notebook, error)) return nullptr;
  notebook::Item* sheet = notebook::ChooseWorksheet(notebook, worksheet_, path_, error);
  if (sheet == nullptr) return nullptr;
  const std::string wanted = sheet->name();
  return std::make_unique<FileApplication>(std::move(store), std::move(notebook), wanted);
}

}  // namespace korund::host
