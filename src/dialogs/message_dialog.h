// The dialogs every analysis shares: the program's own message box
// (MyMsgBox, here), the questions the worksheet guards ask (guard_questions.h)
// and the controls of the options dialogs (options_common.h). They lay out
// and ask; the UI back end draws and answers.
//
// MyMsgBox: the program's own modal message box with up to four
// caller-named buttons, an icon and a help topic. Go lays the window out
// (in twips) in a back-end-independent MessageDialogView and lets the UI
// back end show it.
#pragma once

#include <array>
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

// What one message dialog shows. Callers name the fields they set (every
// member has a default, so that naming only some of them is no omission):
//   msg.Go({.text = "...", .buttons = {"&Continue", "&Stop"}, .icon = 48,
//           .title = "...", .default_button = 1});
struct Message {
  std::string text = {};
  // Captions of buttons 1..4; "" hides a button, but button 1 is always
  // shown and an empty caption 2 leaves button 1 alone whatever follows.
  std::array<std::string, 4> buttons = {};
  bool stretch = false;  // buttons share the whole width instead of a fixed one
  // 0, 16, 32, 48, 64 (other bits ignored; 80, 96, 112 are reported).
  int32_t icon = 0;
  std::string title = {};  // "" shows the application title
  int16_t default_button = 1;
  float scale = 1.0f;  // window width factor (scale x 5745 twips)
};

class MessageDialog {
 public:
  explicit MessageDialog(ui::Ui& ui) : ui_(ui) {}

  // The help topic the F1 key opens while the dialog is shown.
  void set_help_topic(int topic) { help_topic_ = topic; }
  int help_topic() const { return help_topic_; }

  // Shows the dialog and returns the number (1..4) of the button pressed, or
  // 0 when it was closed without one. Icons 80, 96 and 112 report "Invalid
  // Icons bit in MyMsgBox.Go: " in a box first.
  int Go(const Message& m);

  // The layout Go would show, without showing it (reports nothing).
  ui::MessageDialogView Layout(const Message& m) const;

 private:
  ui::Ui& ui_;
  int help_topic_ = 0;
};

}  // namespace korund::dialogs
