#include "notebook/json_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <fmt/compile.h>
#include <fmt/format.h>
#include <vector>

namespace korund::notebook {
namespace {

const char kHex[] = "0123456789abcdef";

}  // namespace

namespace {

// "00" to "99": two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr uint64_t kPowersOf10[20] = {1,
                                      10,
                                      100,
                                      1000,
                                      10000,
                                      100000,
                                      1000000,
                                      10000000,
                                      100000000,
                                      1000000000,
                                      10000000000,
                                      100000000000,
                                      1000000000000,
                                      10000000000000,
                                      100000000000000,
                                      1000000000000000,
                                      10000000000000000,
                                      100000000000000000,
                                      1000000000000000000,
                                      10000000000000000000u};

int DigitCount(uint64_t n) {
  // 1233 / 4096 is just above log10(2): t is the count or one less. n | 1
  // has as many digits as n, and one for 0.
  n |= 1;
  const int t = (std::bit_width(n) * 1233) >> 12;
  return t + (n >= kPowersOf10[t] ? 1 : 0);
}

// Writes the eight decimal digits of n < 10^8, zeros in front, at p: two
// halves of four digits, each two pairs, independent of each other.
void WriteEightDigits(char* p, uint32_t n) {
  const uint32_t high = n / 10000, low = n % 10000;
  std::memcpy(p, kDigitPairs + (high / 100) * 2, 2);
  std::memcpy(p + 2, kDigitPairs + (high % 100) * 2, 2);
  std::memcpy(p + 4, kDigitPairs + (low / 100) * 2, 2);
  std::memcpy(p + 6, kDigitPairs + (low % 100) * 2, 2);
}

// Writes the decimal digits of n ending just before end. Eight at a time in
// 32-bit arithmetic, cheaper than dividing the 64-bit number by 100.
void WriteDigits(char* end, uint64_t n) {
  while (n >= 100000000) {
    end -= 8;
    WriteEightDigits(end, static_cast<uint32_t>(n % 100000000));
    n /= 100000000;
  }
  auto m = static_cast<uint32_t>(n);
  while (m >= 100) {
    end -= 2;
    std::memcpy(end, kDigitPairs + (m % 100) * 2, 2);
    m /= 100;
  }
  if (m >= 10) {
    std::memcpy(end - 2, kDigitPairs + m * 2, 2);
  } else {
    end[-1] = static_cast<char>('0' + m);
  }
}

// {fmt}'s text [p, end) of a positive double with 16 digits before the
// point ("1234567890123456.8", "1000000000000000") in the exponent form
// this file uses there ("1.2345678901234568e+15", "1e+15"); returns the end.
char* ToExponentForm(char* p, const char* end) {
  char digits[32];
  size_t n = 0;
  for (const char* q = p; q != end; ++q) {
    if (*q != '.') digits[n++] = *q;
  }
  while (n > 1 && digits[n - 1] == '0') --n;
  char* out = p + 1;
  *p = digits[0];
  if (n > 1) {
    *out++ = '.';
    std::memcpy(out, digits + 1, n - 1);
    out += n - 1;
  }
  std::memcpy(out, "e+15", 4);
  return out + 4;
}

}  // namespace

char* WriteJsonDouble(char* p, double x) {
  if (!std::isfinite(x)) {
    std::memcpy(p, "null", 4);
    return p + 4;
  }
  if (std::signbit(x)) {
    *p++ = '-';
    x = -x;
  }
  if (x == 0) {
    std::memcpy(p, "0.0", 3);
    return p + 3;
  }
  // {fmt}'s "{}" writes the shortest digits that read back as x, the
  // nearest of them when there are several (Dragonbox: the same digits as
  // std::to_chars, about three times faster), and lays them out as this
  // file does, but for two cases put right below: an integral value has no
  // ".0", and 16 digits before the point stay plain.
  char* const end = fmt::format_to(p, FMT_COMPILE("{}"), x);
  const char* q = p;
  while (q != end && *q >= '0' && *q <= '9') ++q;
  if (q - p == 16) return ToExponentForm(p, end);
  if (q != end) return end;  // a point or an exponent
  std::memcpy(end, ".0", 2);
  return end + 2;
}

void AppendJsonDouble(std::string* out, double x) {
  char buffer[kJsonDoubleRoom];
  out->append(buffer, static_cast<size_t>(WriteJsonDouble(buffer, x) - buffer));
}

char* WriteJsonInteger(char* p, int64_t n) {
  if (n < 0) {
    *p++ = '-';
    // Through unsigned arithmetic: -INT64_MIN does not fit an int64_t.
    const uint64_t magnitude = 0 - static_cast<uint64_t>(n);
    const int len = DigitCount(magnitude);
    WriteDigits(p + len, magnitude);
    return p + len;
  }
  const int len = DigitCount(static_cast<uint64_t>(n));
  WriteDigits(p + len, static_cast<uint64_t>(n));
  return p + len;
}

namespace {

// A JSON number's digits as one integer and a power of ten, when there are
// few enough digits to fit 64 bits.
struct DecimalNumber {
  bool negative = false;
  uint64_t digits = 0;
  int exponent = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SplitDecimal(const char* p, const char* last, DecimalNumber* d) {
  constexpr std::ptrdiff_t kMaxDigits = 19;
  if (p != last && *p == '-') {
    d->negative = true;
    ++p;
  }
  // The digits are gathered unchecked (an unsigned integer only wraps) and
  // counted afterwards: too many, and the result is not used.
  uint64_t w = 0;
  const char* start = p;
  for (; p != last && IsDigit(*p); ++p) w = w * 10 + static_cast<uint64_t>(*p - '0');
  std::ptrdiff_t count = p - start;
  if (count == 0) return false;
  if (p != last && *p == '.') {
    start = ++p;
    for (; p != last && IsDigit(*p); ++p) w = w * 10 + static_cast<uint64_t>(*p - '0');
    if (p == start) return false;
    count += p - start;
    d->exponent = -static_cast<int>(std::min(p - start, kMaxDigits + 1));
  }
  if (count > kMaxDigits) return false;
  if (p != last && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool down = p != last && *p == '-';
    if (p != last && (*p == '-' || *p == '+')) ++p;
    start = p;
    int e = 0;
    for (; p != last && IsDigit(*p) && e < 10000; ++p) e = e * 10 + (*p - '0');
    if (p == start) return false;
    d->exponent += down ? -e : e;
  }
  d->digits = w;
  return p == last;  // anything left (a long exponent too) goes the long way
}

}  // namespace

bool ReadJsonDouble(const char* first, const char* last, double* x) {
  // Clinger's fast path: digits up to 2^53 and powers of ten up to 10^22
  // are exact doubles, so one correctly rounded product or quotient of the
  // two is the nearest double. Most measured values (a few decimals) take
  // it; the rest are read by std::from_chars.
  static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr uint64_t kExactDigits = uint64_t{1} << 53;
  DecimalNumber d;
  if (SplitDecimal(first, last, &d) && d.digits <= kExactDigits && d.exponent >= -22 &&
      d.exponent <= 22) {
    const auto w = static_cast<double>(d.digits);
    const double v = d.exponent < 0 ? w / kExact[-d.exponent] : w * kExact[d.exponent];
    *x = d.negative ? -v : v;
    return true;
  }
  const auto [ptr, ec] = std::from_chars(first, last, *x);
  return ec == std::errc() && ptr == last;
}

void AppendJsonInteger(std::string* out, int64_t n) {
  char buffer[kJsonDoubleRoom];
  out->append(buffer, static_cast<size_t>(WriteJsonInteger(buffer, n) - buffer));
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

void AppendPretty(std::string* out, std::string_view compact, int indent, int step) {
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
          level += static_cast<size_t>(step);
          out->push_back('\n');
          out->append(level, ' ');
          ++i;
        }
        break;
      }
      case '}':
      case ']':
        level -= static_cast<size_t>(step);
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
