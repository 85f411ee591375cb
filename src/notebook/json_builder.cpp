#include "notebook/json_builder.h"

#include "notebook/json_text.h"

namespace korund::notebook {

void JsonBuilder::BeforeValue() {
  // A value after a key follows its colon; any other after a sibling
  // follows a comma.
  if (!compact_.empty() && compact_.back() == ':') return;
  if (!first_) compact_.push_back(',');
  first_ = false;
}

JsonBuilder& JsonBuilder::Open(char bracket) {
  BeforeValue();
  compact_.push_back(bracket);
  first_ = true;
  return *this;
}

JsonBuilder& JsonBuilder::Close(char bracket) {
  compact_.push_back(bracket);
  first_ = false;
  return *this;
}

JsonBuilder& JsonBuilder::Key(std::string_view key) {
  BeforeValue();
  AppendJsonString(&compact_, key);
  compact_.push_back(':');
  return *this;
}

JsonBuilder& JsonBuilder::String(std::string_view s) {
  BeforeValue();
  AppendJsonString(&compact_, s);
  return *this;
}

JsonBuilder& JsonBuilder::Number(double x) {
  BeforeValue();
  AppendJsonDouble(&compact_, x);
  return *this;
}

JsonBuilder& JsonBuilder::Integer(int64_t n) {
  BeforeValue();
  AppendJsonInteger(&compact_, n);
  return *this;
}

JsonBuilder& JsonBuilder::Null() {
  BeforeValue();
  compact_ += "null";
  return *this;
}

JsonBuilder& JsonBuilder::Bool(bool b) {
  BeforeValue();
  compact_ += b ? "true" : "false";
  return *this;
}

std::string JsonBuilder::Indented(int step) const {
  std::string out;
  AppendPretty(&out, compact_, 0, step);
  return out;
}

}  // namespace korund::notebook
