#include "gui/qt_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <utility>

#include "gui/form_dialog.h"
#include "gui/help_viewer.h"
#include "gui/message_dialog_widget.h"
#include "util/run_settings.h"
#include "util/text.h"

namespace korund::gui {

namespace {

QMessageBox::Icon BoxIcon(int flags) {
  switch (flags & 112) {
    case ui::kMbIconStop:
      return QMessageBox::Critical;
    case ui::kMbIconQuestion:
      return QMessageBox::Question;
    case ui::kMbIconExclamation:
      return QMessageBox::Warning;
    case ui::kMbIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// The platform sounds its alarm with the stop and exclamation icons.
void BeepFor(int icon) {
  if (icon == ui::kMbIconStop || icon == ui::kMbIconExclamation) QApplication::beep();
}

QString ToQString(const std::string& text) { return QString::fromStdString(ToDisplayLines(text)); }


}  // namespace

QtApplication::QtApplication(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)) {
  QApplication::setApplicationName(QStringLiteral("korund"));
}

QtApplication::~QtApplication() = default;

QtUi::QtUi(ui::FormOverrides overrides) : overrides_(std::move(overrides)), progress_(*this) {}

QtUi::~QtUi() { delete help_.data(); }

int QtUi::Exec(QDialog& dialog) {
  if (shown_hook_) {
    QTimer::singleShot(0, &dialog, [this, &dialog] {
      if (shown_hook_) shown_hook_(dialog);
    });
  }
  return dialog.exec();
}

int QtUi::MsgBox(const std::string& text, int flags, const std::string& title) {
  QMessageBox box(BoxIcon(flags), QString::fromStdString(title.empty() ? AppTitle() : title),
                  ToQString(text), QMessageBox::NoButton, QApplication::activeModalWidget());
  box.setTextFormat(Qt::PlainText);
  if (!box_detail_.empty()) {
    box.setDetailedText(QString::fromStdString(std::exchange(box_detail_, {})));
  }
  const bool retry_cancel = (flags & 7) == ui::kMbRetryCancel;
  if (retry_cancel) {
    box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Retry);
    box.setEscapeButton(QMessageBox::Cancel);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  BeepFor(flags & 112);
  Exec(box);
  if (!retry_cancel) return ui::kIdOk;
  return box.clickedButton() == box.button(QMessageBox::Retry) ? ui::kIdRetry : ui::kIdCancel;
}

int QtUi::ShowMessageDialog(const ui::MessageDialogView& view) {
  MessageDialogWidget dialog(
      view, [this](int topic) { ShowHelp(topic); }, QApplication::activeModalWidget());
  BeepFor(view.icon);
  Exec(dialog);
  return dialog.pressed();
}

void QtUi::RunForm(ui::FormModel& form) {
  for (const std::string& r : ui::ApplyFormOverrides(form, overrides_)) {
    Diagnostic("the dialog \"" + form.Caption() + "\" did not take " + r);
  }
  FormDialog dialog(
      form, [this](int topic) { ShowHelp(topic); }, QApplication::activeModalWidget());
  FormDialog* outer = running_form_;
  running_form_ = &dialog;
  if (!form.Closed()) Exec(dialog);
  running_form_ = outer;
  dialog.RethrowIfFailed();
}

void QtUi::QtProgress::set_value(int v) {
  value_ = v;
  if (owner_.running_form_ != nullptr) owner_.running_form_->ShowProgress(v);
  // The analysis runs inside a button press: let the window repaint.
  QCoreApplication::processEvents();
}

void QtUi::Clipboard(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void QtUi::ClearClipboard() { QGuiApplication::clipboard()->clear(); }

void QtUi::ShowHelp(int topic) {
  // A modal dialog blocks every window but its own children, so the viewer
  // belongs to the dialog that asked for help.
  QWidget* parent = QApplication::activeModalWidget();
  if (help_ && help_->parentWidget() != parent) {
    help_->close();  // deletes itself
    help_.clear();
  }
  if (!help_) help_ = new HelpViewer(parent);
  help_->SetReader(help_reader_);
  help_->ShowTopic(topic);
  help_->show();
  help_->raise();
  help_->activateWindow();
  if (shown_hook_) {
    QTimer::singleShot(0, help_.data(), [this, viewer = help_] {
      if (shown_hook_ && viewer) shown_hook_(*viewer);
    });
  }
}

QWidget* QtUi::help_viewer() const { return help_.data(); }

void QtUi::Diagnostic(const std::string& text) {
  std::cerr << "korund: " << text << "\n";
  diagnostics_.push_back(text);
}

std::vector<std::string> QtUi::TakeDiagnostics() { return std::exchange(diagnostics_, {}); }

}  // namespace korund::gui
