#include "ui/batch_ui.h"

#include <algorithm>
#include <ostream>
#include <utility>

#include "util/run_settings.h"
#include "util/terminate.h"
#include "util/text.h"

namespace korund::ui {

BatchUi::BatchUi(BatchOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)),
      out_(out),
      err_(err),
      clipboard_(options_.clipboard_file, options_.desktop_clipboard, err) {}

bool BatchUi::NextAnswer(const std::string& title, std::string* caption) {
  std::vector<const std::string*> for_title;
  for (const auto& [t, c] : options_.answers) {
    if (t == title) for_title.push_back(&c);
  }
  if (for_title.empty()) return false;
  size_t& used = answers_used_[title];
  *caption = *for_title[std::min(used, for_title.size() - 1)];
  used++;
  return true;
}

void BatchUi::Print(const std::string& title, const std::string& text,
                    const std::string& answer) {
  std::ostream& to = title == "FINISHED" ? out_ : err_;
  to << "[" << ToTerminalText(title) << "]\n";
  std::string shown = ToTerminalText(text);
  if (!shown.empty()) to << shown << (shown.back() == '\n' ? "" : "\n");
  if (!answer.empty()) to << "  -> " << answer << "\n";
  to.flush();
}

int BatchUi::MsgBox(const std::string& text, int flags, const std::string& title) {
  const std::string shown_title = title.empty() ? AppTitle() : title;
  const bool retry_cancel = (flags & 7) == kMbRetryCancel;
  Print(shown_title, text, retry_cancel ? "Cancel" : "");
  if (!box_detail_.empty()) Diagnostic(std::exchange(box_detail_, {}));
  return retry_cancel ? kIdCancel : kIdOk;
}

int BatchUi::ShowMessageDialog(const MessageDialogView& view) {
  auto find = [&view](const std::string& caption) {
    for (size_t i = 0; i < view.captions.size(); ++i) {
      if (view.visible[i] && CaptionMatches(view.captions[i], caption)) {
        return static_cast<int>(i) + 1;
      }
    }
    return 0;
  };
  int pressed = view.default_button;
  std::string caption;
  const bool answered = view.title != kLockedTitle && NextAnswer(view.title, &caption);
  if (view.title == kLockedTitle) {
    int wanted = find(options_.allow_unlock ? "&Unlock" : "&Stop");
    if (wanted != 0) pressed = wanted;
  } else if (!answered && view.title.rfind(kCheckTitlePrefix, 0) == 0 && find("&Stop") != 0) {
    // Going on would overwrite another analysis's results: nobody asked for
    // that, so the run stops unless an answer says otherwise.
    pressed = find("&Stop");
    const int go_on = view.default_button != pressed ? view.default_button : 1;
    Print(view.title, view.text, StripAmpersand(view.captions[pressed - 1]));
    err_ << "korund: to analyse this worksheet anyway, add --answer \"" << view.title << "="
         << StripAmpersand(view.captions[go_on - 1]) << "\"\n";
    return pressed;
  } else {
    if (answered) {
      pressed = find(caption);
      if (pressed == 0) {
        Print(view.title, view.text, "");
        err_ << "korund: --answer \"" << view.title << "=" << caption
             << "\" names no button of this box; nothing was changed\n";
        throw TerminateProgramError(ExitReason::kFatal,
                                    "no button \"" + caption + "\" in \"" + view.title + "\"");
      }
    }
  }
  if (pressed < 1 || pressed > static_cast<int>(view.captions.size())) pressed = 1;
  Print(view.title, view.text, StripAmpersand(view.captions[pressed - 1]));
  return pressed;
}

void BatchUi::RunForm(FormModel& form) {
  std::vector<std::string> rejected = ApplyFormOverrides(form, options_.overrides);
  if (!rejected.empty()) {
    for (const std::string& r : rejected) {
      err_ << "korund: the dialog \"" << form.Caption() << "\" did not take " << r << "\n";
    }
    err_ << "korund: nothing was changed\n";
    throw TerminateProgramError(ExitReason::kFatal, "an option was refused");
  }
  form.Press(form.DefaultButton());
  if (!form.Closed()) {
    err_ << "korund: the dialog \"" << form.Caption()
         << "\" did not accept its options; nothing was changed\n";
    throw TerminateProgramError(ExitReason::kFatal, "the options were not accepted");
  }
}

void BatchUi::Diagnostic(const std::string& text) {
  err_ << "korund: " << text << "\n";
  err_.flush();
}

void BatchUi::ShowHelp(int topic) {
  err_ << "korund: help topic " << topic << " of " << help_file_ << "\n";
}

}  // namespace korund::ui
