#include "host/file_host.h"

#include <filesystem>
#include <utility>

#include "host/file_lock.h"
#include "host/notebook_file.h"

namespace korund::host {
namespace {

class FileApplication : public Application {
 public:
  FileApplication(std::string path, NotebookDocument doc, std::string original_bytes,
                  std::string baseline, std::unique_ptr<FileLock> lock)
      : path_(std::move(path)),
        doc_(std::move(doc)),
        original_bytes_(std::move(original_bytes)),
        baseline_(std::move(baseline)),
        lock_(std::move(lock)) {
    for (auto& item : doc_.model.items) item->owner = &doc_.model;
  }

  Notebook* ActiveNotebook() override { return &doc_.model; }
  void SetProperty(int, bool) override {}  // nothing in a file answers to them
  bool Release(std::string* error) override;

  void SelectWorksheet(const std::string& name) { doc_.model.current = name; }

 private:
  bool SaveAside(const std::string& text, std::string* error);

  std::string path_;
  NotebookDocument doc_;
  std::string original_bytes_;  // the file as read at Connect
  std::string baseline_;        // the model as saved text at Connect
  std::unique_ptr<FileLock> lock_;
  bool released_ = false;
};

bool FileApplication::Release(std::string* error) {
  if (released_) return true;
  released_ = true;
  std::string text;
  bool ok = SaveNotebook(doc_, path_, &text, error);
  // A run that changed nothing leaves the file untouched, byte for byte.
  if (ok && text != baseline_) {
    std::string now_bytes, read_error;
    if (!ReadWholeFile(path_, &now_bytes, &read_error) || now_bytes != original_bytes_) {
      ok = SaveAside(text, error);
    } else {
      ok = WriteFileAtomically(path_, text, error);
    }
  }
  lock_->Unlock();
  return ok;
}

bool FileApplication::SaveAside(const std::string& text, std::string* error) {
  const std::string aside = ResultsPathFor(path_, std::time(nullptr));
  std::string write_error;
  const std::string what = path_ + " was changed by another program while korund was running," +
                           " so it was not overwritten.";
  if (!WriteFileAtomically(aside, text, &write_error)) {
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
  auto lock = std::make_unique<FileLock>();
  if (!lock->Lock(path_, error)) return nullptr;
  NotebookDocument doc;
  std::string bytes;
  if (!LoadNotebookFile(path_, &doc, &bytes, error)) return nullptr;

  MemoryItem* sheet = ChooseWorksheet(doc, worksheet_, path_, error);
  if (sheet == nullptr) return nullptr;
  const std::string wanted = sheet->name;
  std::string baseline;
  if (!SaveNotebook(doc, path_, &baseline, error)) return nullptr;
  auto app = std::make_unique<FileApplication>(path_, std::move(doc), std::move(bytes),
                                               std::move(baseline), std::move(lock));
  // The session works on the chosen worksheet; the stored current one only
  // changes through korund-notebook select.
  app->SelectWorksheet(wanted);
  return app;
}

}  // namespace korund::host
