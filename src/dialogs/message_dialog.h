// MyMsgBox: the program's own modal message box with up to four
// caller-named buttons, an icon and a help topic. Go lays the window out
// (in twips) in a back-end-independent MessageDialogView and lets the UI
// back end show it.
#pragma once

#include <cstdint>
#include <string>

#include "ui/ui.h"

namespace korund::dialogs {

// The text metric of the message label, fixed so that layout does not depend
// on fonts: every character (UTF-8 code point) is 90 twips wide and every
// line 195 twips high. Lines break at each CR, LF or CR LF and wrap greedily
// at blanks to the label width; a word longer than a line is cut.
inline constexpr int kMessageCharWidth = 90;
inline constexpr int kMessageLineHeight = 195;

// Height in twips of text wrapped to width twips (at least one character per
// line, so a width too small for one still gives a finite height). The empty
// text is one line high.
int WrappedTextHeight(const std::string& text, int width);

class MessageDialog {
 public:
  explicit MessageDialog(ui::Ui& ui) : ui_(ui) {}

  // The help topic the F1 key opens while the dialog is shown.
  void set_help_topic(int topic) { help_topic_ = topic; }
  int help_topic() const { return help_topic_; }

  // Shows the dialog and returns the number (1..4) of the button pressed, or
  // 0 when it was closed without one. captionN "" hides button N (button 1 is
  // always shown); icons: 0, 16, 32, 48, 64 (other bits ignored; 80, 96, 112
  // report "Invalid Icons bit in MyMsgBox.Go: " first); title "" shows the
  // application title; scale: window width factor (scale x 5745 twips).
  int Go(const std::string& text, const std::string& caption1, const std::string& caption2,
         const std::string& caption3, const std::string& caption4, bool stretch, int32_t icons,
         const std::string& title, int16_t default_button, float scale);

  // The layout Go would show, without showing it (reports nothing).
  ui::MessageDialogView Layout(const std::string& text, const std::string& caption1,
                               const std::string& caption2, const std::string& caption3,
                               const std::string& caption4, bool stretch, int32_t icons,
                               const std::string& title, int16_t default_button,
                               float scale) const;

 private:
  ui::Ui& ui_;
  int help_topic_ = 0;
};

}  // namespace korund::dialogs
