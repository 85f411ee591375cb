// The message dialog as a Qt window: every element sits where the laid-out
// view puts it, converted from twips at the screen's logical DPI.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "ui/ui.h"

class QLabel;
class QPushButton;

namespace korund::gui {

// Pixels for a length in twips at `dpi` logical dots per inch, rounded.
int TwipsToPixels(int twips, int dpi);

class MessageDialogWidget : public QDialog {
 public:
  // help(topic) opens the help topic on F1.
  MessageDialogWidget(const ui::MessageDialogView& view, std::function<void(int)> help,
                      QWidget* parent = nullptr);

  // The 1-based button that closed the dialog; 0 when none did.
  int pressed() const { return pressed_; }
  QPushButton* button(int k) const { return buttons_[k - 1]; }  // k = 1..4
  QLabel* text_label() const { return text_; }
  QLabel* icon_label() const { return icon_; }

 protected:
  // A letter typed anywhere presses the button whose access key it is.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Press(int k);

  ui::MessageDialogView view_;
  std::vector<QPushButton*> buttons_;
  QLabel* text_ = nullptr;
  QLabel* icon_ = nullptr;
  int pressed_ = 0;
};

}  // namespace korund::gui
