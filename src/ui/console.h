// Helpers the text back ends (batch, terminal) share: turning the program's
// texts into terminal lines, matching button captions, the clipboard sink.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace korund::ui {

// A text of the program as a terminal shows it: line breaks as "\n" (see
// ToDisplayLines), tabs kept, every other control character (C0, DEL, C1)
// escaped as "\xNN", so that a name or cell read from a file cannot move
// the cursor, recolour the screen or retitle the window.
std::string ToTerminalText(std::string_view text);

// Strips the access-key marker: "&Stop" -> "Stop".
std::string StripAmpersand(const std::string& caption);

// True when a typed answer names the caption: "&" markers are ignored on
// both sides and letters compare without case ("stop" names "&Stop").
bool CaptionMatches(const std::string& caption, const std::string& answer);

// The button a typed character presses among captions (index 0-based), the
// message dialog's rule: "&" + the upper-case character must occur in the
// upper-case caption; the last match wins. -1 when none.
int PressedByKey(const std::vector<std::string>& captions, char key);

// Where copied tables go when there is no platform clipboard: a file named
// on the command line, else the desktop clipboard, else a note.
class ClipboardSink {
 public:
  // Puts text on the desktop clipboard; false when no clipboard tool ran.
  using DesktopClipboard = std::function<bool(const std::string& text)>;

  // file "" means no file. notes receives the fallback note.
  ClipboardSink(std::string file, DesktopClipboard desktop, std::ostream& notes);

  void Set(const std::string& text);
  void Clear();

 private:
  std::string file_;
  DesktopClipboard desktop_;
  std::ostream& notes_;
};

// wl-copy (Wayland) or xclip (X11) when a display is set and the tool is on
// PATH; false otherwise or when the tool failed.
bool CopyToDesktopClipboard(const std::string& text);

}  // namespace korund::ui
