#include "testing/json_support.h"

#include <rapidjson/document.h>
#include <rapidjson/pointer.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "util/json_string.h"

namespace korund::testing {
namespace {

bool ParseDocument(std::string_view text, rapidjson::Document* doc) {
  doc->Parse<rapidjson::kParseFullPrecisionFlag>(text.data(), text.size());
  return !doc->HasParseError();
}

const rapidjson::Value* Find(const rapidjson::Document& doc, const std::string& pointer) {
  if (pointer.empty()) return &doc;
  return rapidjson::Pointer(pointer.c_str()).Get(doc);
}

void Indented(const rapidjson::Value& v, int step, int level, std::string* out) {
  const auto newline = [&](int depth) {
    out->push_back('\n');
    out->append(static_cast<size_t>(depth * step), ' ');
  };
  if (v.IsObject()) {
    if (v.MemberCount() == 0) return out->append("{}"), void();
    out->push_back('{');
    bool first = true;
    for (const auto& m : v.GetObject()) {
      if (!first) out->push_back(',');
      first = false;
      newline(level + 1);
      AppendJsonString(out, std::string_view(m.name.GetString(), m.name.GetStringLength()));
      out->append(": ");
      Indented(m.value, step, level + 1, out);
    }
    newline(level);
    out->push_back('}');
  } else if (v.IsArray()) {
    if (v.Empty()) return out->append("[]"), void();
    out->push_back('[');
    for (rapidjson::SizeType i = 0; i < v.Size(); ++i) {
      if (i > 0) out->push_back(',');
      newline(level + 1);
      Indented(v[i], step, level + 1, out);
    }
    newline(level);
    out->push_back(']');
  } else if (v.IsString()) {
    AppendJsonString(out, std::string_view(v.GetString(), v.GetStringLength()));
  } else if (v.IsInt64()) {
    *out += std::to_string(v.GetInt64());
  } else if (v.IsUint64()) {
    *out += std::to_string(v.GetUint64());
  } else if (v.IsNumber()) {
    *out += JsonDoubleText(v.GetDouble());
  } else {
    *out += v.IsNull() ? "null" : v.GetBool() ? "true" : "false";
  }
}

}  // namespace

std::string JsonAt(std::string_view text, const std::string& pointer) {
  rapidjson::Document doc;
  if (!ParseDocument(text, &doc)) return "<not JSON>";
  const rapidjson::Value* v = Find(doc, pointer);
  if (v == nullptr) return "<none>";
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  v->Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

std::string IndentedJson(std::string_view text, int step) {
  rapidjson::Document doc;
  if (!ParseDocument(text, &doc)) return "<not JSON>";
  std::string out;
  Indented(doc, step, 0, &out);
  return out + "\n";
}

std::string JsonDoubleText(double x) {
  if (!std::isfinite(x)) return "null";
  if (x == 0) return std::signbit(x) ? "-0.0" : "0.0";
  char shortest[64];
  *std::to_chars(shortest, shortest + sizeof shortest, std::fabs(x), std::chars_format::scientific)
       .ptr = '\0';
  // "d.ddde+XX": the digits without the point, and where the point falls.
  const char* const e = std::strchr(shortest, 'e');
  std::string digits(1, shortest[0]);
  if (shortest[1] == '.') digits.append(shortest + 2, static_cast<size_t>(e - shortest - 2));
  const int point = std::atoi(e + 1) + 1;
  const int len = static_cast<int>(digits.size());
  std::string text = std::signbit(x) ? "-" : "";
  if (len <= point && point <= 15) return text + digits + std::string(point - len, '0') + ".0";
  if (0 < point && point <= 15) return text + digits.substr(0, point) + "." + digits.substr(point);
  if (-4 < point && point <= 0) return text + "0." + std::string(-point, '0') + digits;
  const int exponent = point - 1;
  const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
  return text + digits.substr(0, 1) + (len > 1 ? "." + digits.substr(1) : "") + "e" +
         (exponent < 0 ? "-" : "+") + (magnitude.size() < 2 ? "0" : "") + magnitude;
}

Json Json::Parse(std::string_view text) {
  auto doc = std::make_shared<rapidjson::Document>();
  Json json;
  if (ParseDocument(text, doc.get())) json.value_ = doc.get();
  json.doc_ = std::move(doc);
  return json;
}

Json Json::operator[](const std::string& key) const {
  Json member;
  member.doc_ = doc_;
  if (value_ != nullptr && value_->IsObject()) {
    const auto it = value_->FindMember(key.c_str());
    if (it != value_->MemberEnd()) member.value_ = &it->value;
  }
  return member;
}

Json Json::operator[](size_t index) const {
  Json element;
  element.doc_ = doc_;
  if (value_ != nullptr && value_->IsArray() && index < value_->Size()) {
    element.value_ = &(*value_)[static_cast<rapidjson::SizeType>(index)];
  }
  return element;
}

size_t Json::size() const {
  if (value_ == nullptr) return 0;
  if (value_->IsArray()) return value_->Size();
  return value_->IsObject() ? value_->MemberCount() : 0;
}

bool Json::IsNull() const { return value_ == nullptr || value_->IsNull(); }
bool Json::IsNumber() const { return value_ != nullptr && value_->IsNumber(); }
bool Json::IsString() const { return value_ != nullptr && value_->IsString(); }
double Json::Number() const { return IsNumber() ? value_->GetDouble() : NAN; }

std::string Json::Text() const {
  return IsString() ? std::string(value_->GetString(), value_->GetStringLength()) : Dump();
}

std::string Json::Dump() const {
  if (value_ == nullptr) return "null";
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value_->Accept(writer);
  return std::string(buffer.GetString(), buffer.GetSize());
}

bool operator==(const Json& a, const Json& b) { return a.Dump() == b.Dump(); }
bool operator==(const Json& a, const std::string& text) { return a.IsString() && a.Text() == text; }
bool operator==(const Json& a, const char* text) { return a == std::string(text); }
bool operator==(const Json& a, double number) { return a.IsNumber() && a.Number() == number; }
std::ostream& operator<<(std::ostream& out, const Json& json) { return out << json.Dump(); }

}  // namespace korund::testing
