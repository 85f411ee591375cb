// Inside the notebook folder only: the JSON text this program writes.
//
// Members this program does not know are kept as "compact canonical" text:
// JSON without blanks, strings escaped as AppendJsonString escapes them,
// numbers as AppendJsonDouble writes them. The writer turns such text into
// the file's 2-space indented form in one pass, so a notebook's unknown
// parts cost about their own size in memory and keep their layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/json_string.h"

namespace korund::notebook {

// Appends a finite double in the shortest form that reads back as the same
// double, the nearest such digits where there are several: plain up to 15
// digits before the point ("1.0", "100.0", "12.5"), "0.000ddd" down to
// 1e-4, exponent form beyond ("1e+100", "1.5e-07"). Infinities and NaN are
// written as null.
void AppendJsonDouble(std::string* out, double x);

// The same at p, returning the end of what was written. p must have
// kJsonDoubleRoom bytes of room (the longest text is 24 bytes; the rest is
// for fixed-size copies).
constexpr size_t kJsonDoubleRoom = 64;
char* WriteJsonDouble(char* p, double x);
char* WriteJsonInteger(char* p, int64_t n);

// Reads [first, last), a JSON number with a fraction or an exponent, as the
// nearest double, exactly as std::from_chars does. False when it is not
// read whole or is out of range.
bool ReadJsonDouble(const char* first, const char* last, double* x);

void AppendJsonInteger(std::string* out, int64_t n);
void AppendJsonUnsigned(std::string* out, uint64_t n);

// The end of the compact canonical value starting at text[pos].
size_t SkipCompactValue(std::string_view text, size_t pos);

// The end of the JSON string token starting at text[pos] (the opening quote).
size_t SkipCompactString(std::string_view text, size_t pos);

// Appends one compact canonical value in the indented form (one member or
// element a line, "key": value, empty containers as {} and []), its inner
// lines indented by indent + step spaces.
void AppendPretty(std::string* out, std::string_view compact, int indent, int step = 2);

// For error texts: s in quotes, " and \ escaped, control characters as
// \u00xx, bytes that are not UTF-8 as \xNN, cut to 40 characters with "…"
// (keep_tail keeps the last 40, where a reading error is).
std::string QuoteForError(std::string_view s, bool keep_tail = false);

// The same without the quotes and with " and \ as they are: for showing a
// piece of JSON.
std::string CutForError(std::string_view s);

}  // namespace korund::notebook
