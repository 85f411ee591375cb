// Test support: JSON text read with RapidJSON, independently of the
// program's own JSON reader and writer, to look into and to lay out.
#pragma once

#include <rapidjson/fwd.h>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace korund::testing {

// The value at `pointer` (RFC 6901, "/items/1/columns/3/cells"; "" for the
// whole text) as compact JSON, members in their order: "[1,2.5,\"x\"]".
// "<none>" when the pointer leads nowhere, "<not JSON>" for a bad text.
std::string JsonAt(std::string_view text, const std::string& pointer = "");

// The text laid out as the notebook writer lays out a notebook it writes
// unchanged: one member or element a line, `step` spaces an indent,
// "key": value, {} and [] when empty, a final newline; integers as such,
// other numbers in the shortest digits that read back (std::to_chars)
// laid out as JsonDoubleText does.
std::string IndentedJson(std::string_view text, int step = 2);

// A finite double's text: plain up to 15 digits before the point ("1.0",
// "100.0", "12.5"), "0.000ddd" down to 1e-4, exponent form beyond
// ("1e+100", "1.5e-07").
std::string JsonDoubleText(double x);

// A read-only view into parsed JSON: doc["series"][0]["points"].size(),
// .Number(), .Text(). A missing member or element, like a text that is no
// JSON, views nothing (IsNull). Compares with a text (a JSON string), a
// number, or another view (the same compact JSON).
class Json {
 public:
  static Json Parse(std::string_view text);

  Json operator[](const std::string& key) const;
  Json operator[](size_t index) const;
  Json operator[](int index) const { return (*this)[static_cast<size_t>(index)]; }
  size_t size() const;  // elements or members; 0 for a scalar

  bool IsNull() const;
  bool IsNumber() const;
  bool IsString() const;
  double Number() const;     // NaN when not a number
  std::string Text() const;  // a string's text, else Dump()
  std::string Dump() const;  // compact JSON, members in their order

 private:
  std::shared_ptr<const rapidjson::Document> doc_;
  const rapidjson::Value* value_ = nullptr;
};

bool operator==(const Json& a, const Json& b);
bool operator==(const Json& a, const std::string& text);
bool operator==(const Json& a, const char* text);
bool operator==(const Json& a, double number);
inline bool operator==(const Json& a, int number) { return a == static_cast<double>(number); }
std::ostream& operator<<(std::ostream& out, const Json& json);

}  // namespace korund::testing
