#include "ui/transcript_ui.h"

#include <ostream>

#include "util/json_string.h"
#include "util/run_settings.h"

namespace korund::ui {
namespace {

// Passes every call through and remembers the button that closed the form.
class WatchedForm : public FormModel {
 public:
  explicit WatchedForm(FormModel& form) : form_(form) {}

  std::string Caption() const override { return form_.Caption(); }
  std::vector<FormControl> Controls() const override { return form_.Controls(); }
  int HelpTopic() const override { return form_.HelpTopic(); }
  void SetChecked(const std::string& name, bool checked) override {
    form_.SetChecked(name, checked);
  }
  void SelectOption(const std::string& name) override { form_.SelectOption(name); }
  void SetText(const std::string& name, const std::string& text) override {
    form_.SetText(name, text);
  }
  void Press(const std::string& name) override {
    try {
      form_.Press(name);
    } catch (...) {
      // The button's handler ended the run (Cancel, a fatal error): it
      // closed the dialog.
      closed_by_ = name;
      throw;
    }
    if (form_.Closed()) closed_by_ = name;
  }
  bool Closed() const override { return form_.Closed(); }
  std::string DefaultButton() const override { return form_.DefaultButton(); }

  const std::string& closed_by() const { return closed_by_; }

 private:
  FormModel& form_;
  std::string closed_by_;
};

}  // namespace

void TranscriptUi::Record(const std::string& kind, const std::string& title,
                          const std::string& text, const std::vector<std::string>& buttons,
                          const std::string* answer) {
  // One JSON object a line; broken UTF-8 in a text becomes U+FFFD rather
  // than ending the run.
  std::string line = "{\"kind\":";
  AppendJsonString(&line, kind);
  line += ",\"title\":";
  AppendJsonString(&line, title);
  line += ",\"text\":";
  AppendJsonString(&line, text);
  line += ",\"buttons\":[";
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (i > 0) line += ',';
    AppendJsonString(&line, buttons[i]);
  }
  line += "],\"answer\":";
  if (answer == nullptr) {
    line += "null";
  } else {
    AppendJsonString(&line, *answer);
  }
  out_ << line << "}\n";
  out_.flush();
}

int TranscriptUi::MsgBox(const std::string& text, int flags, const std::string& title) {
  const bool retry_cancel = (flags & 7) == kMbRetryCancel;
  int result = inner_.MsgBox(text, flags, title);
  std::string answer = result == kIdRetry ? "Retry" : result == kIdCancel ? "Cancel" : "OK";
  Record("msgbox", title.empty() ? AppTitle() : title, text,
         retry_cancel ? std::vector<std::string>{"Retry", "Cancel"}
                      : std::vector<std::string>{"OK"},
         &answer);
  return result;
}

int TranscriptUi::ShowMessageDialog(const MessageDialogView& view) {
  std::vector<std::string> buttons;
  for (size_t i = 0; i < view.captions.size(); ++i) {
    if (view.visible[i]) buttons.push_back(view.captions[i]);
  }
  int pressed = 0;
  try {
    pressed = inner_.ShowMessageDialog(view);
  } catch (...) {
    // The back end ended the run while the box was up (a batch answer that
    // names no button): the box was shown, with no answer.
    Record("dialog", view.title, view.text, buttons, nullptr);
    throw;
  }
  const bool known = pressed >= 1 && pressed <= static_cast<int>(view.captions.size());
  Record("dialog", view.title, view.text, buttons, known ? &view.captions[pressed - 1] : nullptr);
  return pressed;
}

void TranscriptUi::RunForm(FormModel& form) {
  // The labels and buttons as the dialog first showed them.
  std::string text;
  std::vector<std::string> buttons;
  std::vector<std::pair<std::string, std::string>> button_names;  // name, caption
  bool first_label = true;
  for (const FormControl& c : form.Controls()) {
    if (c.kind == FormControl::Kind::kLabel) {
      if (!first_label) text += "\r";
      text += c.caption;
      first_label = false;
    } else if (c.kind == FormControl::Kind::kButton) {
      buttons.push_back(c.caption);
      button_names.emplace_back(c.name, c.caption);
    }
  }
  const std::string caption = form.Caption();
  WatchedForm watched(form);
  auto record = [&](const std::string& by) {
    std::string answer;
    for (const auto& [name, cap] : button_names) {
      if (name == by) answer = cap;
    }
    Record("dialog", caption, text, buttons, answer.empty() ? nullptr : &answer);
  };
  try {
    inner_.RunForm(watched);
  } catch (...) {
    // When the back end itself ended the run, no button closed the dialog.
    record(watched.closed_by());
    throw;
  }
  record(watched.closed_by());
}

}  // namespace korund::ui
