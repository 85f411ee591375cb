// The Qt Widgets back end of the UI seam: standard boxes as QMessageBox, the
// message dialog laid out from its twips, the options dialogs as real forms
// with a progress bar, the system clipboard and a help viewer.
//
// A QApplication must exist before a QtUi is made; every call runs on its
// thread. The dialogs are modal and run their own event loops; the options
// dialog's model runs the analysis inside a button press, and the progress
// bar lets pending events run whenever it moves so the window repaints.
#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "gui/display.h"
#include "ui/form_overrides.h"
#include "ui/ui.h"

class QApplication;
class QDialog;
class QWidget;

namespace korund::gui {

class FormDialog;
class HelpViewer;

class QtUi : public ui::Ui {
 public:
  // overrides: changes the command line asks of every options dialog,
  // applied before it is shown.
  explicit QtUi(ui::FormOverrides overrides = {});
  ~QtUi() override;

  int MsgBox(const std::string& text, int flags, const std::string& title) override;
  int ShowMessageDialog(const ui::MessageDialogView& view) override;
  // Cancel's TerminateProgramError (and any other exception of the model)
  // leaves RunForm after the dialog has closed.
  void RunForm(ui::FormModel& form) override;
  ui::ProgressBar& Progress() override { return progress_; }
  void Clipboard(const std::string& text) override;
  void ClearClipboard() override;
  // Opens the help viewer on the topic (the overview for an unknown one).
  void ShowHelp(int topic) override;
  void SetHelpReader(ui::HelpReader reader) override { help_reader_ = reader; }
  void Diagnostic(const std::string& text) override;
  std::vector<std::string> TakeDiagnostics() override;
  void SetBoxDetail(const std::string& text) override { box_detail_ = text; }

  // For tests and screenshots: called with each window once it is on screen
  // (message boxes, the message dialog, options dialogs, the help viewer).
  // It may press buttons or close the window.
  void SetShownHook(std::function<void(QWidget&)> hook) { shown_hook_ = std::move(hook); }

  // The help viewer last opened, or null.
  QWidget* help_viewer() const;

 private:
  // Moves the bar of the running options dialog and lets it repaint.
  class QtProgress : public ui::ProgressBar {
   public:
    explicit QtProgress(QtUi& owner) : owner_(owner) {}
    int value() const override { return value_; }
    void set_value(int v) override;

   private:
    QtUi& owner_;
    int value_ = 0;
  };

  // Runs `dialog` modally, calling the shown hook once it is visible.
  int Exec(QDialog& dialog);

  ui::FormOverrides overrides_;
  QtProgress progress_;
  FormDialog* running_form_ = nullptr;  // the options dialog now open
  QPointer<HelpViewer> help_;
  ui::HelpReader help_reader_ = ui::HelpReader::kCommandLine;
  std::function<void(QWidget&)> shown_hook_;
  std::vector<std::string> diagnostics_;  // said since TakeDiagnostics
  std::string box_detail_;                // for the next MsgBox
};

// The QApplication of a program that chose the Qt back end; made only then,
// since it needs a display. Outlives every QtUi.
class QtApplication {
 public:
  QtApplication(int& argc, char** argv);
  ~QtApplication();

 private:
  std::unique_ptr<QApplication> app_;
};


}  // namespace korund::gui
