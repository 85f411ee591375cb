#include "util/json_string.h"

namespace korund {
namespace {

// How the bytes after a lead byte b0 may run: the second byte's range (which
// rules out overlong forms, surrogates and code points above U+10FFFF) and
// the sequence's length; length 0 when b0 starts no character.
struct Lead {
  size_t length;
  unsigned char lo, hi;
};

Lead LeadOf(unsigned char b0) {
  if (b0 < 0x80) return {1, 0, 0};
  if (b0 >= 0xC2 && b0 <= 0xDF) return {2, 0x80, 0xBF};
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    return {3, static_cast<unsigned char>(b0 == 0xE0 ? 0xA0 : 0x80),
            static_cast<unsigned char>(b0 == 0xED ? 0x9F : 0xBF)};
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    return {4, static_cast<unsigned char>(b0 == 0xF0 ? 0x90 : 0x80),
            static_cast<unsigned char>(b0 == 0xF4 ? 0x8F : 0xBF)};
  }
  return {0, 0, 0};
}

// How many bytes from s[i] belong to the character that starts there,
// counting only those that fit (at least 1): a well-formed character whole,
// a broken one up to the first byte that does not fit it.
size_t FittingBytes(std::string_view s, size_t i) {
  const Lead lead = LeadOf(static_cast<unsigned char>(s[i]));
  if (lead.length <= 1) return 1;
  size_t k = 1;
  for (; k < lead.length && i + k < s.size(); ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    const unsigned char lo = k == 1 ? lead.lo : 0x80;
    const unsigned char hi = k == 1 ? lead.hi : 0xBF;
    if (b < lo || b > hi) break;
  }
  return k;
}

const char kHex[] = "0123456789abcdef";

}  // namespace

size_t Utf8Length(std::string_view s, size_t i) {
  const size_t length = LeadOf(static_cast<unsigned char>(s[i])).length;
  if (length <= 1) return length;
  return FittingBytes(s, i) == length ? length : 0;
}

void AppendJsonString(std::string* out, std::string_view s) {
  out->push_back('"');
  size_t i = 0;
  while (i < s.size()) {
    // Copy the longest run that needs no escaping in one go.
    size_t run = i;
    while (run < s.size()) {
      const unsigned char c = static_cast<unsigned char>(s[run]);
      if (c < 0x20 || c == '"' || c == '\\' || c >= 0x80) break;
      ++run;
    }
    out->append(s.data() + i, run - i);
    i = run;
    if (i == s.size()) break;
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      const size_t len = Utf8Length(s, i);
      if (len == 0) {
        *out += "\xEF\xBF\xBD";
        i += FittingBytes(s, i);
      } else {
        out->append(s.data() + i, len);
        i += len;
      }
      continue;
    }
    switch (c) {
      case '"':
        *out += "\\\"";
        break;
      case '\\':
        *out += "\\\\";
        break;
      case '\b':
        *out += "\\b";
        break;
      case '\f':
        *out += "\\f";
        break;
      case '\n':
        *out += "\\n";
        break;
      case '\r':
        *out += "\\r";
        break;
      case '\t':
        *out += "\\t";
        break;
      default:
        *out += "\\u00";
        out->push_back(kHex[c >> 4]);
        out->push_back(kHex[c & 0xF]);
    }
    ++i;
  }
  out->push_back('"');
}

}  // namespace korund
