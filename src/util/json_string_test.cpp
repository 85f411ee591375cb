#include "util/json_string.h"

#include <gtest/gtest.h>

#include <string>

namespace korund {
namespace {

TEST(JsonStringTest, EscapesAndReplacesBrokenUtf8) {
  const char kControls[] = "nul \0 and \x01 \x1f \x7f";
  const std::string kReplacement = "\xEF\xBF\xBD";
  const std::string r = kReplacement;
  const std::pair<std::string, std::string> cases[] = {
      {"", R"("")"},
      {"quote \" backslash \\ slash /", R"("quote \" backslash \\ slash /")"},
      {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
      {std::string(kControls, sizeof kControls - 1), "\"nul \\u0000 and \\u0001 \\u001f \x7f\""},
      {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
       "\"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
      // One U+FFFD for each piece that is no character: a stray byte, a
      // character cut short (the byte that broke it read again), an overlong
      // form, a surrogate, a code point above U+10FFFF.
      {"bad \xFF byte", "\"bad " + r + " byte\""},
      {"cut \xC3", "\"cut " + r + "\""},
      {"\xF0\x9F\x98", "\"" + r + "\""},
      {"\xE2\x82 short then ok", "\"" + r + " short then ok\""},
      {"\xE2\x82\xE2\x82\xAC", "\"" + r + "\xE2\x82\xAC\""},
      {"overlong \xC0\xAF", "\"overlong " + r + r + "\""},
      {"surrogate \xED\xA0\x80", "\"surrogate " + r + r + r + "\""},
      {"above U+10FFFF \xF4\x90\x80\x80", "\"above U+10FFFF " + r + r + r + r + "\""},
  };
  for (const auto& [in, quoted] : cases) {
    SCOPED_TRACE(in);
    std::string out = "x";
    AppendJsonString(&out, in);
    EXPECT_EQ("x" + quoted, out);
  }
}

}  // namespace
}  // namespace korund
