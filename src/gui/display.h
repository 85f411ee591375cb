// Whether there is a display for the Qt back end. Free of Qt itself, so
// that korund can decide without loading Qt.
#pragma once

namespace korund::gui {

// True when a display is named for Qt's usual platforms: DISPLAY or
// WAYLAND_DISPLAY is set and not empty.
bool DisplayAvailable();

// DisplayAvailable, and the named display's socket is there when it is a
// local one (":0", a Wayland name under XDG_RUNTIME_DIR). A stale DISPLAY
// left in the environment must not make Qt the default back end: Qt ends
// the process when it cannot connect.
bool DisplayReachable();

// Before a QApplication is made: when the environment names no Qt platform
// and no display is reachable, chooses the offscreen platform, so that Qt
// draws into memory instead of ending the process. True when it did.
bool ChooseOffscreenWithoutDisplay();

}  // namespace korund::gui
