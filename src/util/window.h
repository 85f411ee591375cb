// Window helpers that keep the program's dialogs in front of the host
// application and give them a task-bar button.
//
// This platform has no such window styles, so both are no-ops here; nothing
// in the program depends on their effect. A Windows build would call
// SetWindowPos (flags SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE |
// SWP_SHOWWINDOW) and toggle WS_EX_APPWINDOW between ShowWindow hide/show.
#pragma once

#include <cstdint>

namespace korund {

// Opaque handle of a platform window; nullptr when there is none.
using WindowHandle = void*;

// on_top -1 (true): topmost; 0 (false): not topmost; any other value: only
// brought to the top of its band. No-op on this platform.
inline void SetTopmost(WindowHandle /*window*/, int16_t /*on_top*/) {}

// show true (-1) gives the window a task-bar button, false removes it.
// No-op on this platform.
inline void ShowInTaskbar(WindowHandle /*window*/, int16_t /*show*/) {}

}  // namespace korund
