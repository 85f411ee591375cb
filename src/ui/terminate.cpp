#include "ui/terminate.h"

#include "util/run_settings.h"

namespace korund::ui {

void TerminateProgram(Ui& ui, const std::string& message) {
  TerminateProgram(ui, message, message.empty() ? ExitReason::kStopped : ExitReason::kFatal);
}

void TerminateProgram(Ui& ui, const std::string& message, ExitReason reason) {
  if (!message.empty()) {
    ui.MsgBox("ERROR\r" + message + "\rPROGRAM TERMINATED", kMbIconStop | kMbOk, AppTitle());
  }
  throw TerminateProgramError(reason, message);
}

}  // namespace korund::ui
