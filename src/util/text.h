// Text, number and value helpers shared by the whole program: word splitting,
// trimming, repetition, list search, maximum and minimum of values, the
// significant-digit formatter and the numeric test that knows the host's
// missing value.
//
// Texts are UTF-8. A "character" is one UTF-8 encoded code point; a byte that
// does not start a well-formed sequence counts as one character of its own,
// so any byte string is handled. Positions (WordStart) are 1-based byte
// offsets into the std::string, which for ASCII text are the character
// positions. Membership in a separator or trim set is by whole character, so
// a set holding a non-ASCII character never matches part of another one.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "util/value.h"

namespace korund {

// Length in bytes of the character that starts at byte i of s (i < s.size()):
// a well-formed UTF-8 sequence, or 1 for any byte that does not start one.
size_t CharLength(std::string_view s, size_t i);

// The characters of text, each a view into it, as CharLength cuts them.
std::vector<std::string_view> SplitCharacters(std::string_view text);

// The number of characters of text, as CharLength cuts them.
int64_t CharCount(std::string_view text);

// text with the ASCII letters a-z made upper case; every other byte, UTF-8
// sequences included, stays as it is.
std::string UpperAscii(std::string_view text);
// The same with A-Z made lower case.
std::string LowerAscii(std::string_view text);

// The text form of the host's missing value ("-1", the decimal separator,
// "#QNAN"). The decimal separator of this program is always '.'.
inline const std::string kNaNText = "-1.#QNAN";

// Number of words in text; a word is a maximal run of characters none of
// which is in separators. Counts beyond 32767 are clamped to 32767.
int16_t WordCount(std::string_view text, std::string_view separators);

// 1-based byte position of the first character of word n; 0 when n < 1, when
// there are fewer than n words, or when the position would not fit 16 bits.
int16_t WordStart(int16_t n, std::string_view text, std::string_view separators);

// Word n (1-based); "" when there is none.
std::string NthWord(int16_t n, std::string_view text, std::string_view separators);

// text without the leading and trailing characters that occur in set.
std::string TrimSet(std::string_view text, std::string_view set);

// unit repeated until the result holds at least length characters (it may
// overshoot by part of a unit). length <= 0 or an empty unit gives "".
std::string RepeatToLength(std::string_view unit, int16_t length);

// True if part occurs in text (case-sensitive); an empty part always occurs.
bool ContainsText(std::string_view part, std::string_view text);

// Index of the first element of list[0..last_index] equal to v under the
// value comparison; -1 if none. last_index beyond the array is cut to its
// last element; a negative last_index finds nothing.
int32_t IndexInList(const ValueArray& list, int32_t last_index, const Value& v);

// The largest / smallest of the values under the value comparison; of equal
// values the first is returned. An empty list gives the empty value.
Value MaxOf(std::initializer_list<Value> values);
Value MinOf(std::initializer_list<Value> values);
template <typename... Rest>
Value MaxOf(const Value& a, const Value& b, const Rest&... rest) {
  return MaxOf({a, b, Value(rest)...});
}
template <typename... Rest>
Value MinOf(const Value& a, const Value& b, const Rest&... rest) {
  return MinOf({a, b, Value(rest)...});
}

// value with about |digits| significant digits, in a numeric pattern such as
// "0.000", "0.00E+00" or, for negative digits, "0.###" (decimals shown only
// when significant). 123.456,4 -> "123.5"; 12345,3 -> "1.23E+04";
// 0.05,3 -> "5.00E-02"; 0,4 -> "0.000E+00". Halves round as printf does. A
// "#" pattern whose decimals all drop leaves no decimal point ("1", not
// "1."). Infinities and NaN give FormatNumber's text.
std::string FormatSig(double value, int16_t digits);

// The program separates lines by CR (CR LF in reports); a terminal or a
// text file wants LF. Both become "\n".
std::string ToDisplayLines(std::string_view text);

// text in double quotes for a message. A text longer than kQuotedChars
// characters is cut there and ends in "…", followed by its length:
// "aaaa…" (20000000 characters), so that a huge field is never echoed whole.
inline constexpr int64_t kQuotedChars = 60;
std::string QuotedExcerpt(std::string_view text);

// value converted from GPa to ksi: value x 145.0.
inline double GpaToKsi(double value) { return value * 145.0; }

// True when v is numeric (a number, or a text that reads as one) and is not
// the missing-value text kNaNText.
bool IsValidNumber(const Value& v);

}  // namespace korund
