// Inside the notebook folder only: JSON text as a stream of events.
//
// RapidJSON's tokenizer reads the text in place and hands each value to a
// handler as it is read; numbers arrive as their text and are read here as
// the nearest double (std::from_chars, strtod beyond its range), integers
// as such where they fit 64 bits. A text that is not JSON stops the reading
// with one error text in the form "parse error at line L, column C: syntax
// error while parsing CONTEXT - unexpected TOKEN; expected WHAT" (or
// "- PROBLEM; last read: "TOKEN"" for a token that is itself broken), the
// place worked out from RapidJSON's error code and offset. The line and
// column count bytes, the byte-order mark and the byte that broke the token
// included, and the end of the text as one more.
#pragma once

#include <rapidjson/reader.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "notebook/json_text.h"

namespace korund::notebook {

// Where RapidJSON refused a text, all offsets in the text.
struct JsonRefusal {
  size_t from;         // the tokens after the last one handed over start here
  size_t offset;       // where RapidJSON stopped
  size_t last_scalar;  // where the last string or number began (0: none)
  rapidjson::ParseErrorCode code;
  bool key_due;  // a key, not a value, is due
};

// The error text for a refused text: "not valid JSON: parse error at line
// ...". The token shown as "last read" runs from the start of the last
// string or number on, as the reader that counts lines and columns reads.
std::string JsonSyntaxError(std::string_view text, const JsonRefusal& refusal);

// "the number "1e999" is outside the range of a double", for the number
// token at text[pos].
std::string NumberRangeError(std::string_view text, size_t pos);

// The handler the events go to (any class with these members):
//   bool Null(); bool Bool(bool); bool Integer(int64_t); bool Unsigned(uint64_t);
//   bool Double(double); bool String(std::string&); bool Key(std::string&);
//   bool StartObject(); bool StartArray(); bool EndObject(); bool EndArray();
//   bool Fault(const std::string& problem);  // the text is no JSON; returns false
// and, when it has it, void Mark(size_t offset): called before each value,
// key and container start with the offset where its token begins, and
// before each container end with the offset just past its bracket.
// A member returning false stops the reading; the handler then holds the
// reason.
enum class JsonRead {
  kRead,     // the text was JSON and the handler went through it all
  kStopped,  // the text is no JSON (handler.Fault told why), or the handler stopped
  kAgain,    // RapidJSON cannot hold a number that is a double (0e999, hundreds
             // of digits): read again, shorten_numbers set, into a fresh handler
};

// Reads text (a byte-order mark, if any, already skipped by the caller and
// counted in `skipped` for the error's column) into handler.
template <class Handler>
JsonRead ReadJsonEvents(std::string_view text, size_t skipped, Handler* handler,
                        bool shorten_numbers = false);

// The keys of one JSON object, to find a key given twice in linear time.
// Keys are packed into one string (a 4-byte length, then the bytes); a
// short object is searched in order, a larger one through an
// open-addressing table of offsets, so the set costs little more than the
// keys themselves.
class KeySet {
 public:
  // False when the key is in the set already.
  bool Add(std::string_view key) {
    if (slots_.empty()) {
      if (count_ < kLinear) {
        for (size_t pos = 0; pos < arena_.size(); pos += 4 + LengthAt(pos)) {
          if (KeyAt(pos) == key) return false;
        }
        Append(key);
        return true;
      }
      Rehash(4 * kLinear);
    }
    if ((count_ + 1) * 2 > slots_.size()) Rehash(slots_.size() * 2);
    const size_t mask = slots_.size() - 1;
    for (size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
      if (slots_[i] == kEmpty) {
        slots_[i] = Append(key);
        return true;
      }
      if (KeyAt(slots_[i]) == key) return false;
    }
  }

 private:
  static constexpr size_t kLinear = 16;
  static constexpr uint32_t kEmpty = 0xFFFFFFFFu;

  static size_t Hash(std::string_view key) { return std::hash<std::string_view>()(key); }
  uint32_t LengthAt(size_t pos) const {
    uint32_t length = 0;
    std::memcpy(&length, arena_.data() + pos, sizeof length);
    return length;
  }
  std::string_view KeyAt(size_t pos) const {
    return std::string_view(arena_).substr(pos + 4, LengthAt(pos));
  }
  uint32_t Append(std::string_view key) {
    // Offsets fit: the keys come from a file of at most kMaxFileBytes.
    const auto pos = static_cast<uint32_t>(arena_.size());
    const auto length = static_cast<uint32_t>(key.size());
    arena_.append(reinterpret_cast<const char*>(&length), sizeof length);
    arena_.append(key);
    ++count_;
    return pos;
  }
  void Rehash(size_t slots) {
    slots_.assign(slots, kEmpty);
    const size_t mask = slots - 1;
    for (size_t pos = 0; pos < arena_.size(); pos += 4 + LengthAt(pos)) {
      size_t i = Hash(KeyAt(pos)) & mask;
      while (slots_[i] != kEmpty) i = (i + 1) & mask;
      slots_[i] = static_cast<uint32_t>(pos);
    }
  }

  std::string arena_;
  std::vector<uint32_t> slots_;
  size_t count_ = 0;
};

// --- implementation --------------------------------------------------------

namespace json_events_internal {

// True when a decoded string holds an escaped low surrogate without its
// high half (RapidJSON decodes it to ED B0..BF; JSON has no such text).
bool HasLoneLowSurrogate(const char* text, size_t length);

// Rewrites in `copy` every number of `text` that RapidJSON would find too
// big but that is a double (0e999, hundreds of digits) as that double's
// shortest text, padded with blanks to the same length.
void ShortenNumbers(std::string_view text, std::string* copy);

template <class Handler>
class Events {
 public:
  Events(Handler* handler, rapidjson::InsituStringStream* stream, std::string_view text,
         size_t skipped)
      : handler_(*handler), stream_(*stream), text_(text), skipped_(skipped) {}

  // Literals arrive once read whole.
  bool Null() {
    Mark(stream_.Tell() - 4);
    return Done(handler_.Null());
  }
  bool Bool(bool b) {
    Mark(stream_.Tell() - (b ? 4 : 5));
    return Done(handler_.Bool(b));
  }
  // Numbers arrive as their text (kParseNumbersAsStringsFlag).
  bool Int(int) { return false; }
  bool Uint(unsigned) { return false; }
  bool Int64(int64_t) { return false; }
  bool Uint64(uint64_t) { return false; }
  bool Double(double) { return false; }
  // RapidJSON reads a string or a number through a copy of the stream, so
  // while they are handed over, Tell() is where their token starts.
  bool RawNumber(const char* number, rapidjson::SizeType length, bool /*copy*/) {
    last_scalar_ = stream_.Tell();
    Mark(last_scalar_);
    const char* end = number + length;
    // An integer is unsigned unless it has a sign; one that does not fit 64
    // bits is read as a double.
    if (std::find_if(number, end, [](char c) { return c == '.' || c == 'e' || c == 'E'; }) == end) {
      if (*number == '-') {
        int64_t n = 0;
        const auto [ptr, ec] = std::from_chars(number, end, n);
        if (ec == std::errc() && ptr == end) return Done(handler_.Integer(n));
      } else {
        uint64_t n = 0;
        const auto [ptr, ec] = std::from_chars(number, end, n);
        if (ec == std::errc() && ptr == end) return Done(handler_.Unsigned(n));
      }
    }
    double x = 0;
    if (!ReadJsonDouble(number, end, &x)) {
      // Beyond from_chars' range: strtod rounds an underflow to the nearest
      // subnormal or zero, and an overflow is refused below.
      x = std::strtod(std::string(number, length).c_str(), nullptr);
    }
    if (!std::isfinite(x)) return handler_.Fault(NumberRangeError(text_, last_scalar_));
    return Done(handler_.Double(x));
  }
  bool String(const char* s, rapidjson::SizeType length, bool /*copy*/) {
    last_scalar_ = stream_.Tell();
    Mark(last_scalar_);
    if (HasLoneLowSurrogate(s, length)) return SurrogateFault();
    token_.assign(s, length);
    return Done(handler_.String(token_));
  }
  bool Key(const char* s, rapidjson::SizeType length, bool /*copy*/) {
    last_scalar_ = stream_.Tell();
    Mark(last_scalar_);
    if (HasLoneLowSurrogate(s, length)) return SurrogateFault();
    token_.assign(s, length);
    const bool go_on = Done(handler_.Key(token_));
    key_due_ = false;
    return go_on;
  }
  bool StartObject() {
    Mark(stream_.Tell() - 1);
    objects_.push_back(true);
    return Done(handler_.StartObject());
  }
  bool StartArray() {
    Mark(stream_.Tell() - 1);
    objects_.push_back(false);
    return Done(handler_.StartArray());
  }
  bool EndObject(rapidjson::SizeType /*members*/) {
    Mark(stream_.Tell());
    return EndContainer(handler_.EndObject());
  }
  bool EndArray(rapidjson::SizeType /*elements*/) {
    Mark(stream_.Tell());
    return EndContainer(handler_.EndArray());
  }

  // The error text for RapidJSON's refusal.
  std::string SyntaxError(size_t offset, rapidjson::ParseErrorCode code) const {
    return JsonSyntaxError(Full(),
                           {skipped_ + last_end_, skipped_ + offset,
                            last_scalar_ == kNone ? 0 : skipped_ + last_scalar_, code, key_due_});
  }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  void Mark(size_t offset) {
    if constexpr (requires(Handler & h) { h.Mark(offset); }) handler_.Mark(offset);
  }
  std::string_view Full() const {
    return std::string_view(text_.data() - skipped_, text_.size() + skipped_);
  }
  bool Done(bool go_on) {
    last_end_ = stream_.Tell();
    // After a value in an object, a key is due next.
    key_due_ = !objects_.empty() && objects_.back();
    return go_on;
  }
  bool EndContainer(bool go_on) {
    objects_.pop_back();
    return Done(go_on);
  }
  bool SurrogateFault() {
    return handler_.Fault(
        SyntaxError(last_scalar_, rapidjson::kParseErrorStringUnicodeSurrogateInvalid));
  }

  Handler& handler_;
  rapidjson::InsituStringStream& stream_;
  std::string_view text_;
  size_t skipped_;
  // Where the tokens not yet handed over begin: after the last container
  // event's token, at the last scalar's token (read again).
  size_t last_end_ = 0;
  size_t last_scalar_ = kNone;  // where the last string or number began
  bool key_due_ = false;
  std::vector<bool> objects_;  // the open containers: object or list
  std::string token_;
};

}  // namespace json_events_internal

template <class Handler>
JsonRead ReadJsonEvents(std::string_view text, size_t skipped, Handler* handler,
                        bool shorten_numbers) {
  // Read in place, in a copy: strings are decoded where they stand and
  // numbers handed over where they stand, nothing is copied per token.
  // The reader's UTF-8 check takes a multi-byte character's last three
  // bytes before it looks at them: NULs after the end keep a character cut
  // by the end of the text inside the copy.
  std::string copy;
  copy.reserve(text.size() + 4);
  copy.assign(text);
  if (shorten_numbers) json_events_internal::ShortenNumbers(text, &copy);
  copy.append(4, '\0');
  rapidjson::InsituStringStream stream(copy.data());
  json_events_internal::Events<Handler> events(handler, &stream, text, skipped);
  rapidjson::Reader reader;
  constexpr unsigned kFlags = rapidjson::kParseInsituFlag | rapidjson::kParseValidateEncodingFlag |
                              rapidjson::kParseNumbersAsStringsFlag;
  const rapidjson::ParseResult result = reader.Parse<kFlags>(stream, events);
  if (!result.IsError()) return JsonRead::kRead;
  if (result.Code() == rapidjson::kParseErrorTermination) return JsonRead::kStopped;
  if (result.Code() == rapidjson::kParseErrorNumberTooBig) {
    std::string problem = NumberRangeError(text, result.Offset());
    if (problem.empty()) return shorten_numbers ? JsonRead::kStopped : JsonRead::kAgain;
    handler->Fault(problem);
    return JsonRead::kStopped;
  }
  handler->Fault(events.SyntaxError(result.Offset(), result.Code()));
  return JsonRead::kStopped;
}

}  // namespace korund::notebook
