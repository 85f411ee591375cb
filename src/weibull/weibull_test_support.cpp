#include "weibull/weibull_test_support.h"

#include "util/terminate.h"

namespace korund::weibull {

std::string Outcome(const std::function<void()>& f) {
  try {
    f();
  } catch (const TerminateProgramError& e) {
    return e.reason() == ExitReason::kStopped ? "stopped" : "fatal";
  }
  return "";
}

}  // namespace korund::weibull
