// JSON string text, shared by every writer of JSON in the program (the
// notebook file, the transcript, plot descriptions).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korund {

// Appends s as a JSON string: quotes, \" \\ \b \f \n \r \t, other control
// characters as \u00xx, everything else as it is. Each broken piece of
// UTF-8 (a byte that starts no character, or a character cut short) becomes
// one U+FFFD, so the text is valid UTF-8 whatever s holds.
void AppendJsonString(std::string* out, std::string_view s);

// The length of the well-formed UTF-8 character at s[i] (RFC 3629: no
// overlong forms, no surrogates, nothing above U+10FFFF), or 0.
size_t Utf8Length(std::string_view s, size_t i);

}  // namespace korund
