#include "util/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace korund {

namespace {

constexpr int16_t kMaxInt16 = std::numeric_limits<int16_t>::max();

bool IsContinuation(unsigned char b, unsigned char lo = 0x80, unsigned char hi = 0xBF) {
  return b >= lo && b <= hi;
}

}  // namespace

size_t CharLength(std::string_view s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = b(i);
  const size_t left = s.size() - i;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    return left >= 2 && IsContinuation(b(i + 1)) ? 2 : 1;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    const unsigned char lo = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned char hi = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    return left >= 3 && IsContinuation(b(i + 1), lo, hi) && IsContinuation(b(i + 2)) ? 3 : 1;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const unsigned char lo = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char hi = lead == 0xF4 ? 0x8F : 0xBF;
    return left >= 4 && IsContinuation(b(i + 1), lo, hi) && IsContinuation(b(i + 2)) &&
                   IsContinuation(b(i + 3))
               ? 4
               : 1;
  }
  return 1;
}

std::vector<std::string_view> SplitCharacters(std::string_view text) {
  std::vector<std::string_view> out;
  for (size_t i = 0; i < text.size();) {
    const size_t len = CharLength(text, i);
    out.push_back(text.substr(i, len));
    i += len;
  }
  return out;
}

int64_t CharCount(std::string_view text) {
  int64_t n = 0;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) ++n;
  return n;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

namespace {

// True if the character ch (one character as cut by CharLength) is one of
// the characters of set.
bool InSet(std::string_view ch, std::string_view set) {
  for (size_t i = 0; i < set.size();) {
    const size_t len = CharLength(set, i);
    if (set.substr(i, len) == ch) return true;
    i += len;
  }
  return false;
}

bool IsSeparatorAt(std::string_view text, size_t i, std::string_view separators, size_t* len) {
  *len = CharLength(text, i);
  return InSet(text.substr(i, *len), separators);
}

// Walks the words of text; returns the byte offset of word n (1-based), or
// npos. With n == 0 it counts all words into *count instead.
size_t WalkWords(std::string_view text, std::string_view separators, size_t n, size_t* count) {
  size_t words = 0;
  size_t i = 0;
  size_t len = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSeparatorAt(text, i, separators, &len)) i += len;
    if (i >= text.size()) break;
    ++words;
    if (words == n) return i;
    while (i < text.size() && !IsSeparatorAt(text, i, separators, &len)) i += len;
  }
  if (count != nullptr) *count = words;
  return std::string_view::npos;
}

}  // namespace

int16_t WordCount(std::string_view text, std::string_view separators) {
  size_t count = 0;
  WalkWords(text, separators, 0, &count);
  return static_cast<int16_t>(count > static_cast<size_t>(kMaxInt16) ? kMaxInt16 : count);
}

int16_t WordStart(int16_t n, std::string_view text, std::string_view separators) {
  if (n < 1) return 0;
  const size_t at = WalkWords(text, separators, static_cast<size_t>(n), nullptr);
  if (at == std::string_view::npos || at + 1 > static_cast<size_t>(kMaxInt16)) return 0;
  return static_cast<int16_t>(at + 1);
}

std::string NthWord(int16_t n, std::string_view text, std::string_view separators) {
  if (n < 1) return "";
  // Walks by byte offset, so a word far into a long text is still found.
  const size_t start = WalkWords(text, separators, static_cast<size_t>(n), nullptr);
  if (start == std::string_view::npos) return "";
  size_t i = start;
  size_t len = 0;
  while (i < text.size() && !IsSeparatorAt(text, i, separators, &len)) i += len;
  return std::string(text.substr(start, i - start));
}

std::string TrimSet(std::string_view text, std::string_view set) {
  // Cut the text into characters once, so the right end is found on a
  // character boundary.
  size_t first = 0;
  size_t end = 0;  // one past the last character kept
  bool seen_kept = false;
  for (size_t i = 0; i < text.size();) {
    const size_t len = CharLength(text, i);
    if (!InSet(text.substr(i, len), set)) {
      if (!seen_kept) first = i;
      seen_kept = true;
      end = i + len;
    }
    i += len;
  }
  if (!seen_kept) return "";
  return std::string(text.substr(first, end - first));
}

std::string RepeatToLength(std::string_view unit, int16_t length) {
  std::string out;
  if (unit.empty() || length <= 0) return out;  // an empty unit would never get there
  size_t unit_chars = 0;
  for (size_t i = 0; i < unit.size(); i += CharLength(unit, i)) ++unit_chars;
  size_t chars = 0;
  while (chars < static_cast<size_t>(length)) {
    out += unit;
    chars += unit_chars;
  }
  return out;
}

bool ContainsText(std::string_view part, std::string_view text) {
  // Byte search is exact for UTF-8: a well-formed sequence cannot start
  // inside another one.
  return text.find(part) != std::string_view::npos;
}

int32_t IndexInList(const ValueArray& list, int32_t last_index, const Value& v) {
  if (last_index < 0 || list.empty()) return -1;
  const size_t last = std::min(static_cast<size_t>(last_index), list.size() - 1);
  for (size_t i = 0; i <= last; ++i) {
    if (list[i] == v) return static_cast<int32_t>(i);
  }
  return -1;
}

Value MaxOf(std::initializer_list<Value> values) {
  if (values.size() == 0) return Value();
  const Value* best = values.begin();
  for (const Value& v : values) {
    if (v > *best) best = &v;
  }
  return *best;
}

Value MinOf(std::initializer_list<Value> values) {
  if (values.size() == 0) return Value();
  const Value* best = values.begin();
  for (const Value& v : values) {
    if (v < *best) best = &v;
  }
  return *best;
}

namespace {

// "123.4500" -> "123.45", "5.000" -> "5": the "#" digits of a pattern show
// only when significant.
void DropInsignificantDecimals(std::string& s) {
  const size_t point = s.find('.');
  if (point == std::string::npos) return;
  size_t end = s.size();
  while (end > point + 1 && s[end - 1] == '0') --end;
  if (end == point + 1) end = point;
  s.erase(end);
}

}  // namespace

std::string FormatSig(double value, int16_t digits) {
  if (!std::isfinite(value)) return FormatNumber(value);
  const double a = std::fabs(value);
  const int d = std::abs(static_cast<int>(digits));
  const bool optional_decimals = digits < 0;

  int decimals = 0;
  bool scientific = false;
  if (a < 0.1) {
    decimals = d - 1;
    scientific = true;
  } else if (a < 1) {
    decimals = d;
  } else {
    const int e = static_cast<int>(std::floor(std::log10(a) + 1));
    if (e > d) {
      decimals = d - 1;
      scientific = true;
    } else if (e < d) {
      decimals = d - e;
    }
  }
  if (decimals < 0) decimals = 0;

  // The pattern is "0[.000|.###][E+00]"; printf does the digit rounding.
  const double shown = value == 0.0 ? 0.0 : value;  // no "-0"
  const char* format = scientific ? "%.*E" : "%.*f";
  const int size = std::snprintf(nullptr, 0, format, decimals, shown);
  std::string s(static_cast<size_t>(size) + 1, '\0');
  std::snprintf(s.data(), s.size(), format, decimals, shown);
  s.resize(static_cast<size_t>(size));
  if (!scientific) {
    if (optional_decimals) DropInsignificantDecimals(s);
    return s;
  }
  // printf writes "E+04" / "E-123": the sign is always there and the
  // exponent has at least two digits, as "E+00" wants.
  const size_t e_at = s.find('E');
  std::string mantissa = s.substr(0, e_at);
  if (optional_decimals) DropInsignificantDecimals(mantissa);
  return mantissa + s.substr(e_at);
}

bool IsValidNumber(const Value& v) {
  const bool numeric = IsNumeric(v);
  // Under the comparison rule only a text can equal a text: no Value made
  // per cell for the comparison.
  const bool missing = v.IsText() && v.Text() == kNaNText;
  return numeric && !missing;
}

std::string ToDisplayLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string QuotedExcerpt(std::string_view text) {
  const int64_t chars = CharCount(text);
  if (chars <= kQuotedChars) return "\"" + std::string(text) + "\"";
  size_t end = 0;
  for (int64_t n = 0; n < kQuotedChars; ++n) end += CharLength(text, end);
  return "\"" + std::string(text.substr(0, end)) + "\xE2\x80\xA6\" (" + std::to_string(chars) +
         " characters)";
}

}  // namespace korund
