// The interactive back end: boxes and options dialogs as text on a
// terminal, answered by typed lines.
//
//   - a button is pressed by its access letter (either case) or its number;
//     Enter presses the default button;
//   - "?" (or F1 followed by Enter) shows the help topic of the box;
//   - end of input means Cancel/Stop: a message dialog returns its "&Stop",
//     "&Cancel" or "Exit program" button (0 when it has none), a Retry/Cancel
//     box Cancel, an options dialog presses "cmdCancel";
//   - an options dialog lists its controls; a number toggles a check box,
//     selects an option button or edits a text box, a letter presses a
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
  void ShowHelp(int topic) override;
  void SetHelpFile(const std::string& path) override { help_file_ = path; }
  // Printed with the progress bar's stream (standard error).
  void Diagnostic(const std::string& text) override;

 private:
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

  TerminalOptions options_;
  std::istream& in_;
  std::ostream& out_;
  std::ostream& notes_;
  TerminalBar bar_;
  ClipboardSink clipboard_;
  std::string help_file_ = "KORUND.chm";
};

// True for the help key: "?" or the escape sequences of F1.
bool IsHelpKey(const std::string& line);

// "&Stop" -> "[S]top": the access letter made visible on a terminal.
std::string ShowAccessKey(const std::string& caption);

}  // namespace korund::ui
