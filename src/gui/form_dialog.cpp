#include "gui/form_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "util/text.h"

namespace korund::gui {

namespace {

using Kind = ui::FormControl::Kind;

QString Shown(const std::string& text) { return QString::fromStdString(ToDisplayLines(text)); }

bool IsSpin(const ui::FormControl& c) { return c.kind == Kind::kText && c.spin_max > c.spin_min; }

// A frame label ("frmMode") heads the option buttons that follow it.
bool IsFrame(const ui::FormControl& c) {
  return c.kind == Kind::kLabel && c.name.rfind("frm", 0) == 0;
}

// The label of the progress frame, shown while the analysis runs.
constexpr const char* kProgressLabel = "lblpBar";

}  // namespace

FormDialog::FormDialog(ui::FormModel& model, std::function<void(int)> help, QWidget* parent)
    : QDialog(parent), model_(model), help_(std::move(help)) {
  setWindowTitle(QString::fromStdString(model_.Caption()));
  outer_ = new QVBoxLayout(this);
  outer_->setSizeConstraint(QLayout::SetFixedSize);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [this] {
    if (help_) help_(model_.HelpTopic());
  });
  Build(model_.Controls());
}

QWidget* FormDialog::Widget(const std::string& name) const {
  auto it = widgets_.find(name);
  return it == widgets_.end() ? nullptr : it->second;
}

// The layouts of one Build that the controls add themselves to.
struct FormDialog::Builder {
  QVBoxLayout* layout = nullptr;   // the body's rows
  QHBoxLayout* buttons = nullptr;  // the button row at the bottom
  QVBoxLayout* frame = nullptr;    // the open frame's layout, if any
  std::map<std::string, QButtonGroup*> groups;
  std::vector<QCheckBox*> row_checks;  // those sharing a row with a text box
  int widest_line = 0;                 // of the texts with their own line breaks
};

void FormDialog::Build(const std::vector<ui::FormControl>& controls) {
  if (body_ != nullptr) {
    // A button of the old body may be the sender of the running call; it
    // goes once control is back in the event loop.
    body_->hide();
    outer_->removeWidget(body_);
    body_->deleteLater();
  }
  widgets_.clear();
  structure_.clear();
  bar_ = nullptr;
  body_ = new QWidget(this);
  Builder b;
  b.layout = new QVBoxLayout(body_);
  b.layout->setContentsMargins(0, 0, 0, 0);
  b.buttons = new QHBoxLayout;
  b.buttons->addStretch();

  std::vector<QWidget*> tab_order;
  for (size_t i = 0; i < controls.size(); ++i) {
    const ui::FormControl& c = controls[i];
    structure_.emplace_back(c.name, c.kind);
    if (c.kind == Kind::kLabel || c.kind == Kind::kOption) {
      for (const QString& line : Shown(c.caption).split(QLatin1Char('\n'))) {
        b.widest_line = std::max(b.widest_line, fontMetrics().horizontalAdvance(line));
      }
    }
    if (c.kind != Kind::kOption) b.frame = nullptr;
    QWidget* w = nullptr;
    switch (c.kind) {
      case Kind::kLabel:
        w = AddLabel(c, b);
        break;
      case Kind::kOption:
        w = AddOption(c, b);
        break;
      case Kind::kCheck:
        w = AddCheck(c, i + 1 < controls.size() && controls[i + 1].kind == Kind::kText, b);
        break;
      case Kind::kText:
        w = AddText(c, i > 0 && controls[i - 1].kind == Kind::kCheck, b);
        break;
      case Kind::kButton:
        w = AddButton(c, b);
        break;
    }
    widgets_[c.name] = w;
    if (c.kind != Kind::kLabel) tab_order.push_back(w);
  }
  b.layout->addLayout(b.buttons);
  outer_->addWidget(body_);
  for (size_t i = 1; i < tab_order.size(); ++i) setTabOrder(tab_order[i - 1], tab_order[i]);
  FitWidths(b);
  // Shown and sized now, not by queued events: a rebuild during the analysis
  // is painted by the progress bar's own event processing.
  body_->show();
  outer_->activate();
  Refresh();
}

QWidget* FormDialog::AddLabel(const ui::FormControl& c, Builder& b) {
  if (IsFrame(c)) {
    auto* box = new QGroupBox(Shown(c.caption), body_);
    b.frame = new QVBoxLayout(box);
    b.layout->addWidget(box);
    return box;
  }
  if (c.name == kProgressLabel) {
    auto* box = new QGroupBox(body_);
    auto* inside = new QVBoxLayout(box);
    auto* label = new QLabel(Shown(c.caption), box);
    bar_ = new QProgressBar(box);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    inside->addWidget(label);
    inside->addWidget(bar_);
    b.layout->addWidget(box);
    return label;
  }
  auto* label = new QLabel(Shown(c.caption), body_);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  b.layout->addWidget(label);
  return label;
}

QWidget* FormDialog::AddOption(const ui::FormControl& c, Builder& b) {
  auto* radio = new QRadioButton(Shown(c.caption), body_);
  QButtonGroup*& group = b.groups[c.group];
  if (group == nullptr) group = new QButtonGroup(body_);
  group->addButton(radio);
  (b.frame != nullptr ? b.frame : b.layout)->addWidget(radio);
  connect(radio, &QRadioButton::clicked, this, [this, name = c.name](bool checked) {
    if (checked) Call([this, &name] { model_.SelectOption(name); });
  });
  return radio;
}

QWidget* FormDialog::AddCheck(const ui::FormControl& c, bool text_follows, Builder& b) {
  auto* check = new QCheckBox(Shown(c.caption), body_);
  connect(check, &QCheckBox::clicked, this, [this, name = c.name](bool checked) {
    Call([this, &name, checked] { model_.SetChecked(name, checked); });
  });
  if (text_follows) {
    // The check box shares a row with its text box, which finds the row as
    // the last layout item.
    auto* row = new QHBoxLayout;
    row->addWidget(check);
    b.layout->addLayout(row);
    b.row_checks.push_back(check);
  } else {
    b.layout->addWidget(check);
  }
  return check;
}

QWidget* FormDialog::AddText(const ui::FormControl& c, bool after_check, Builder& b) {
  QWidget* edit = nullptr;
  if (IsSpin(c)) {
    auto* spin = new QSpinBox(body_);
    spin->setRange(c.spin_min, c.spin_max);
    connect(spin, &QSpinBox::editingFinished, this, [this, name = c.name] { CommitText(name); });
    edit = spin;
  } else {
    auto* line = new QLineEdit(body_);
    connect(line, &QLineEdit::editingFinished, this, [this, name = c.name] { CommitText(name); });
    edit = line;
  }
  // Eight digits, or as wide as the text it starts with (a list of years),
  // up to three times that.
  const int digit = edit->fontMetrics().horizontalAdvance(QStringLiteral("0"));
  const int text = edit->fontMetrics().horizontalAdvance(QString::fromStdString(c.text));
  edit->setFixedWidth(std::clamp(text, digit * 8, digit * 24) + 16);
  QLayoutItem* last = b.layout->count() > 0 ? b.layout->itemAt(b.layout->count() - 1) : nullptr;
  if (!c.caption.empty()) {
    // A text box with its own caption: the caption, then the box, on one row.
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(Shown(c.caption), body_));
    row->addWidget(edit);
    row->addStretch();
    b.layout->addLayout(row);
  } else if (after_check && last != nullptr && last->layout() != nullptr) {
    auto* row = static_cast<QHBoxLayout*>(last->layout());
    row->addWidget(edit);
    row->addStretch();
  } else {
    b.layout->addWidget(edit);
  }
  return edit;
}

QWidget* FormDialog::AddButton(const ui::FormControl& c, Builder& b) {
  auto* button = new QPushButton(QString::fromStdString(c.caption), body_);
  button->setDefault(c.name == model_.DefaultButton());
  // Enter presses the button that has the focus, else the default one.
  button->setAutoDefault(true);
  connect(button, &QPushButton::clicked, this, [this, name = c.name] {
    if (in_call_) return;
    CommitTexts();  // Enter presses the default button without leaving a box
    if (model_.Closed() || failure_) return;
    Call([this, &name] { model_.Press(name); });
  });
  b.buttons->addWidget(button);
  return button;
}

void FormDialog::FitWidths(const Builder& b) {
  // Lines the model broke itself stay whole; one long line wraps at about
  // ninety characters.
  const int em = fontMetrics().averageCharWidth();
  body_->setMinimumWidth(std::clamp(b.widest_line + 2 * em, 60 * em, 90 * em));
  // The text boxes of check-box rows line up in one column.
  int check_width = 0;
  for (QCheckBox* check : b.row_checks) {
    check_width = std::max(check_width, check->sizeHint().width());
  }
  for (QCheckBox* check : b.row_checks) check->setMinimumWidth(check_width);
}

void FormDialog::Refresh() {
  const std::vector<ui::FormControl> controls = model_.Controls();
  Structure now;
  for (const auto& c : controls) now.emplace_back(c.name, c.kind);
  if (now != structure_) {
    Build(controls);  // Build refreshes once the new widgets exist
    return;
  }
  // Option buttons of a group with none selected must all clear, which an
  // exclusive group does not allow.
  std::map<QButtonGroup*, bool> group_has_checked;
  for (const ui::FormControl& c : controls) {
    QWidget* w = widgets_[c.name];
    w->setEnabled(c.enabled);
    w->setToolTip(QString::fromStdString(c.tooltip));
    switch (c.kind) {
      case Kind::kLabel:
        if (auto* label = qobject_cast<QLabel*>(w)) label->setText(Shown(c.caption));
        if (auto* box = qobject_cast<QGroupBox*>(w)) box->setTitle(Shown(c.caption));
        break;
      case Kind::kCheck:
        static_cast<QCheckBox*>(w)->setChecked(c.checked);
        break;
      case Kind::kOption: {
        auto* radio = static_cast<QRadioButton*>(w);
        QButtonGroup* group = radio->group();
        if (c.checked) radio->setChecked(true);
        group_has_checked[group] = group_has_checked[group] || c.checked;
        break;
      }
      case Kind::kText:
        if (auto* spin = qobject_cast<QSpinBox*>(w)) {
          bool ok = false;
          const int n = QString::fromStdString(c.text).trimmed().toInt(&ok);
          spin->setValue(ok ? n : spin->minimum());
        } else {
          auto* line = static_cast<QLineEdit*>(w);
          if (line->text().toStdString() != c.text) line->setText(QString::fromStdString(c.text));
        }
        shown_text_[c.name] = c.text;
        break;
      case Kind::kButton:
        static_cast<QPushButton*>(w)->setText(QString::fromStdString(c.caption));
        break;
    }
  }
  for (auto [group, has_checked] : group_has_checked) {
    if (has_checked || group->checkedButton() == nullptr) continue;
    group->setExclusive(false);
    group->checkedButton()->setChecked(false);
    group->setExclusive(true);
  }
}

QString FormDialog::TextOf(const std::string& name) const {
  QWidget* w = Widget(name);
  if (auto* spin = qobject_cast<QSpinBox*>(w)) return QString::number(spin->value());
  if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text();
  return {};
}

void FormDialog::CommitText(const std::string& name) {
  if (in_call_ || failure_ || model_.Closed()) return;
  const std::string text = TextOf(name).toStdString();
  auto it = shown_text_.find(name);
  if (it != shown_text_.end() && it->second == text) return;
  Call([this, &name, &text] { model_.SetText(name, text); });
}

void FormDialog::CommitTexts() {
  for (const auto& [name, kind] : Structure(structure_)) {
    QWidget* w = Widget(name);
    if (kind == Kind::kText && w != nullptr && w->isEnabled()) CommitText(name);
  }
}

void FormDialog::Call(const std::function<void()>& call) {
  if (in_call_ || failure_) return;
  in_call_ = true;
  try {
    call();
  } catch (...) {
    failure_ = std::current_exception();
  }
  in_call_ = false;
  if (failure_ || model_.Closed()) {
    done(failure_ ? QDialog::Rejected : QDialog::Accepted);
    return;
  }
  Refresh();
}

void FormDialog::ShowProgress(int value) {
  Refresh();
  if (bar_ != nullptr) bar_->setValue(std::clamp(value, 0, 100));
}

void FormDialog::RethrowIfFailed() {
  if (failure_) std::rethrow_exception(failure_);
}

void FormDialog::reject() {
  if (in_call_) return;  // the analysis is running; the model ignores Cancel
  Call([this] { model_.Press("cmdCancel"); });
}

}  // namespace korund::gui
