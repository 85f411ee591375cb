#include "ui/terminal_ui.h"

#include <cctype>
#include <istream>
#include <ostream>
#include <utility>

#include "ui/help_topics.h"
#include "util/run_settings.h"
#include "util/terminate.h"
#include "util/text.h"

namespace korund::ui {

bool IsHelpKey(const std::string& line) {
  if (line == "?") return true;
  // F1 arrives as ESC O P (xterm) or ESC [ 1 1 ~ (vt220).
  return line == "\x1bOP" || line == "\x1b[11~";
}

std::string IconMark(int icon) {
  switch (icon & 0x70) {
    case kMbIconStop:
      return "[stop]";
    case kMbIconQuestion:
      return "[?]";
    case kMbIconExclamation:
      return "[!]";
    case kMbIconInformation:
      return "[i]";
    default:
      return "";
  }
}

static std::string FirstLine(const std::string& text) {
  std::string shown = ToTerminalText(text);
  return shown.substr(0, shown.find('\n'));
}

std::string TextBoxCaption(const std::vector<FormControl>& controls, size_t index) {
  const FormControl& box = controls[index];
  if (!box.caption.empty()) return StripAmpersand(box.caption);
  // What the program's text boxes hold; any other box holds a "value".
  std::string what = "value";
  if (box.name == "txtRateFactor") what = "factor";
  if (box.name == "txtIgnore") what = "characters";
  if (box.name == "txtSetToCopy") what = "set";
  for (size_t i = index; i-- > 0;) {
    if (controls[i].kind != FormControl::Kind::kCheck) continue;
    std::string owner = FirstLine(StripAmpersand(controls[i].caption));
    while (!owner.empty() && (owner.back() == ' ' || owner.back() == ':')) owner.pop_back();
    return what + " for: " + owner;
  }
  return what;
}

std::string ShowAccessKey(const std::string& caption) {
  size_t at = caption.find('&');
  if (at == std::string::npos || at + 1 >= caption.size()) return StripAmpersand(caption);
  return StripAmpersand(caption.substr(0, at)) + "[" + caption[at + 1] + "]" +
         StripAmpersand(caption.substr(at + 2));
}

static bool IsWholeNumber(const std::string& s) {
  if (s.empty() || s.size() > 4) return false;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

static void Indented(std::ostream& out, const std::string& text, const std::string& indent) {
  std::string shown = ToTerminalText(text);
  size_t start = 0;
  while (start <= shown.size()) {
    size_t end = shown.find('\n', start);
    if (end == std::string::npos) end = shown.size();
    out << indent << shown.substr(start, end - start) << "\n";
    start = end + 1;
  }
}

// A caption as a terminal shows it: no access mark, no blanks at its end.
static std::string Shown(const std::string& caption) {
  std::string shown = StripAmpersand(caption);
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  return shown;
}

// first before the first line; the others indented as far, so that a
// many-line caption reads as one item.
static void Hanging(std::ostream& out, const std::string& first, const std::string& text) {
  std::string shown = ToTerminalText(text);
  const size_t end = shown.find('\n');
  out << first << shown.substr(0, end) << "\n";
  if (end == std::string::npos) return;
  Indented(out, shown.substr(end + 1), std::string(first.size(), ' '));
}

void TerminalUi::TerminalBar::set_value(int v) {
  value_ = v;
  constexpr int kCells = 30;
  int shown = v < 0 ? 0 : (v > max_ ? max_ : v);
  int filled = shown * kCells / max_;
  if (filled == drawn_) return;
  drawn_ = filled;
  out_ << "\rPlease wait.. [" << std::string(filled, '#') << std::string(kCells - filled, '.')
       << "] " << shown * 100 / max_ << "%" << std::flush;
}

void TerminalUi::TerminalBar::EndLine() {
  if (drawn_ < 0) return;
  out_ << "\n" << std::flush;
  drawn_ = -1;
}

TerminalUi::TerminalUi(TerminalOptions options, std::istream& in, std::ostream& out,
                       std::ostream& progress)
    : options_(std::move(options)),
      in_(in),
      out_(out),
      notes_(progress),
      bar_(progress, options_.progress_max),
      clipboard_(options_.clipboard_file, options_.desktop_clipboard, progress) {}

bool TerminalUi::ReadLine(std::string* line) {
  out_.flush();
  if (!std::getline(in_, *line)) return false;
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

void TerminalUi::ShowBoxText(const std::string& title, int icon, const std::string& text) {
  bar_.EndLine();
  const std::string mark = IconMark(icon);
  const bool alarm = (icon & 0x70) == kMbIconStop || (icon & 0x70) == kMbIconExclamation;
  out_ << (alarm && options_.bell ? "\a" : "") << "\n== " << ToTerminalText(title) << " ==\n";
  if (mark.empty()) {
    Indented(out_, text, "");
  } else {
    Hanging(out_, mark + " ", text);
  }
}

int TerminalUi::MsgBox(const std::string& text, int flags, const std::string& title) {
  ShowBoxText(title.empty() ? AppTitle() : title, flags, text);
  if (!box_detail_.empty()) {
    out_ << std::flush;
    Diagnostic(std::exchange(box_detail_, {}));
  }
  if ((flags & 7) != kMbRetryCancel) {
    out_ << "[O]K (Enter) > ";
    std::string line;
    ReadLine(&line);  // any line, or the end of input, closes the box
    return kIdOk;
  }
  for (;;) {
    out_ << "[R]etry  [C]ancel   (Enter = Retry) > ";
    std::string line;
    if (!ReadLine(&line)) {
      out_ << "\n";
      return kIdCancel;
    }
    if (line.empty() || line == "1" || line == "r" || line == "R") return kIdRetry;
    if (line == "2" || line == "c" || line == "C") return kIdCancel;
  }
}

int TerminalUi::ShowMessageDialog(const MessageDialogView& view) {
  std::vector<std::string> shown;  // captions of the visible buttons, others ""
  for (size_t i = 0; i < view.captions.size(); ++i) {
    shown.push_back(view.visible[i] ? view.captions[i] : "");
  }
  const int n = static_cast<int>(shown.size());
  const int default_button =
      view.default_button >= 1 && view.default_button <= n && !shown[view.default_button - 1].empty()
          ? view.default_button
          : 1;
  ShowBoxText(view.title, view.icon, view.text);
  for (;;) {
    for (int i = 0; i < n; ++i) {
      if (shown[i].empty()) continue;
      out_ << "  " << i + 1 << ") " << ShowAccessKey(shown[i]);
    }
    out_ << "   (Enter = " << StripAmpersand(shown[default_button - 1]) << ", ? = help) > ";
    std::string line;
    if (!ReadLine(&line)) {
      out_ << "\n";
      int stop = 0;
      for (int i = 0; i < n; ++i) {
        if (shown[i] == "&Stop" || shown[i] == "&Cancel" || shown[i] == "Exit program") {
          stop = i + 1;
        }
      }
      return stop;
    }
    if (line.empty()) return default_button;
    if (IsHelpKey(line)) {
      ShowHelp(view.help_topic);
      continue;
    }
    if (IsWholeNumber(line)) {
      int k = std::stoi(line);
      if (k >= 1 && k <= n && !shown[k - 1].empty()) return k;
      continue;
    }
    if (line.size() == 1) {
      int k = view.access_key ? view.access_key(line[0]) : PressedByKey(shown, line[0]) + 1;
      if (k >= 1) return k;
    }
  }
}

void TerminalUi::ShowForm(const FormModel& form, const std::vector<FormControl>& controls) {
  out_ << "\n== " << form.Caption() << " ==\n";
  int count = 0;
  for (const FormControl& c : controls) {
    if (c.kind != FormControl::Kind::kLabel && c.kind != FormControl::Kind::kButton) ++count;
  }
  const size_t width = std::to_string(count).size();
  int number = 0;
  // " 1. " padded so that every number ends in the same column.
  auto numbered = [&] {
    std::string n = std::to_string(++number);
    return " " + std::string(width - n.size(), ' ') + n + ". ";
  };
  std::string buttons;
  for (size_t i = 0; i < controls.size(); ++i) {
    const FormControl& c = controls[i];
    const std::string off = c.enabled ? "" : "  (disabled)";
    switch (c.kind) {
      case FormControl::Kind::kLabel:
        Indented(out_, c.caption, "  ");
        break;
      case FormControl::Kind::kCheck:
        Hanging(out_, numbered() + "[" + (c.checked ? 'x' : ' ') + "] ", Shown(c.caption) + off);
        break;
      case FormControl::Kind::kOption:
        Hanging(out_, numbered() + "(" + (c.checked ? '*' : ' ') + ") ", Shown(c.caption) + off);
        break;
      case FormControl::Kind::kText:
        out_ << numbered() << "    " << TextBoxCaption(controls, i) << ": \"" << c.text << "\""
             << off << "\n";
        break;
      case FormControl::Kind::kButton:
        if (c.enabled) buttons += "  " + ShowAccessKey(c.caption);
        break;
    }
  }
  out_ << buttons << "\n";
}

void TerminalUi::RunForm(FormModel& form) {
  bar_.EndLine();
  for (const std::string& r : ApplyFormOverrides(form, options_.overrides)) {
    out_ << "Note: the dialog did not take " << r << "\n";
  }
  while (!form.Closed()) {
    std::vector<FormControl> controls = form.Controls();
    ShowForm(form, controls);
    std::vector<const FormControl*> numbered;
    std::vector<std::string> captions;  // of the buttons
    std::vector<const FormControl*> buttons;
    for (const FormControl& c : controls) {
      if (c.kind == FormControl::Kind::kButton) {
        buttons.push_back(&c);
        captions.push_back(c.enabled ? c.caption : "");
      } else if (c.kind != FormControl::Kind::kLabel) {
        numbered.push_back(&c);
      }
    }
    std::string default_caption = form.DefaultButton();
    for (const FormControl* b : buttons) {
      if (b->name == form.DefaultButton()) default_caption = StripAmpersand(b->caption);
    }
    out_ << "Number = change that setting, letter = press a button, Enter = " << default_caption
         << ", ? = help > ";
    std::string line;
    if (!ReadLine(&line)) {
      out_ << "\n";
      form.Press("cmdCancel");
      // A dialog without a working Cancel must still end: end of input stops.
      if (!form.Closed()) throw TerminateProgramError(ExitReason::kStopped, "");
      break;
    }
    if (line.empty()) {
      form.Press(form.DefaultButton());
    } else if (IsHelpKey(line)) {
      ShowHelp(form.HelpTopic());
    } else if (IsWholeNumber(line)) {
      size_t k = std::stoul(line);
      if (k < 1 || k > numbered.size()) continue;
      const FormControl& c = *numbered[k - 1];
      if (!c.enabled) {
        out_ << "That setting is disabled.\n";
      } else if (c.kind == FormControl::Kind::kCheck) {
        form.SetChecked(c.name, !c.checked);
      } else if (c.kind == FormControl::Kind::kOption) {
        form.SelectOption(c.name);
      } else {
        out_ << "New value (Enter keeps \"" << c.text << "\") > ";
        std::string text;
        if (!ReadLine(&text)) continue;  // the next read ends the dialog
        if (!text.empty()) form.SetText(c.name, text);
      }
    } else if (line.size() == 1) {
      int k = PressedByKey(captions, line[0]);
      if (k >= 0) form.Press(buttons[k]->name);
    }
  }
  bar_.EndLine();
}

void TerminalUi::Diagnostic(const std::string& text) {
  bar_.EndLine();
  notes_ << "korund: " << text << "\n" << std::flush;
}

void TerminalUi::ShowHelp(int topic) {
  bar_.EndLine();
  out_ << "\n" << HelpAsPlainText(FindHelpTopic(topic).markdown) << "\n";
}

}  // namespace korund::ui
