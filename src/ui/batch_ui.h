// The back end for runs without a person: no questions are asked. Boxes are
// printed to standard error (the "FINISHED" box to standard output) and
// answered by rule:
//   - a standard OK box: OK; a Retry/Cancel box: always Cancel (a retry
//     would change nothing);
//   - "WORKSHEET IS LOCKED": "&Unlock" only when allow_unlock, else "&Stop";
//     --answer does not apply to it, so only an explicit --unlock unlocks;
//   - "CHECK THIS WORKSHEET IS FOR ...": "&Stop" unless an answer names a
//     caption for its title, because going on would overwrite another
//     analysis's results; the stop says which --answer goes on;
//   - any other message dialog: the caption named by an answer for its title
//     (answers for one title are used in order and the last one keeps being
//     used), else the default button. An answer that names no button of the
//     box ends the run as a fatal error;
//   - an options dialog: the overrides are applied, then its default button
//     is pressed; a dialog that refuses an override or stays open (its
//     validation failed) ends the run as a fatal error.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/console.h"
#include "ui/form_overrides.h"
#include "ui/ui.h"

namespace korund::ui {

inline constexpr const char* kLockedTitle = "WORKSHEET IS LOCKED";
// The warnings that a worksheet looks set up for another analysis.
inline constexpr const char* kCheckTitlePrefix = "CHECK THIS WORKSHEET IS FOR ";

struct BatchOptions {
  std::vector<std::pair<std::string, std::string>> answers;  // title, caption
  bool allow_unlock = false;
  FormOverrides overrides;
  std::string clipboard_file;  // "" = desktop clipboard or a note
  ClipboardSink::DesktopClipboard desktop_clipboard = CopyToDesktopClipboard;
};

class BatchUi : public Ui {
 public:
  // out receives the "FINISHED" box, err everything else.
  BatchUi(BatchOptions options, std::ostream& out, std::ostream& err);

  int MsgBox(const std::string& text, int flags, const std::string& title) override;
  int ShowMessageDialog(const MessageDialogView& view) override;
  // Throws TerminateProgramError(kFatal) when the dialog refuses an
  // override or does not close on its default button.
  void RunForm(FormModel& form) override;
  // Batch runs print no progress.
  ProgressBar& Progress() override { return progress_; }
  void Clipboard(const std::string& text) override { clipboard_.Set(text); }
  void ClearClipboard() override { clipboard_.Clear(); }
  void ShowHelp(int topic) override;
  void SetHelpFile(const std::string& path) override { help_file_ = path; }
  void Diagnostic(const std::string& text) override;
  void SetBoxDetail(const std::string& text) override { box_detail_ = text; }

 private:
  std::string box_detail_;  // for the next MsgBox
  class SilentBar : public ProgressBar {
   public:
    int value() const override { return value_; }
    void set_value(int v) override { value_ = v; }

   private:
    int value_ = 0;
  };

  // The next scripted caption for a title; false when there is none.
  bool NextAnswer(const std::string& title, std::string* caption);
  void Print(const std::string& title, const std::string& text,
             const std::string& answer);

  BatchOptions options_;
  std::ostream& out_;
  std::ostream& err_;
  std::map<std::string, size_t> answers_used_;  // title -> answers taken
  SilentBar progress_;
  ClipboardSink clipboard_;
  std::string help_file_ = "KORUND.chm";
};

}  // namespace korund::ui
