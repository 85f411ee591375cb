#include "host/file_host.h"

#include <sys/stat.h>

#include <filesystem>
#include <utility>

#include "host/atomic_file.h"
#include "host/file_lock.h"
#include "host/notebook_session.h"
#include "notebook/notebook_file.h"

namespace korund::host {
namespace {

class FileApplication : public Application {
 public:
  // The session works on `worksheet`; the stored current worksheet only
  // changes through korund-notebook select.
  FileApplication(std::string path, notebook::Notebook notebook, const std::string& worksheet,
                  std::string original_bytes, std::unique_ptr<FileLock> lock)
      : path_(std::move(path)),
        notebook_(std::move(notebook)),
        as_read_(notebook_),
        session_(notebook_, worksheet),
        original_bytes_(std::move(original_bytes)),
        lock_(std::move(lock)) {
    ::stat(path_.c_str(), &original_stat_);
  }

  NotebookDocument* ActiveNotebook() override { return &session_; }
  void SetProperty(Property, bool) override {}  // nothing in a file answers to them
  bool Release(std::string* error) override;

 private:
  // True while the file on disk is the one read at Connect, unchanged.
  bool StillAttached() const;
  // Writes the notebook to target through a temporary file.
  bool WriteTo(const std::string& target, std::string* error,
               const BeforeReplace& before_replace = nullptr);
  bool SaveAside(std::string* error);

  std::string path_;
  notebook::Notebook notebook_;
  const notebook::Notebook as_read_;  // the model at Connect
  NotebookSession session_;
  std::string original_bytes_;  // the file as read at Connect
  struct stat original_stat_ {};  // which file that was
  std::unique_ptr<FileLock> lock_;
  bool released_ = false;
};

bool FileApplication::Release(std::string* error) {
  if (released_) return true;
  released_ = true;
  // A run that changed nothing leaves the file untouched, byte for byte.
  if (notebook::SameFileText(notebook_, as_read_)) {
    lock_->Unlock();
    return true;
  }
  RemoveStaleTemporaries(path_);
  // Checked again right before the new file takes the old one's place, so
  // that an edit made while the text was being written is not lost.
  bool changed = false;
  auto unchanged = [&](std::string*) {
    changed = !StillAttached();
    return !changed;
  };
  bool ok = false;
  if (!StillAttached()) {
    ok = SaveAside(error);
  } else if (!WriteTo(path_, error, unchanged)) {
    ok = changed ? SaveAside(error) : false;
  } else {
    ok = true;
  }
  lock_->Unlock();
  return ok;
}

bool FileApplication::WriteTo(const std::string& target, std::string* error,
                              const BeforeReplace& before_replace) {
  // The text goes to the file as it is made: the notebook written back is
  // several times the one read, and is never whole in memory.
  AtomicFileWriter file(target);
  if (!file.Open(error)) return false;
  std::string write_error;
  auto sink = [&](std::string_view piece) { return file.Write(piece, &write_error); };
  if (!notebook::WriteNotebookText(notebook_, path_, sink, error)) {
    if (!write_error.empty()) *error = write_error;
    return false;  // the temporary file goes with `file`
  }
  return file.Commit(error, before_replace);
}

bool FileApplication::StillAttached() const {
  struct stat now {};
  if (::stat(path_.c_str(), &now) != 0 || now.st_dev != original_stat_.st_dev ||
      now.st_ino != original_stat_.st_ino || now.st_size != original_stat_.st_size) {
    return false;
  }
  std::string now_bytes, read_error;
  return notebook::ReadWholeFile(path_, &now_bytes, &read_error) && now_bytes == original_bytes_;
}

bool FileApplication::SaveAside(std::string* error) {
  const std::string aside = ResultsPathFor(path_, std::time(nullptr));
  std::string write_error;
  const std::string what = path_ + " was changed by another program while korund was running," +
                           " so it was not overwritten.";
  if (!WriteTo(aside, &write_error)) {
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
  notebook::Notebook notebook;
  std::string bytes;
  if (!notebook::LoadNotebookFile(path_, &notebook, &bytes, error)) return nullptr;
  // A notebook the run could not write back is refused before the run.
  if (!CheckReplaceable(path_, error)) return nullptr;

  notebook::Item* sheet = notebook::ChooseWorksheet(notebook, worksheet_, path_, error);
  if (sheet == nullptr) return nullptr;
  const std::string wanted = sheet->name();
  return std::make_unique<FileApplication>(path_, std::move(notebook), wanted, std::move(bytes),
                                           std::move(lock));
}

}  // namespace korund::host
