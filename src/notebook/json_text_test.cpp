#include "notebook/json_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <utility>

namespace korund::notebook {
namespace {

using Json = nlohmann::ordered_json;

// The JSON library's own dump is the reference: the file's bytes must be
// what it gives.
std::string LibraryDump(const Json& j) {
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string Double(double x) {
  std::string out;
  AppendJsonDouble(&out, x);
  return out;
}

// The digits and exponent of a double's text, without sign, point and
// trailing zeros: "1.250e+03" and "1250.0" both give {"125", 3}.
std::pair<std::string, int> DigitsAndExponent(const std::string& text) {
  std::string digits;
  int point = 0;  // where the decimal point falls in the digits
  bool seen_point = false;
  size_t i = 0;
  for (; i < text.size() && text[i] != 'e'; ++i) {
    const char c = text[i];
    if (c == '.') {
      seen_point = true;
    } else if (c >= '0' && c <= '9') {
      if (digits.empty() && c == '0') {
        if (seen_point) --point;
        continue;
      }
      digits.push_back(c);
      if (!seen_point) ++point;
    }
  }
  if (i < text.size()) point += std::atoi(text.c_str() + i + 1);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  return {digits, point};
}

// std::to_chars is the reference for the digits (the shortest that read
// back, the nearest of them), the library's dump for the layout where its
// own digits are already the shortest.
TEST(JsonTextTest, DoublesAreWrittenInTheShortestDigitsAndReadBackExactly) {
  std::mt19937_64 rng(20261207);
  int checked = 0, as_library = 0;
  for (int i = 0; i < 300000; ++i) {
    double x = 0;
    const uint64_t bits = rng();
    switch (i % 4) {
      case 0: std::memcpy(&x, &bits, sizeof x); break;  // any bit pattern
      case 1: x = static_cast<double>(static_cast<int64_t>(bits % 2000000001) - 1000000000) /
                  std::pow(10.0, static_cast<int>(rng() % 12)); break;  // typed decimals
      case 2: x = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(rng() % 200) - 150); break;
      case 3: x = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(rng() % 2100) - 1100); break;
    }
    if (!std::isfinite(x)) continue;
    const std::string text = Double(x);
    ASSERT_EQ(x, std::strtod(text.c_str(), nullptr)) << text;
    char shortest[64];
    *std::to_chars(shortest, shortest + sizeof shortest, x, std::chars_format::scientific).ptr = 0;
    ASSERT_EQ(DigitsAndExponent(shortest), DigitsAndExponent(text)) << shortest << " " << text;
    const std::string library = LibraryDump(Json(x));
    if (DigitsAndExponent(library) == DigitsAndExponent(text)) {
      ASSERT_EQ(library, text);
      ++as_library;
    }
    ++checked;
  }
  EXPECT_GT(checked, 290000);
  // The library's routine misses the shortest digits only now and then.
  EXPECT_GT(as_library, checked * 99 / 100);
}

// Reading must give what std::from_chars gives, to the bit, on and just
// off the short path: digits near 2^53, powers near 10^22, many digits,
// leading zeros, tiny and huge exponents.
TEST(JsonTextTest, DoublesAreReadAsFromCharsReadsThem) {
  auto check = [](const std::string& text) {
    double fast = -1, reference = -1;
    const char* first = text.data();
    const char* last = first + text.size();
    const bool ok = ReadJsonDouble(first, last, &fast);
    const auto [ptr, ec] = std::from_chars(first, last, reference);
    const bool reference_ok = ec == std::errc() && ptr == last;
    ASSERT_EQ(ok, reference_ok) << text;
    if (ok) {
      ASSERT_EQ(std::bit_cast<uint64_t>(fast), std::bit_cast<uint64_t>(reference)) << text;
    }
  };
  for (const char* text :
       {"0.0", "-0.0", "0e0", "-0E+5", "1.5", "4.632355", "9007199254740992.0", "9007199254740993.0",
        "9007199254740992e22", "9007199254740993e-22", "1e22", "1e23", "1e-22", "1e-23",
        "0.000000000000000000000000000001", "1234567890123456789.0", "12345678901234567890.5",
        "0.1234567890123456789012", "1.7976931348623157e308", "1.8e308", "4.9e-324", "1e-400",
        "1e99999", "1.0e-00000000000000000022", "2.2250738585072011e-308", "5e-324", "-1e-2"}) {
    SCOPED_TRACE(text);
    check(text);
  }
  std::mt19937_64 rng(7);
  auto digits = [&](int count, bool leading_zero) {
    std::string d;
    for (int i = 0; i < count; ++i) {
      d += static_cast<char>('0' + (i == 0 && !leading_zero ? 1 + rng() % 9 : rng() % 10));
    }
    return d;
  };
  for (int i = 0; i < 200000; ++i) {
    std::string text = rng() % 4 == 0 ? "-" : "";
    text += rng() % 3 == 0 ? "0" : digits(1 + static_cast<int>(rng() % 20), false);
    const bool fraction = rng() % 5 != 0;
    if (fraction) text += "." + digits(1 + static_cast<int>(rng() % 22), true);
    if (!fraction || rng() % 3 == 0) {
      text += rng() % 2 ? "e" : "E";
      text += std::string(rng() % 3 == 0 ? "-" : rng() % 2 ? "+" : "");
      text += digits(1 + static_cast<int>(rng() % 3), true);
    }
    check(text);
    if (HasFatalFailure()) return;
  }
}

TEST(JsonTextTest, DoubleLayouts) {
  const double kMin = std::numeric_limits<double>::denorm_min();
  struct Case {
    double x;
    const char* text;
  } cases[] = {
      {0.0, "0.0"},
      {-0.0, "-0.0"},
      {1.0, "1.0"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.30000000000000004"},
      {1e14, "100000000000000.0"},
      {1e15, "1e+15"},
      {1.5e-5, "1.5e-05"},
      {0.0001, "0.0001"},
      {1e300, "1e+300"},
      {-2.5e-300, "-2.5e-300"},
      {kMin, "5e-324"},
      {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
      // The library's routine gives 0.41007314499999997: the same double.
      {0.41007314499999997, "0.410073145"},
      {4.6323549999999996, "4.632355"},
      {-1234.5e-20, "-1.2345e-17"},
      {123456789012345.6, "123456789012345.6"},
      {1234567890123456.7, "1.2345678901234568e+15"},
      {std::numeric_limits<double>::infinity(), "null"},
      {std::nan(""), "null"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.text, Double(c.x));
  }
}

TEST(JsonTextTest, IntegersAtTheirLimits) {
  for (int64_t n : {int64_t{0}, int64_t{-1}, int64_t{9007199254740991},
                    std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()}) {
    std::string out;
    AppendJsonInteger(&out, n);
    EXPECT_EQ(LibraryDump(Json(n)), out);
  }
  // Each digit count's first and last numbers, both signs.
  int64_t power = 1;
  for (int digits = 1; digits <= 19; ++digits, power = digits <= 19 ? power * 10 : power) {
    for (int64_t n : {power - 1, power, power + 1, -power, -power - 1}) {
      std::string out;
      AppendJsonInteger(&out, n);
      EXPECT_EQ(std::to_string(n), out);
    }
  }
  std::string out;
  AppendJsonUnsigned(&out, std::numeric_limits<uint64_t>::max());
  EXPECT_EQ("18446744073709551615", out);
}

TEST(JsonTextTest, StringsAreEscapedAsTheLibraryEscapesThem) {
  const char kControls[] = "nul \0 and \x01 \x1f \x7f";
  const std::string strings[] = {
      "",
      "plain",
      "quote \" backslash \\ slash /",
      "\b\f\n\r\t",
      std::string(kControls, sizeof kControls - 1),
      "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",  // é, €, an emoji
      "bad \xFF byte",
      "cut \xC3",
      "overlong \xC0\xAF",
      "surrogate \xED\xA0\x80",
      "above U+10FFFF \xF4\x90\x80\x80",
      "\xE2\x82 short then ok",
  };
  for (const std::string& s : strings) {
    SCOPED_TRACE(s);
    std::string out;
    AppendJsonString(&out, s);
    EXPECT_EQ(LibraryDump(Json(s)), out);
  }
}

TEST(JsonTextTest, PrettyFormMatchesTheLibrarysIndentedDump) {
  const char* texts[] = {
      "{}",
      "[]",
      "[[], {}, [[]], {\"a\": {}}]",
      R"({"a": 1, "b": [1, 2.5, "x,y:{}[]", null, true], "c": {"d": {"e": []}}})",
      R"({"s": "quote \" and \\ and ] } , :", "n": -1e-7})",
      R"([{"a": []}, {"b": [{}]}])",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const Json j = Json::parse(text);
    const std::string compact = LibraryDump(j);
    EXPECT_EQ(compact.size(), SkipCompactValue(compact, 0));
    for (int indent : {0, 4}) {
      std::string out;
      AppendPretty(&out, compact, indent);
      std::string expected = j.dump(2);
      // The library indents a nested value by its own depth.
      std::string shifted;
      for (char c : expected) {
        shifted.push_back(c);
        if (c == '\n') shifted.append(static_cast<size_t>(indent), ' ');
      }
      EXPECT_EQ(shifted, out);
    }
  }
}

TEST(JsonTextTest, ErrorQuotesAreShortAndPrintable) {
  struct Case {
    std::string s;
    bool tail;
    std::string quoted;
  } cases[] = {
      {"Data 1", false, "\"Data 1\""},
      {"a\x01" "b\n", false, "\"a\\u0001b\\u000a\""},
      {"say \"hi\" \\", false, "\"say \\\"hi\\\" \\\\\""},
      {"bad \xFF", false, "\"bad \\xff\""},
      {std::string(50, 'x'), false, "\"" + std::string(40, 'x') + "…\""},
      {std::string(45, 'y') + "END", true, "\"…" + std::string(37, 'y') + "END\""},
      // The cut never halves a character.
      {std::string(45, 'e') + "\xC3\xA9", false, "\"" + std::string(40, 'e') + "…\""},
      {std::string(39, 'e') + "\xC3\xA9", false, "\"" + std::string(39, 'e') + "\xC3\xA9\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.quoted, QuoteForError(c.s, c.tail));
  }
}

}  // namespace
}  // namespace korund::notebook
