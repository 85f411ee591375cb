#include "notebook/json_events.h"

#include <cstdio>
#include <utility>

namespace korund::notebook {
namespace {

// One token of JSON text as an error text names it: either its name
// ("string literal", "']'") or, for a token that is broken, what is wrong
// with it. `end` is past the last byte read to find that out; read_end is
// set when the end of the text was read too.
struct Lexed {
  const char* name = nullptr;
  std::string fault;
  size_t end = 0;
  bool read_end = false;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Reads the text from a position on, byte by byte, as a broken token is
// found: a fault is at the byte just read (or at the end of the text).
class Scanner {
 public:
  Scanner(std::string_view text, size_t pos) : text_(text), pos_(pos) {}

  // The next byte, or -1 at the end (then read_end is set).
  int Next() {
    if (pos_ >= text_.size()) {
      read_end_ = true;
      return -1;
    }
    return static_cast<unsigned char>(text_[pos_++]);
  }
  // Looks at the next byte without reading it.
  int Peek() const { return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_]) : -1; }

  Lexed Token(const char* name) const { return {name, "", pos_, read_end_}; }
  Lexed Fault(std::string what) const { return {nullptr, std::move(what), pos_, read_end_}; }

 private:
  std::string_view text_;
  size_t pos_;
  bool read_end_ = false;
};

Lexed LexLiteral(Scanner* s, const char* word, const char* name) {
  for (const char* w = word; *w != '\0'; ++w) {
    if (s->Next() != static_cast<unsigned char>(*w)) return s->Fault("invalid literal");
  }
  return s->Token(name);
}

// After the first byte of a number.
Lexed LexNumber(Scanner* s, int first) {
  auto digit_next = [&] { return IsDigit(static_cast<char>(s->Peek())); };
  auto skip_digits = [&] {
    while (digit_next()) s->Next();
  };
  if (first == '-') {
    first = s->Next();
    if (!IsDigit(static_cast<char>(first))) {
      return s->Fault("invalid number; expected digit after '-'");
    }
  }
  if (first != '0') skip_digits();
  if (s->Peek() == '.') {
    s->Next();
    if (!IsDigit(static_cast<char>(s->Next()))) {
      return s->Fault("invalid number; expected digit after '.'");
    }
    skip_digits();
  }
  if (s->Peek() == 'e' || s->Peek() == 'E') {
    s->Next();
    const int c = s->Next();
    if (c == '+' || c == '-') {
      if (!IsDigit(static_cast<char>(s->Next()))) {
        return s->Fault("invalid number; expected digit after exponent sign");
      }
    } else if (!IsDigit(static_cast<char>(c))) {
      return s->Fault("invalid number; expected '+', '-', or digit after exponent");
    }
    skip_digits();
  }
  return s->Token("number literal");
}

std::string ControlCharacterFault(int c) {
  static const char* const kNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                         "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                         "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                         "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
  const char* shorter = c == 8    ? "b"
                        : c == 9  ? "t"
                        : c == 10 ? "n"
                        : c == 12 ? "f"
                        : c == 13 ? "r"
                                  : nullptr;
  char text[120];
  std::snprintf(text, sizeof text,
                "invalid string: control character U+%04X (%s) must be escaped to \\u%04X%s%s", c,
                kNames[c], c, shorter == nullptr ? "" : " or \\",
                shorter == nullptr ? "" : shorter);
  return text;
}

// Four hex digits after "\u": the code unit, or -1.
int LexHex4(Scanner* s) {
  int unit = 0;
  for (int i = 0; i < 4; ++i) {
    const int c = s->Next();
    if (c < 0 || !IsHex(static_cast<char>(c))) return -1;
    unit = unit * 16 + (IsDigit(static_cast<char>(c)) ? c - '0' : (c | 0x20) - 'a' + 10);
  }
  return unit;
}

// After "\u": one code point, a surrogate pair whole. "" or the fault.
std::string LexUnicodeEscape(Scanner* s) {
  const char* const kHexFault = "invalid string: '\\u' must be followed by 4 hex digits";
  const int unit = LexHex4(s);
  if (unit < 0) return kHexFault;
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    return "invalid string: surrogate U+DC00..U+DFFF must follow U+D800..U+DBFF";
  }
  if (unit < 0xD800 || unit > 0xDBFF) return "";
  const char* const kPairFault =
      "invalid string: surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF";
  if (s->Next() != '\\' || s->Next() != 'u') return kPairFault;
  const int low = LexHex4(s);
  if (low < 0) return kHexFault;
  return low >= 0xDC00 && low <= 0xDFFF ? "" : kPairFault;
}

// The bytes after a UTF-8 lead byte: "" or the fault.
std::string LexUtf8Tail(Scanner* s, int lead) {
  const char* const kFault = "invalid string: ill-formed UTF-8 byte";
  int count = 0, lo = 0x80, hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    count = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    count = 2;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    count = 3;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  } else {
    return kFault;
  }
  for (int i = 0; i < count; ++i, lo = 0x80, hi = 0xBF) {
    const int c = s->Next();
    if (c < lo || c > hi) return kFault;
  }
  return "";
}

// After the opening quote.
Lexed LexString(Scanner* s) {
  for (;;) {
    const int c = s->Next();
    if (c < 0) return s->Fault("invalid string: missing closing quote");
    if (c == '"') return s->Token("string literal");
    std::string fault;
    if (c == '\\') {
      const int e = s->Next();
      if (e == 'u') {
        fault = LexUnicodeEscape(s);
      } else if (e < 0 || std::strchr("\"\\/bfnrt", e) == nullptr || e == 0) {
        fault = "invalid string: forbidden character after backslash";
      }
    } else if (c < 0x20) {
      fault = ControlCharacterFault(c);
    } else if (c >= 0x80) {
      fault = LexUtf8Tail(s, c);
    }
    if (!fault.empty()) return s->Fault(std::move(fault));
  }
}

// The token starting at text[pos] (no blank there).
Lexed Lex(std::string_view text, size_t pos) {
  Scanner s(text, pos);
  const int c = s.Next();
  switch (c) {
    case -1:
    case 0:
      return s.Token("end of input");
    case '[':
      return s.Token("'['");
    case ']':
      return s.Token("']'");
    case '{':
      return s.Token("'{'");
    case '}':
      return s.Token("'}'");
    case ':':
      return s.Token("':'");
    case ',':
      return s.Token("','");
    case 't':
      return LexLiteral(&s, "rue", "true literal");
    case 'f':
      return LexLiteral(&s, "alse", "false literal");
    case 'n':
      return LexLiteral(&s, "ull", "null literal");
    case '"':
      return LexString(&s);
    default:
      if (c == '-' || IsDigit(static_cast<char>(c))) return LexNumber(&s, c);
      return s.Fault("invalid literal");
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The bytes read, control characters as <U+XXXX>.
std::string TokenText(std::string_view token) {
  std::string shown;
  for (char c : token) {
    if (static_cast<unsigned char>(c) < 0x20) {
      char code[12];
      std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(c));
      shown += code;
    } else {
      shown.push_back(c);
    }
  }
  return shown;
}

// What the reader was parsing when RapidJSON stopped with `code`, and the
// token it expected there.
std::pair<const char*, const char*> ContextOf(rapidjson::ParseErrorCode code, bool key_due) {
  switch (code) {
    case rapidjson::kParseErrorDocumentRootNotSingular: return {"value", "end of input"};
    case rapidjson::kParseErrorObjectMissName: return {"object key", "string literal"};
    case rapidjson::kParseErrorObjectMissColon: return {"object separator", "':'"};
    case rapidjson::kParseErrorObjectMissCommaOrCurlyBracket: return {"object", "'}'"};
    case rapidjson::kParseErrorArrayMissCommaOrSquareBracket: return {"array", "']'"};
    default:
      return key_due ? std::pair{"object key", "string literal"}
                     : std::pair{"value", "'[', '{', or a literal"};
  }
}

}  // namespace

std::string JsonSyntaxError(std::string_view text, const JsonRefusal& refusal) {
  const std::string_view kBom = "\xEF\xBB\xBF";
  if (refusal.from == 0 && !text.empty() && text[0] == kBom[0] && text.substr(0, 3) != kBom) {
    // A broken byte-order mark: its bytes up to the one that is wrong.
    const size_t read = text.size() > 1 && text[1] == kBom[1] ? 3 : 2;
    return "not valid JSON: parse error at line 1, column " + std::to_string(read) +
           ": syntax error while parsing value - invalid BOM; must be 0xEF 0xBB 0xBF if given; "
           "last read: " +
           QuoteForError(TokenText(text.substr(0, read)), true);
  }
  // The tokens from `from` on, up to the one RapidJSON stopped in.
  size_t start = refusal.from;
  Lexed token;
  for (;;) {
    while (start < text.size() && IsBlank(text[start])) ++start;
    token = Lex(text, start);
    if (token.name == nullptr || token.end > refusal.offset || start >= text.size() ||
        text[start] == '\0') {
      break;
    }
    start = token.end;
  }
  const auto [context, expected] = ContextOf(refusal.code, refusal.key_due);
  // Lines and columns as a reader that counts each byte it reads, the end
  // of the text as one more, and starts a line after each line feed.
  const size_t read = token.end + (token.read_end ? 1 : 0);
  const size_t line_start = text.substr(0, token.end).rfind('\n');
  const size_t line =
      1 + static_cast<size_t>(std::count(text.begin(), text.begin() + token.end, '\n'));
  size_t column = line_start == std::string_view::npos ? read : read - line_start - 1;
  // A number is read up to the byte after it, which is then given back: a
  // line feed given back leaves the column at 0.
  if (token.name != nullptr && std::string_view(token.name) == "number literal" &&
      token.end < text.size() && text[token.end] == '\n') {
    column = 0;
  }
  std::string error = "not valid JSON: parse error at line " + std::to_string(line) + ", column " +
                      std::to_string(column) + ": ";
  error += std::string("syntax error while parsing ") + context + " - ";
  if (token.name == nullptr) {
    // Reading a string or a number starts the token read afresh.
    const char first = start < text.size() ? text[start] : ' ';
    const size_t from =
        first == '"' || first == '-' || IsDigit(first) ? start : refusal.last_scalar;
    return error + token.fault +
           "; last read: " + QuoteForError(TokenText(text.substr(from, token.end - from)), true);
  }
  return error + "unexpected " + token.name + "; expected " + expected;
}

std::string NumberRangeError(std::string_view text, size_t pos) {
  const Lexed token = Lex(text, pos);
  const std::string number(text.substr(pos, token.end - pos));
  if (std::isfinite(std::strtod(number.c_str(), nullptr))) return "";
  return "the number " + QuoteForError(number, true) + " is outside the range of a double";
}

namespace json_events_internal {

bool HasLoneLowSurrogate(const char* text, size_t length) {
  const char* const end = text + length;
  for (const char* p = text;
       (p = static_cast<const char*>(std::memchr(p, '\xED', static_cast<size_t>(end - p)))) !=
       nullptr;
       ++p) {
    if (p + 1 < end && static_cast<unsigned char>(p[1]) >= 0xA0) return true;
  }
  return false;
}

void ShortenNumbers(std::string_view text, std::string* copy) {
  size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '"') {
      pos = Lex(text, pos).end;
      continue;
    }
    if (c != '-' && !IsDigit(c)) {
      ++pos;
      continue;
    }
    const Lexed token = Lex(text, pos);
    const size_t length = token.end - pos;
    // RapidJSON refuses exponents past 308 and integer parts of more than
    // 308 digits, the shortest such text being 0e309.
    if (token.name != nullptr && length >= 5) {
      const double x = std::strtod(std::string(text.substr(pos, length)).c_str(), nullptr);
      std::string shorter;
      if (std::isfinite(x)) AppendJsonDouble(&shorter, x);
      if (!shorter.empty() && shorter.size() <= length) {
        shorter.resize(length, ' ');
        copy->replace(pos, length, shorter);
      }
    }
    pos = std::max(token.end, pos + 1);
  }
}

}  // namespace json_events_internal
}  // namespace korund::notebook
