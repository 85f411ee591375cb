// The one "end the process at once" exit of the program. It is thrown by
// TerminateProgram (ui/terminate.h) and the other fatal exits and caught only
// by main, which maps the reason to the exit status. Nothing is written back.
#pragma once

#include <stdexcept>
#include <string>

namespace korund {

enum class ExitReason {
  kFatal = 1,       // a fatal error ended the run
  kNoAnalysis = 2,  // the command line named no analysis (or was empty)
  kStopped = 3,     // the user stopped or cancelled the run
};

class TerminateProgramError : public std::runtime_error {
 public:
  TerminateProgramError(ExitReason reason, const std::string& message)
      : std::runtime_error(message), reason_(reason) {}
  ExitReason reason() const { return reason_; }

 private:
  ExitReason reason_;
};

}  // namespace korund
