// A Ui decorator that records every box and dialog the run shows, one JSON
// object per line:
//   {"kind": "msgbox"|"dialog", "title": ..., "text": ..., "buttons": [...],
//    "answer": ...}
// Texts are recorded exactly as the program built them (carriage returns
// included); a standard box's empty title as the application title it shows.
//   - msgbox: buttons ["OK"] or ["Retry", "Cancel"], answer one of them;
//   - message dialog: the visible captions with their "&", answer the caption
//     pressed, null when it was closed without a button;
//   - options dialog: kind "dialog", title its caption, text its labels
//     joined by "\r", buttons the captions of its buttons, answer the caption
//     of the button that closed it (null when none did). It is recorded when
//     it closes, so the boxes its OK button shows while the analysis runs
//     come before it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace korund::ui {

class TranscriptUi : public Ui {
 public:
  // Records into out (flushed after each line) and forwards to inner.
  TranscriptUi(Ui& inner, std::ostream& out) : inner_(inner), out_(out) {}

  int MsgBox(const std::string& text, int flags, const std::string& title) override;
  int ShowMessageDialog(const MessageDialogView& view) override;
  void RunForm(FormModel& form) override;
  ProgressBar& Progress() override { return inner_.Progress(); }
  void Clipboard(const std::string& text) override { inner_.Clipboard(text); }
  void ClearClipboard() override { inner_.ClearClipboard(); }
  void ShowHelp(int topic) override { inner_.ShowHelp(topic); }
  void SetHelpFile(const std::string& path) override { inner_.SetHelpFile(path); }
  void SetHelpReader(HelpReader reader) override { inner_.SetHelpReader(reader); }
  void Diagnostic(const std::string& text) override { inner_.Diagnostic(text); }  // not recorded
  void SetBoxDetail(const std::string& text) override { inner_.SetBoxDetail(text); }
  std::vector<std::string> TakeDiagnostics() override { return inner_.TakeDiagnostics(); }

 private:
  // answer nullptr writes null.
  void Record(const std::string& kind, const std::string& title, const std::string& text,
              const std::vector<std::string>& buttons, const std::string* answer);

  Ui& inner_;
  std::ostream& out_;
};

}  // namespace korund::ui
