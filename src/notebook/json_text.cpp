#include "notebook/json_text.h"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <vector>

namespace korund::notebook {
namespace {

// The length of the well-formed UTF-8 sequence at s[i] (RFC 3629: no
// overlong forms, no surrogates, nothing above U+10FFFF), or 0.
size_t Utf8Length(std::string_view s, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b0 = byte(i);
  const size_t left = s.size() - i;
  auto cont = [&](size_t k, unsigned char lo, unsigned char hi) {
    return k < left && byte(i + k) >= lo && byte(i + k) <= hi;
  };
  if (b0 < 0x80) return 1;
  if (b0 >= 0xC2 && b0 <= 0xDF) return cont(1, 0x80, 0xBF) ? 2 : 0;
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;
    const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;
    return cont(1, lo, hi) && cont(2, 0x80, 0xBF) ? 3 : 0;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;
    return cont(1, lo, hi) && cont(2, 0x80, 0xBF) && cont(3, 0x80, 0xBF) ? 4 : 0;
  }
  return 0;
}

const char kHex[] = "0123456789abcdef";

}  // namespace

void AppendJsonString(std::string* out, std::string_view s) {
  const size_t start = out->size();
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
        // Rare: leave the replacement rules for broken UTF-8 to the library
        // whose output the file has always had.
        out->resize(start);
        *out += nlohmann::ordered_json(std::string(s)).dump(
            -1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        return;
      }
      out->append(s.data() + i, len);
      i += len;
      continue;
    }
    switch (c) {
      case '"': *out += "\\\""; break;
      case '\\': *out += "\\\\"; break;
      case '\b': *out += "\\b"; break;
      case '\f': *out += "\\f"; break;
      case '\n': *out += "\\n"; break;
      case '\r': *out += "\\r"; break;
      case '\t': *out += "\\t"; break;
      default:
        *out += "\\u00";
        out->push_back(kHex[c >> 4]);
        out->push_back(kHex[c & 0xF]);
    }
    ++i;
  }
  out->push_back('"');
}

void AppendJsonDouble(std::string* out, double x) {
  if (!std::isfinite(x)) {
    *out += "null";
    return;
  }
  // The library's own shortest-digits routine: std::to_chars picks other
  // (equally exact) digits for about 1 double in 300, and the file's bytes
  // must not move.
  char buffer[64];
  char* end = nlohmann::detail::to_chars(buffer, buffer + sizeof buffer, x);
  out->append(buffer, static_cast<size_t>(end - buffer));
}

void AppendJsonInteger(std::string* out, int64_t n) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  out->append(buffer, static_cast<size_t>(result.ptr - buffer));
}

void AppendJsonUnsigned(std::string* out, uint64_t n) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  out->append(buffer, static_cast<size_t>(result.ptr - buffer));
}

size_t SkipCompactString(std::string_view text, size_t pos) {
  size_t i = pos + 1;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\\') {
      i += 2;
    } else if (c == '"') {
      return i + 1;
    } else {
      ++i;
    }
  }
  return text.size();
}

size_t SkipCompactValue(std::string_view text, size_t pos) {
  if (pos >= text.size()) return pos;
  const char first = text[pos];
  if (first == '"') return SkipCompactString(text, pos);
  if (first != '{' && first != '[') {
    size_t i = pos;
    while (i < text.size() && text[i] != ',' && text[i] != '}' && text[i] != ']') ++i;
    return i;
  }
  int depth = 0;
  size_t i = pos;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"') {
      i = SkipCompactString(text, i);
      continue;
    }
    if (c == '{' || c == '[') ++depth;
    if (c == '}' || c == ']') {
      if (--depth == 0) return i + 1;
    }
    ++i;
  }
  return text.size();
}

void AppendPretty(std::string* out, std::string_view compact, int indent) {
  size_t level = static_cast<size_t>(indent);
  size_t i = 0;
  const size_t n = compact.size();
  while (i < n) {
    const char c = compact[i];
    switch (c) {
      case '"': {
        const size_t end = SkipCompactString(compact, i);
        out->append(compact.data() + i, end - i);
        i = end;
        break;
      }
      case '{':
      case '[': {
        const char close = c == '{' ? '}' : ']';
        out->push_back(c);
        if (i + 1 < n && compact[i + 1] == close) {  // "{}" and "[]" stay on one line
          out->push_back(close);
          i += 2;
        } else {
          level += 2;
          out->push_back('\n');
          out->append(level, ' ');
          ++i;
        }
        break;
      }
      case '}':
      case ']':
        level -= 2;
        out->push_back('\n');
        out->append(level, ' ');
        out->push_back(c);
        ++i;
        break;
      case ',':
        out->append(",\n");
        out->append(level, ' ');
        ++i;
        break;
      case ':':
        out->append(": ");
        ++i;
        break;
      default: {
        size_t end = i;
        while (end < n && compact[end] != ',' && compact[end] != '}' && compact[end] != ']' &&
               compact[end] != ':') {
          ++end;
        }
        out->append(compact.data() + i, end - i);
        i = end;
      }
    }
  }
}

namespace {

std::string Printable(std::string_view s, bool keep_tail, bool escape_quotes) {
  constexpr size_t kShown = 40;
  // Split into characters first so that the cut never halves one.
  struct Piece {
    size_t begin, length;
  };
  std::vector<Piece> pieces;
  for (size_t i = 0; i < s.size();) {
    size_t len = Utf8Length(s, i);
    if (len == 0) len = 1;
    pieces.push_back({i, len});
    i += len;
  }
  size_t first = 0, last = pieces.size();
  if (pieces.size() > kShown) {
    if (keep_tail) {
      first = pieces.size() - kShown;
    } else {
      last = kShown;
    }
  }
  std::string quoted;
  if (first > 0) quoted += "…";
  for (size_t p = first; p < last; ++p) {
    const Piece piece = pieces[p];
    const unsigned char c = static_cast<unsigned char>(s[piece.begin]);
    if (piece.length == 1 && (c < 0x20 || c == 0x7F)) {
      quoted += "\\u00";
      quoted.push_back(kHex[c >> 4]);
      quoted.push_back(kHex[c & 0xF]);
    } else if (escape_quotes && (c == '"' || c == '\\')) {
      quoted.push_back('\\');
      quoted.push_back(static_cast<char>(c));
    } else if (piece.length == 1 && c >= 0x80) {
      quoted += "\\x";
      quoted.push_back(kHex[c >> 4]);
      quoted.push_back(kHex[c & 0xF]);
    } else {
      quoted.append(s.data() + piece.begin, piece.length);
    }
  }
  if (last < pieces.size()) quoted += "…";
  return quoted;
}

}  // namespace

std::string QuoteForError(std::string_view s, bool keep_tail) {
  return "\"" + Printable(s, keep_tail, true) + "\"";
}

std::string CutForError(std::string_view s) { return Printable(s, false, false); }

}  // namespace korund::notebook
