// TerminateProgram: the program-wide fatal exit.
#pragma once

#include <string>

#include "ui/ui.h"
#include "util/terminate.h"

namespace korund::ui {

// Shows "ERROR" CR message CR "PROGRAM TERMINATED" (stop icon, OK, the
// application title) when message is not empty, then throws
// TerminateProgramError, which only main catches. Never returns. The reason
// defaults to kFatal for a message and kStopped for an empty one.
[[noreturn]] void TerminateProgram(Ui& ui, const std::string& message);
[[noreturn]] void TerminateProgram(Ui& ui, const std::string& message, ExitReason reason);

}  // namespace korund::ui
