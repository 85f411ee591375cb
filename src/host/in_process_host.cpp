#include "host/in_process_host.h"

#include <utility>

#include "host/notebook_session.h"

namespace korund::host {
namespace {

class InProcessApplication : public Application {
 public:
  InProcessApplication(notebook::Notebook& target, const std::string& worksheet)
      : target_(target), copy_(target), session_(copy_, worksheet) {}

  NotebookDocument* ActiveNotebook() override { return &session_; }
  void SetProperty(Property, bool) override {}
  bool Release(std::string*) override {
    if (!released_) target_ = std::move(copy_);
    released_ = true;
    return true;
  }

 private:
  notebook::Notebook& target_;
  notebook::Notebook copy_;
  NotebookSession session_;
  bool released_ = false;
};

}  // namespace

std::unique_ptr<Application> InProcessHost::Connect(std::string* error) {
  notebook::Item* sheet = notebook::ChooseWorksheet(notebook_, worksheet_, "notebook", error);
  if (sheet == nullptr) return nullptr;
  return std::make_unique<InProcessApplication>(notebook_, sheet->name());
}

}  // namespace korund::host
