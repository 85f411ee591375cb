// The host when no notebook was named: it can never be reached, so the
// attach goes through the program's own "NO WORKSHEET" handling.
#pragma once

#include <memory>
#include <string>

#include "host/host.h"

namespace korund::shell {

class NoNotebookHost : public host::Host {
 public:
  std::unique_ptr<host::Application> Connect(std::string* error) override {
    if (error != nullptr) *error = "no notebook given (use --notebook FILE or KORUND_NOTEBOOK)";
    return nullptr;
  }
};

}  // namespace korund::shell
