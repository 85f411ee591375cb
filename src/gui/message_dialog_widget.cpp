#include "gui/message_dialog_widget.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "util/text.h"

namespace korund::gui {

namespace {

constexpr int kButtonHeight = 345;
constexpr int kPictureSize = 615;
constexpr int kPictureAt = 200;
// The laid-out height counts the caption bar and borders of the window
// (400 twips); Qt sizes the client area only.
constexpr int kFrameHeight = 400;

QStyle::StandardPixmap IconPixmap(int icon) {
  switch (icon) {
    case ui::kMbIconStop:
      return QStyle::SP_MessageBoxCritical;
    case ui::kMbIconQuestion:
      return QStyle::SP_MessageBoxQuestion;
    case ui::kMbIconExclamation:
      return QStyle::SP_MessageBoxWarning;
    default:
      return QStyle::SP_MessageBoxInformation;
  }
}

}  // namespace

int TwipsToPixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

MessageDialogWidget::MessageDialogWidget(const ui::MessageDialogView& view,
                                         std::function<void(int)> help, QWidget* parent)
    : QDialog(parent), view_(view) {
  setWindowTitle(QString::fromStdString(view.title));
  const int dpi = logicalDpiX();
  auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };

  if (view.icon != 0) {
    icon_ = new QLabel(this);
    const int size = px(kPictureSize);
    const int extent = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon_->setPixmap(style()->standardIcon(IconPixmap(view.icon), nullptr, this).pixmap(extent));
    icon_->setAlignment(Qt::AlignCenter);
    icon_->setGeometry(px(kPictureAt), px(kPictureAt), size, size);
  }

  text_ = new QLabel(QString::fromStdString(ToDisplayLines(view.text)), this);
  text_->setTextFormat(Qt::PlainText);
  text_->setWordWrap(true);
  text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  const int text_width = std::max(1, px(view.text_width));
  // The layout estimates the wrapped height from a nominal character size;
  // when the real font needs more, everything below moves down so that no
  // line is cut off.
  const int text_height = std::max(px(view.text_height), text_->heightForWidth(text_width));
  const int grow = text_height - px(view.text_height);
  text_->setGeometry(px(view.text_left), px(view.text_top), text_width, text_height);

  const int button_top = px(view.button_top) + grow;
  for (int k = 0; k < 4; ++k) {
    auto* b = new QPushButton(QString::fromStdString(view.captions[k]), this);
    b->setGeometry(px(view.button_lefts[k]), button_top, px(view.button_width), px(kButtonHeight));
    b->setVisible(view.visible[k]);
    b->setAutoDefault(true);  // Enter presses the focused button
    connect(b, &QPushButton::clicked, this, [this, k] { Press(k + 1); });
    buttons_.push_back(b);
  }
  QPushButton* default_button = buttons_[std::clamp(view.default_button, 1, 4) - 1];
  default_button->setDefault(true);
  default_button->setFocus();

  if (help) {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [help, topic = view.help_topic] { help(topic); });
  }
  setFixedSize(px(view.width), px(view.height - kFrameHeight) + grow);
}

void MessageDialogWidget::Press(int k) {
  pressed_ = k;
  accept();
}

void MessageDialogWidget::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  const bool plain = (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
  if (plain && typed.size() == 1 && typed[0].unicode() < 0x80 && view_.access_key) {
    const int k = view_.access_key(static_cast<char>(typed[0].unicode()));
    if (k >= 1 && k <= 4) {
      Press(k);
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

}  // namespace korund::gui
