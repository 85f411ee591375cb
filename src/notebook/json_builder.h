// JSON text built value by value, for the descriptions other layers write
// (a plot description): written as the notebook file is written (strings
// escaped, numbers in their shortest form) and laid out one member or
// element a line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korund::notebook {

class JsonBuilder {
 public:
  JsonBuilder& BeginObject() { return Open('{'); }
  JsonBuilder& EndObject() { return Close('}'); }
  JsonBuilder& BeginArray() { return Open('['); }
  JsonBuilder& EndArray() { return Close(']'); }
  // The key of the next value in an object.
  JsonBuilder& Key(std::string_view key);
  JsonBuilder& String(std::string_view s);
  JsonBuilder& Number(double x);  // infinities and NaN as null
  JsonBuilder& Integer(int64_t n);
  JsonBuilder& Null();
  JsonBuilder& Bool(bool b);

  // The whole value, `step` spaces an indent: "{\n "a": 1\n}" for step 1.
  std::string Indented(int step) const;

 private:
  JsonBuilder& Open(char bracket);
  JsonBuilder& Close(char bracket);
  void BeforeValue();

  std::string compact_;
  bool first_ = true;  // nothing yet in the open object or list
};

}  // namespace korund::notebook
