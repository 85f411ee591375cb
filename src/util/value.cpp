#include "util/value.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace korund {

namespace {
const std::string kEmptyText;
}  // namespace

double Value::NumberOfOther() const {
  if (IsEmpty()) return 0.0;
  assert(IsNumber());
  return std::get<double>(data_);
}

const std::string& Value::TextOfOther() const {
  if (IsEmpty()) return kEmptyText;
  assert(IsText());
  return std::get<std::string>(data_);
}

int Compare(const Value& a, const Value& b) {
  if (a.IsEmpty() && b.IsEmpty()) return 0;
  const bool a_text = a.IsText() || (a.IsEmpty() && b.IsText());
  const bool b_text = b.IsText() || (b.IsEmpty() && a.IsText());
  if (a_text && b_text) {
    const int c = a.Text().compare(b.Text());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  if (a_text) return 1;  // a number is less than any text
  if (b_text) return -1;
  const double x = a.Number();
  const double y = b.Number();
  if (x < y) return -1;
  if (x > y) return 1;
  return 0;
}

std::optional<double> ParseNumber(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (i < n && blank(text[i])) ++i;
  size_t end = n;
  while (end > i && blank(text[end - 1])) --end;
  if (i == end) return std::nullopt;
  const size_t start = i;
  if (text[i] == '+' || text[i] == '-') ++i;
  size_t digits = 0;
  while (i < end && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < end && text[i] == '.') {
    ++i;
    while (i < end && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < end && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exp_digits = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9') ++i, ++exp_digits;
    if (exp_digits == 0) return std::nullopt;
  }
  if (i != end) return std::nullopt;
  const std::string s(text.substr(start, end - start));
  const double x = std::strtod(s.c_str(), nullptr);
  if (!std::isfinite(x)) return std::nullopt;  // an overflowing literal is not a number
  return x;
}

bool IsNumeric(const Value& v) {
  if (v.IsNumber()) return true;
  if (v.IsText()) return ParseNumber(v.Text()).has_value();
  return false;
}

std::optional<double> TextOrEmptyToNumber(const Value& v) {
  if (v.IsNumber()) return v.Number();
  if (v.IsEmpty()) return 0.0;
  return ParseNumber(v.Text());
}

std::string FormatNumber(double x) {
  if (x == 0.0) return "0";  // also -0
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", x);
  return buf;
}

std::string ToText(const Value& v) {
  if (v.IsNumber()) return FormatNumber(v.Number());
  return v.Text();
}

}  // namespace korund
