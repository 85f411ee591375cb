// Test support: JSON text read with RapidJSON, independently of the
// program's own JSON reader and writer, to look into and to lay out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korund::testing {

// The value at `pointer` (RFC 6901, "/items/1/columns/3/cells"; "" for the
// whole text) as compact JSON, members in their order: "[1,2.5,\"x\"]".
// "<none>" when the pointer leads nowhere, "<not JSON>" for a bad text.
std::string JsonAt(std::string_view text, const std::string& pointer = "");

// The keys of the object at `pointer`, in their order.
std::vector<std::string> JsonKeys(std::string_view text, const std::string& pointer = "");

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

}  // namespace korund::testing
