// A Ui for tests: records every box and dialog it is shown and answers from a
// script. Unscripted questions get the default button, except a Retry/Cancel
// box, which gets Cancel (a retry would change nothing in a test).
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace korund {

// "" when f returns; "stopped", "fatal" or "status N" when it ends the run.
std::string Outcome(const std::function<void()>& f);

}  // namespace korund

namespace korund::ui {

class RecordingProgressBar : public ProgressBar {
 public:
  int value() const override { return value_; }
  void set_value(int v) override {
    value_ = v;
    history.push_back(v);
  }
  std::vector<int> history;

 private:
  int value_ = 0;
};

class ScriptedUi : public Ui {
 public:
  struct Shown {
    std::string kind;  // "msgbox", "dialog" or "form"
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    int flags = 0;  // msgbox flags, or the dialog's icon
    std::string answer;
  };

  // The next box or dialog titled `title` is answered by pressing the button
  // with this caption ("&Stop" or "Stop"; "OK", "Cancel", "Retry" for
  // standard boxes). Answers for one title are used in order.
  void Answer(const std::string& title, const std::string& caption);

  // Runs an options dialog; the default presses the default button.
  std::function<void(FormModel&)> form_script;

  int MsgBox(const std::string& text, int flags, const std::string& title) override;
  int ShowMessageDialog(const MessageDialogView& view) override;
  void RunForm(FormModel& form) override;
  ProgressBar& Progress() override { return progress; }
  void Clipboard(const std::string& text) override {
    clipboard = text;
    clipboard_sets++;
  }
  void ClearClipboard() override {
    clipboard.clear();
    clipboard_clears++;
  }
  void ShowHelp(int topic) override { help_topics.push_back(topic); }
  void Diagnostic(const std::string& text) override { diagnostics.push_back(text); }
  std::vector<std::string> TakeDiagnostics() override {
    std::vector<std::string> taken(diagnostics.begin() + static_cast<long>(taken_), diagnostics.end());
    taken_ = diagnostics.size();
    return taken;
  }

  // Titles of everything shown, in order (handy in assertions).
  std::vector<std::string> Titles() const;
  // Everything shown as "title: text" lines.
  std::string Boxes() const;

  std::vector<Shown> shown;
  RecordingProgressBar progress;
  std::string clipboard;
  int clipboard_sets = 0;
  int clipboard_clears = 0;
  std::vector<int> help_topics;
  std::vector<std::string> diagnostics;
  size_t taken_ = 0;  // diagnostics handed out by TakeDiagnostics

 private:
  bool TakeAnswer(const std::string& title, std::string* caption);
  std::map<std::string, std::deque<std::string>> answers_;
};

// A message dialog for the back ends' tests: the text "The worksheet is
// locked.\r\rUnlock it?", help topic 1047, no icon, and the buttons named by
// `captions` (up to four; "" hides one).
MessageDialogView TestDialog(const std::string& title, std::vector<std::string> captions,
                             int default_button = 1);

}  // namespace korund::ui
