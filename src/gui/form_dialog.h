// An options dialog drawn from a FormModel: the controls in the model's
// order, changes and presses sent back to the model, and the whole form
// refreshed from the model after every call, since its handlers enable,
// disable and reset controls. The widget decides nothing itself.
#pragma once

#include <QDialog>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/ui.h"

class QProgressBar;
class QVBoxLayout;

namespace korund::gui {

class FormDialog : public QDialog {
 public:
  // help(topic) opens a help topic (F1).
  FormDialog(ui::FormModel& model, std::function<void(int)> help, QWidget* parent = nullptr);

  // Refreshes the form from the model (which shows its progress frame while
  // it runs the analysis) and sets the bar, 0..100.
  void ShowProgress(int value);

  // Rethrows what a model call threw (TerminateProgramError from Cancel);
  // the dialog has closed by then.
  void RethrowIfFailed();

  // The widget drawing the model's control `name`, or null.
  QWidget* Widget(const std::string& name) const;
  QProgressBar* progress_bar() const { return bar_; }

 protected:
  // Escape and the window's close button press Cancel, as the model wants.
  void reject() override;

 private:
  using Structure = std::vector<std::pair<std::string, ui::FormControl::Kind>>;

  struct Builder;

  // Makes the widgets of the controls anew, in the model's order.
  void Build(const std::vector<ui::FormControl>& controls);
  // Each makes the widget of one control and lays it out; they return it.
  QWidget* AddLabel(const ui::FormControl& c, Builder& b);
  QWidget* AddOption(const ui::FormControl& c, Builder& b);
  QWidget* AddCheck(const ui::FormControl& c, bool text_follows, Builder& b);
  QWidget* AddText(const ui::FormControl& c, bool after_check, Builder& b);
  QWidget* AddButton(const ui::FormControl& c, Builder& b);
  void FitWidths(const Builder& b);
  void Refresh();
  // Runs one model call; a throw or a closed model ends the dialog.
  void Call(const std::function<void()>& call);
  // Hands a text box's contents to the model when they differ from what the
  // model last showed (validation runs once per change).
  void CommitText(const std::string& name);
  void CommitTexts();
  QString TextOf(const std::string& name) const;

  ui::FormModel& model_;
  std::function<void(int)> help_;
  QVBoxLayout* outer_ = nullptr;
  QWidget* body_ = nullptr;
  QProgressBar* bar_ = nullptr;
  Structure structure_;
  std::map<std::string, QWidget*> widgets_;
  std::map<std::string, std::string> shown_text_;  // the model's text boxes
  std::exception_ptr failure_;
  bool in_call_ = false;
};

}  // namespace korund::gui
