// The message dialog lays its window out the way the form did: the icon box
// at (200, 200), the label beside or under it, and a row of 1260 x 345
// buttons under both, centred (fixed width) or sharing the whole width
// (stretch). Every measure is in twips and whole numbers, as the form's
// properties were; the back end only draws what Layout computed.
#include "dialogs/message_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "util/run_settings.h"
#include "util/text.h"

namespace korund::dialogs {

namespace {

constexpr int kBaseWidth = 5745;
constexpr int kMaxWidth = 1000000;  // keeps every layout sum inside int
constexpr int kMargin = 200;
constexpr int kPictureSize = 615;
constexpr int kButtonWidth = 1260;
constexpr int kButtonHeight = 345;
constexpr int kButtonGap = 100;

// The icon bits a caller may set; everything else in the argument is ignored.
constexpr int32_t kIconBits = 112;

// Lines of one paragraph (no line breaks inside) wrapped at cap characters.
int64_t ParagraphLines(std::string_view para, int64_t cap) {
  int64_t lines = 1;
  int64_t line_len = 0;
  bool at_start = true;
  auto put = [&](int64_t w) {
    if (w <= cap) {
      line_len = w;
    } else {  // a word longer than a line is cut into full lines
      lines += (w - 1) / cap;
      line_len = w - ((w - 1) / cap) * cap;
    }
    at_start = false;
  };
  size_t i = 0;
  while (true) {
    const size_t blank = para.find(' ', i);
    const std::string_view word =
        para.substr(i, blank == std::string_view::npos ? std::string_view::npos : blank - i);
    const int64_t w = CharCount(word);
    if (at_start) {
      put(w);
    } else if (line_len + 1 + w <= cap) {
      line_len += 1 + w;
    } else {
      ++lines;
      put(w);
    }
    if (blank == std::string_view::npos) break;
    i = blank + 1;
  }
  return lines;
}

// Basic's \: integer division with the quotient truncated toward zero.
int IntDiv(int a, int b) { return a / b; }

}  // namespace

int WrappedTextHeight(const std::string& text, int width) {
  const int64_t cap = std::max(1, width / kMessageCharWidth);
  int64_t lines = 0;
  size_t i = 0;
  while (true) {
    const size_t brk = text.find_first_of("\r\n", i);
    const std::string_view para =
        std::string_view(text).substr(i, brk == std::string::npos ? std::string::npos : brk - i);
    lines += ParagraphLines(para, cap);
    if (brk == std::string::npos) break;
    i = brk + 1;
    if (text[brk] == '\r' && i < text.size() && text[i] == '\n') ++i;  // CR LF is one break
  }
  const int64_t height = lines * kMessageLineHeight;
  return static_cast<int>(std::min<int64_t>(height, INT32_MAX / 2));
}

ui::MessageDialogView MessageDialog::Layout(const Message& m) const {
  const std::string& caption2 = m.buttons[1];
  const std::string& caption3 = m.buttons[2];
  const std::string& caption4 = m.buttons[3];
  ui::MessageDialogView v;

  // Tested in this order, so an empty caption2 always gives one button even
  // when a later caption is set.
  int n = 4;
  if (caption4.empty()) n = 3;
  if (caption3.empty()) n = 2;
  if (caption2.empty()) n = 1;

  // The form's Width is a whole number of twips: the single-precision
  // product is rounded half to even when stored. A scale that cannot give a
  // window (not finite, not positive, absurdly large) is read as 1.
  float product = m.scale * static_cast<float>(kBaseWidth);
  if (!std::isfinite(product) || product <= 0.0f || product > static_cast<float>(kMaxWidth)) {
    product = static_cast<float>(kBaseWidth);
  }
  const int w = static_cast<int>(std::nearbyint(product));  // default mode: half to even
  v.width = w;
  v.text = m.text;
  v.title = m.title.empty() ? AppTitle() : m.title;
  v.help_topic = help_topic_;

  v.captions = {m.buttons[0], caption2, caption3, caption4};
  v.visible = {true, !caption2.empty(), !caption3.empty(), !caption4.empty()};

  const int32_t bits = m.icon & kIconBits;
  v.icon = (bits == 16 || bits == 32 || bits == 48 || bits == 64) ? bits : 0;
  const bool picture = v.icon != 0;

  v.text_top = kMargin;
  v.text_left = picture ? kPictureSize + 400 : kMargin;
  v.text_width = w - kMargin - v.text_left;
  v.text_height = WrappedTextHeight(m.text, v.text_width);

  v.button_top = picture ? static_cast<int>(MaxOf(v.text_height, kPictureSize).Number()) + 400
                         : v.text_height + 400;

  v.button_lefts.assign(4, 0);
  if (!m.stretch) {
    v.button_width = kButtonWidth;
    const int first = IntDiv(w - n * kButtonWidth - (n - 1) * kButtonGap, 2);
    for (int k = 0; k < 4; ++k) v.button_lefts[k] = first + k * (kButtonWidth + kButtonGap);
  } else {
    v.button_width = IntDiv(w - (n - 1) * kButtonGap - 400, n);
    for (int k = 0; k < 4; ++k) v.button_lefts[k] = (v.button_width + kButtonGap) * k + kMargin;
  }

  v.default_button = (m.default_button >= 1 && m.default_button <= n) ? m.default_button : 1;
  v.height = v.button_top + kButtonHeight + kMargin + 400;

  // The window sees keys before its buttons. Every button is tried, so with
  // a shared access letter the later button wins.
  std::vector<std::string> upper_captions;
  for (const auto& c : v.captions) upper_captions.push_back(UpperAscii(c));
  v.access_key = [upper_captions](char typed) {
    const auto byte = static_cast<unsigned char>(typed);
    // A lone non-ASCII byte is part of a character, never a whole access key.
    if (byte >= 0x80) return 0;
    const std::string key = std::string("&") + UpperAscii(std::string(1, static_cast<char>(byte)));
    int pressed = 0;
    for (size_t i = 0; i < upper_captions.size(); ++i) {
      if (ContainsText(key, upper_captions[i])) pressed = static_cast<int>(i) + 1;
    }
    return pressed;
  };
  return v;
}

int MessageDialog::Go(const Message& m) {
  const int32_t bits = m.icon & kIconBits;
  if (bits == 80 || bits == 96 || bits == 112) {
    ui_.MsgBox("Invalid Icons bit in MyMsgBox.Go: " + std::to_string(m.icon) + " (remnant " +
                   std::to_string(bits) + ")",
               ui::kMbOk, AppTitle());
  }
  const ui::MessageDialogView view = Layout(m);
  const int pressed = ui_.ShowMessageDialog(view);
  // Closed other than by a button: 0, which no caller mistakes for an answer.
  return (pressed >= 1 && pressed <= 4) ? pressed : 0;
}

}  // namespace korund::dialogs
