// The in-process host: the host seam over a notebook the program holds in
// memory (the desktop application's open notebook). A run works on a copy;
// Release puts the copy in the notebook's place, so a run that stops early
// leaves the notebook exactly as it was and a completed run changes it in
// one step.
#pragma once

#include <memory>
#include <string>

#include "host/host.h"
#include "notebook/notebook.h"

namespace korund::host {

class InProcessHost : public Host {
 public:
  // worksheet: the worksheet to work on; "" takes the notebook's current one.
  // The notebook must outlive every application this host hands out.
  InProcessHost(notebook::Notebook& notebook, std::string worksheet = "")
      : notebook_(notebook), worksheet_(std::move(worksheet)) {}

  // nullptr with *error ("notebook: ...") when there is no such worksheet.
  std::unique_ptr<Application> Connect(std::string* error) override;

 private:
  notebook::Notebook& notebook_;
  std::string worksheet_;
};

}  // namespace korund::host
