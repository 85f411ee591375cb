// ui/: the UI seam and its text back ends. Everything the program shows to
// people goes through Ui (this file): message boxes, the message dialog's
// window, options dialogs as back-end-independent form models, the progress
// bar, the clipboard and help. The back ends here print to a terminal
// (terminal_ui.h), answer by rule (batch_ui.h) or record a transcript
// (transcript_ui.h); help_topics.h holds the help pages. The analysis code
// never names a back end; main picks one, and tests use ScriptedUi
// (testing/scripted_ui.h), which records and answers from a script.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/help_topics.h"

namespace korund::ui {

// Standard message-box flags (the same numbers as the platform's).
inline constexpr int kMbOk = 0;
inline constexpr int kMbRetryCancel = 5;
inline constexpr int kMbIconStop = 16;
inline constexpr int kMbIconQuestion = 32;
inline constexpr int kMbIconExclamation = 48;
inline constexpr int kMbIconInformation = 64;

// Standard message-box results.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdRetry = 4;

// What the message dialog (dialogs/message_dialog.h) hands a back end: the
// laid-out window. Layout numbers are in twips.
struct MessageDialogView {
  std::string title;                 // the window caption, already defaulted
  std::string text;
  std::vector<std::string> captions;  // four captions, "" for a hidden button
  std::vector<bool> visible;          // four flags
  int default_button = 1;             // 1-based
  int icon = 0;                       // 0, 16, 32, 48 or 64 (already validated)
  int help_topic = 0;
  // Layout (twips).
  int width = 0, height = 0;
  int text_left = 0, text_top = 0, text_width = 0, text_height = 0;
  int button_top = 0;
  std::vector<int> button_lefts;  // four
  int button_width = 0;
  // Maps a typed character to the button it presses (0: none).
  std::function<int(char)> access_key;
};

// A control of an options dialog, as the back ends present it.
struct FormControl {
  enum class Kind { kLabel, kCheck, kOption, kText, kButton };
  Kind kind = Kind::kLabel;
  std::string name;     // "chkLock", "optFopt(1)", "txtRateFactor", "cmdOK"...
  std::string caption;  // caption or label text
  bool checked = false;  // check boxes and option buttons
  std::string text;      // text boxes
  bool enabled = true;
  std::string group;    // option buttons of one choice share a group
  std::string tooltip;  // shown on hover by graphical back ends; "" for none
  // A text box holding a whole number in spin_min..spin_max: graphical back
  // ends may draw it with up and down arrows. Both 0: an ordinary text box.
  int spin_min = 0;
  int spin_max = 0;
};

// An options dialog as a back-end-independent model. The back end shows
// Controls(), feeds the user's changes back through the setters (which run
// the dialog's event handlers) and presses buttons until Closed().
class FormModel {
 public:
  virtual ~FormModel() = default;
  virtual std::string Caption() const = 0;
  virtual std::vector<FormControl> Controls() const = 0;
  virtual int HelpTopic() const = 0;
  virtual void SetChecked(const std::string& name, bool checked) = 0;
  virtual void SelectOption(const std::string& name) = 0;
  // Sets a text box; runs its validation when the focus would leave it.
  virtual void SetText(const std::string& name, const std::string& text) = 0;
  virtual void Press(const std::string& name) = 0;  // may throw TerminateProgramError
  virtual bool Closed() const = 0;
  virtual std::string DefaultButton() const { return "cmdOK"; }
};

// The progress bar an analysis advances.
class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual int value() const = 0;
  virtual void set_value(int v) = 0;
  void Add(int d) { set_value(value() + d); }
};

class Ui {
 public:
  virtual ~Ui() = default;

  // A standard message box; flags = icon + buttons (kMbOk or kMbRetryCancel).
  // An empty title is shown as the application title. Returns kIdOk,
  // kIdCancel or kIdRetry.
  virtual int MsgBox(const std::string& text, int flags, const std::string& title) = 0;

  // Shows the message dialog modally; returns the 1-based button pressed,
  // or 0 when it was closed without a button.
  virtual int ShowMessageDialog(const MessageDialogView& view) = 0;

  // Runs an options dialog until it closes. The model's handlers may throw
  // TerminateProgramError (Cancel); it passes through.
  virtual void RunForm(FormModel& form) = 0;

  // The progress bar of the dialog that is running the analysis.
  virtual ProgressBar& Progress() = 0;

  // The system clipboard: set plain text, clear.
  virtual void Clipboard(const std::string& text) = 0;  // set plain text
  virtual void ClearClipboard() = 0;
  // Opens the help topic (the F1 key of the platform).
  virtual void ShowHelp(int topic) = 0;
  // The help file ShowHelp opens; the run sequence sets it at start-up.
  // Back ends without help ignore it.
  virtual void SetHelpFile(const std::string& path) { (void)path; }
  // Whose pages ShowHelp opens (the studio's name its menus). Back ends
  // that print the pages keep the command line's.
  virtual void SetHelpReader(HelpReader reader) { (void)reader; }

  // A detail for the person running the program that is not one of the
  // program's boxes (for example why a notebook could not be opened). Not
  // recorded in transcripts; back ends print it to standard error.
  virtual void Diagnostic(const std::string& /*text*/) {}
  // The diagnostics said since the last call, for a back end whose window
  // shows them after the run (the desktop program's status bar); back ends
  // that print them at once keep none.
  virtual std::vector<std::string> TakeDiagnostics() { return {}; }

  // What went wrong, in this program's terms, behind the next MsgBox (a box
  // whose text names the graphing host, which the user does not have). A
  // window shows it as the box's detail text; a terminal or batch run as a
  // line after the box. Back ends that show no such detail say it at once.
  virtual void SetBoxDetail(const std::string& text) { Diagnostic(text); }
};

}  // namespace korund::ui
