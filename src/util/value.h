// util/: the ground every layer stands on, using only the standard library:
// the cell value and its comparison rule (this file), text and number
// helpers (text.h), the unit words of the data (units.h), the text
// accumulator (string_builder.h), the run settings and the style tables.
//
// A worksheet cell or array element: empty, a number or a text.
//
// One comparison rule holds everywhere in the program: two numbers compare
// numerically; two texts compare by character code, case-sensitive; a
// number is less than any text; an empty value counts as 0 against a number
// and as "" against a text (two empty values are equal).  The empty text ""
// stands for an empty cell, so an empty cell never equals a number.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korund {

class Value {
 public:
  enum class Kind { kEmpty, kNumber, kText };

  Value() = default;
  Value(double number) : data_(number) {}                  // NOLINT: implicit on purpose
  Value(int number) : data_(static_cast<double>(number)) {}  // NOLINT
  Value(long number) : data_(static_cast<double>(number)) {}  // NOLINT
  Value(std::string text) : data_(std::move(text)) {}      // NOLINT
  Value(const char* text) : data_(std::string(text)) {}    // NOLINT
  Value(std::string_view text) : data_(std::string(text)) {}  // NOLINT
  Value(bool) = delete;  // booleans are stored as -1 / 0: use Bool()

  // The worksheet stores true as -1 and false as 0.
  static Value Bool(bool b) { return Value(b ? -1.0 : 0.0); }

  Kind kind() const { return static_cast<Kind>(data_.index()); }
  bool IsEmpty() const { return kind() == Kind::kEmpty; }
  bool IsNumber() const { return kind() == Kind::kNumber; }
  bool IsText() const { return kind() == Kind::kText; }
  // An empty value or the empty text: what an empty cell reads as.
  bool IsBlank() const { return IsEmpty() || (IsText() && Text().empty()); }

  // The number; 0 for an empty value. Must not be called on a text.
  // Inline for the usual case: the statistics read cells in tight loops.
  double Number() const {
    if (const double* x = std::get_if<double>(&data_)) return *x;
    return NumberOfOther();
  }
  // The text; "" for an empty value. Must not be called on a number.
  const std::string& Text() const {
    if (const std::string* s = std::get_if<std::string>(&data_)) return *s;
    return TextOfOther();
  }

  // Makes the value the number x, in place when it holds a number already.
  void SetNumber(double x) { data_ = x; }

  // True only for the number -1 (the worksheet's "true").
  bool IsTrue() const { return IsNumber() && Number() == -1.0; }

 private:
  double NumberOfOther() const;
  const std::string& TextOfOther() const;

  std::variant<std::monostate, double, std::string> data_;
};

// -1, 0 or 1 under the program's comparison rule.
int Compare(const Value& a, const Value& b);

inline bool operator==(const Value& a, const Value& b) { return Compare(a, b) == 0; }
inline bool operator!=(const Value& a, const Value& b) { return Compare(a, b) != 0; }
inline bool operator<(const Value& a, const Value& b) { return Compare(a, b) < 0; }
inline bool operator>(const Value& a, const Value& b) { return Compare(a, b) > 0; }
inline bool operator<=(const Value& a, const Value& b) { return Compare(a, b) <= 0; }
inline bool operator>=(const Value& a, const Value& b) { return Compare(a, b) >= 0; }

// Reads a text as a number: optional blanks, sign, digits with an optional
// decimal point, optional exponent, optional blanks. Never inf or nan; the
// decimal separator is '.'. nullopt if the text does not read as a number.
std::optional<double> ParseNumber(std::string_view text);

// A number, or a text that reads as a number. "" and empty are not numeric.
bool IsNumeric(const Value& v);

// The value as a number: a number itself, a numeric text read, an empty
// value 0; nullopt for any other text. Inline for a number: the statistics
// read their points through it. (TextOrEmptyToNumber is the rest of it.)
std::optional<double> TextOrEmptyToNumber(const Value& v);
inline std::optional<double> ToNumber(const Value& v) {
  if (v.IsNumber()) return v.Number();
  return TextOrEmptyToNumber(v);
}

// The classic Basic default text form of a number: up to 15 significant
// digits, no trailing zeros, scientific ("1E+20", "1E-05") only for very
// large or very small magnitudes. 19 -> "19", 0.1+0.2 -> "0.3".
std::string FormatNumber(double x);

// The default text form of a value: a number by FormatNumber, a text as it
// is, empty as "".
std::string ToText(const Value& v);

// Column array: element 0 holds the count (or a title), elements 1..n data.
using ValueArray = std::vector<Value>;

}  // namespace korund
