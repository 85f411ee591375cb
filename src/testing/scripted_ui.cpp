#include "testing/scripted_ui.h"

#include <stdexcept>

#include "ui/console.h"
#include "util/terminate.h"

namespace korund {

std::string Outcome(const std::function<void()>& f) {
  try {
    f();
  } catch (const TerminateProgramError& e) {
    if (e.reason() == ExitReason::kStopped) return "stopped";
    if (e.reason() == ExitReason::kFatal) return "fatal";
    return "status " + std::to_string(static_cast<int>(e.reason()));
  }
  return "";
}

}  // namespace korund

namespace korund::ui {

void ScriptedUi::Answer(const std::string& title, const std::string& caption) {
  answers_[title].push_back(caption);
}

bool ScriptedUi::TakeAnswer(const std::string& title, std::string* caption) {
  auto it = answers_.find(title);
  if (it == answers_.end() || it->second.empty()) return false;
  *caption = it->second.front();
  it->second.pop_front();
  return true;
}

int ScriptedUi::MsgBox(const std::string& text, int flags, const std::string& title) {
  const bool retry_cancel = (flags & 7) == kMbRetryCancel;
  Shown s{"msgbox", title, text, {}, flags, ""};
  s.buttons = retry_cancel ? std::vector<std::string>{"Retry", "Cancel"}
                           : std::vector<std::string>{"OK"};
  std::string caption;
  if (!TakeAnswer(title, &caption)) caption = retry_cancel ? "Cancel" : "OK";
  caption = StripAmpersand(caption);
  s.answer = caption;
  shown.push_back(s);
  if (caption == "Retry") return kIdRetry;
  if (caption == "Cancel") return kIdCancel;
  return kIdOk;
}

int ScriptedUi::ShowMessageDialog(const MessageDialogView& view) {
  Shown s{"dialog", view.title, view.text, {}, view.icon, ""};
  for (size_t i = 0; i < view.captions.size(); ++i) {
    if (view.visible[i]) s.buttons.push_back(view.captions[i]);
  }
  int pressed = view.default_button;
  std::string caption;
  if (TakeAnswer(view.title, &caption)) {
    pressed = 0;
    for (size_t i = 0; i < view.captions.size(); ++i) {
      if (view.visible[i] && StripAmpersand(view.captions[i]) == StripAmpersand(caption)) {
        pressed = static_cast<int>(i) + 1;
      }
    }
    if (pressed == 0) throw std::logic_error("scripted answer not among the buttons: " + caption);
  }
  s.answer = view.captions[pressed - 1];
  shown.push_back(s);
  return pressed;
}

void ScriptedUi::RunForm(FormModel& form) {
  shown.push_back(Shown{"form", form.Caption(), "", {}, 0, ""});
  if (form_script) {
    form_script(form);
  } else {
    form.Press(form.DefaultButton());
  }
}

std::vector<std::string> ScriptedUi::Titles() const {
  std::vector<std::string> out;
  for (const auto& s : shown) out.push_back(s.title);
  return out;
}

std::string ScriptedUi::Boxes() const {
  std::string out;
  for (const auto& s : shown) out += s.title + ": " + s.text + "\n";
  return out;
}

MessageDialogView TestDialog(const std::string& title, std::vector<std::string> captions,
                             int default_button) {
  MessageDialogView v;
  v.title = title;
  v.text = "The worksheet is locked.\r\rUnlock it?";
  captions.resize(4);
  for (const std::string& c : captions) v.visible.push_back(!c.empty());
  v.captions = captions;
  v.default_button = default_button;
  v.help_topic = 1047;
  return v;
}

}  // namespace korund::ui
