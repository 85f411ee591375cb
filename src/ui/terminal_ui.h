// The interactive back end: boxes and options dialogs as text on a
// terminal, answered by typed lines.
//
//   - a box starts with a mark for its icon ("[stop]", "[?]", "[!]", "[i]");
//     stop and exclamation boxes ring the bell;
//   - a button is pressed by its access letter (either case) or its number;
//     Enter presses the default button;
//   - "?" (or F1 followed by Enter) prints the help page of the box or dialog;
//   - end of input means Cancel/Stop: a message dialog returns its "&Stop",
//     "&Cancel" or "Exit program" button (0 when it has none), a Retry/Cancel
//     box Cancel, an options dialog presses "cmdCancel";
//   - an options dialog lists its controls by caption, numbered; a number
//     toggles a check box, selects an option button or edits a text box (shown
//     with the caption of the check box it belongs to), a letter presses a
//     button.
// The streams are injected so tests drive it with string streams.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "ui/console.h"
#include "ui/form_overrides.h"
#include "ui/ui.h"

namespace korund::ui {

struct TerminalOptions {
  FormOverrides overrides;  // applied before an options dialog is shown
  std::string clipboard_file;
  ClipboardSink::DesktopClipboard desktop_clipboard = CopyToDesktopClipboard;
  int progress_max = 100;  // the bar is full at this value
  bool bell = true;        // ring for stop and exclamation boxes
};

class TerminalUi : public Ui {
 public:
  // in: the user's lines; out: boxes, dialogs, prompts; progress: the bar
  // (redrawn in place with CR) and notes.
  TerminalUi(TerminalOptions options, std::istream& in, std::ostream& out,
             std::ostream& progress);

  int MsgBox(const std::string& text, int flags, const std::string& title) override;
  int ShowMessageDialog(const MessageDialogView& view) override;
  void RunForm(FormModel& form) override;
  ProgressBar& Progress() override { return bar_; }
  void Clipboard(const std::string& text) override { clipboard_.Set(text); }
  void ClearClipboard() override { clipboard_.Clear(); }
  // Prints the topic's page (help_topics.h); the overview for an unknown one.
  void ShowHelp(int topic) override;
  // Printed with the progress bar's stream (standard error).
  void Diagnostic(const std::string& text) override;
  void SetBoxDetail(const std::string& text) override { box_detail_ = text; }

 private:
  std::string box_detail_;  // for the next MsgBox
  class TerminalBar : public ProgressBar {
   public:
    TerminalBar(std::ostream& out, int max) : out_(out), max_(max > 0 ? max : 100) {}
    int value() const override { return value_; }
    void set_value(int v) override;
    // Ends the bar's line so that the next text starts on a fresh one.
    void EndLine();

   private:
    std::ostream& out_;
    int max_;
    int value_ = 0;
    int drawn_ = -1;  // filled cells last drawn; -1 = no bar on screen
  };

  // The next line typed, without its line end; false at end of input.
  bool ReadLine(std::string* line);
  void ShowForm(const FormModel& form, const std::vector<FormControl>& controls);
  // The title line, the bell and the text with the icon's mark before it.
  void ShowBoxText(const std::string& title, int icon, const std::string& text);

  TerminalOptions options_;
  std::istream& in_;
  std::ostream& out_;
  std::ostream& notes_;
  TerminalBar bar_;
  ClipboardSink clipboard_;
};

// True for the help key: "?" or the escape sequences of F1.
bool IsHelpKey(const std::string& line);

// The mark a box's icon shows as: 16 "[stop]", 32 "[?]", 48 "[!]", 64 "[i]",
// "" for none. icon may carry button flags too.
std::string IconMark(int icon);

// A text box's caption: its own, else "<what> for: <caption of the check box
// before it>", e.g. "factor for: Group similar rates within a factor of".
std::string TextBoxCaption(const std::vector<FormControl>& controls, size_t index);

// "&Stop" -> "[S]top": the access letter made visible on a terminal.
std::string ShowAccessKey(const std::string& caption);

}  // namespace korund::ui
