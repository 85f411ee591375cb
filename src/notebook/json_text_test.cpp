#include "notebook/json_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "testing/json_support.h"

namespace korund::notebook {
namespace {

std::string Double(double x) {
  std::string out;
  AppendJsonDouble(&out, x);
  return out;
}

// std::to_chars is the reference for the digits (the shortest that read
// back, the nearest of them), JsonDoubleText for where they stand.
TEST(JsonTextTest, DoublesAreWrittenInTheShortestDigitsAndReadBackExactly) {
  std::mt19937_64 rng(20261207);
  int checked = 0;
  for (int i = 0; i < 300000; ++i) {
    double x = 0;
    const uint64_t bits = rng();
    switch (i % 5) {
      case 0: std::memcpy(&x, &bits, sizeof x); break;  // any bit pattern
      case 1: x = static_cast<double>(static_cast<int64_t>(bits % 2000000001) - 1000000000) /
                  std::pow(10.0, static_cast<int>(rng() % 12)); break;  // typed decimals
      case 2: x = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(rng() % 200) - 150); break;
      case 3: x = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(rng() % 2100) - 1100); break;
      case 4:
        x = static_cast<double>(bits >> (rng() % 64));
        break;  // integers, many above 2^53
    }
    if (!std::isfinite(x)) continue;
    const std::string text = Double(x);
    ASSERT_EQ(x, std::strtod(text.c_str(), nullptr)) << text;
    ASSERT_EQ(testing::JsonDoubleText(x), text);
    ++checked;
  }
  EXPECT_GT(checked, 290000);
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
  const std::pair<double, const char*> cases[] = {
      {0.0, "0.0"},
      {-0.0, "-0.0"},
      {1.0, "1.0"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.30000000000000004"},
      {1e14, "100000000000000.0"},
      {1e15, "1e+15"},
      {1.5e-5, "1.5e-05"},
      {0.0001, "0.0001"},
      {-2.5e-300, "-2.5e-300"},
      {kMin, "5e-324"},
      {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
      {2.2250738585072014e-308, "2.2250738585072014e-308"},
      {2.225073858507201e-308, "2.225073858507201e-308"},  // the largest subnormal
      {1e100, "1e+100"},
      {9007199254740993.0, "9.007199254740992e+15"},
      {18446744073709551616.0, "1.8446744073709552e+19"},
      {0.41007314499999997, "0.410073145"},
      {4.6323549999999996, "4.632355"},
      {-1234.5e-20, "-1.2345e-17"},
      {123456789012345.6, "123456789012345.6"},
      {1234567890123456.7, "1.2345678901234568e+15"},
      {std::numeric_limits<double>::infinity(), "null"},
      {std::nan(""), "null"},
  };
  for (const auto& [x, text] : cases) EXPECT_EQ(text, Double(x)) << text;
}

TEST(JsonTextTest, IntegersAtTheirLimits) {
  for (int64_t n : {int64_t{0}, int64_t{-1}, int64_t{9007199254740991},
                    std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()}) {
    std::string out;
    AppendJsonInteger(&out, n);
    EXPECT_EQ(std::to_string(n), out);
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

TEST(JsonTextTest, PrettyFormPutsEachMemberOnItsLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"{}", "{}"},
      {"[]", "[]"},
      {R"([[],{},[[]],{"a":{}}])",
       "[\n  [],\n  {},\n  [\n    []\n  ],\n  {\n    \"a\": {}\n  }\n]"},
      {R"({"a":1,"b":[1,2.5,"x,y:{}[]",null,true],"c":{"d":{"e":[]}}})",
       "{\n  \"a\": 1,\n  \"b\": [\n    1,\n    2.5,\n    \"x,y:{}[]\",\n    null,\n    true\n"
       "  ],\n  \"c\": {\n    \"d\": {\n      \"e\": []\n    }\n  }\n}"},
      {R"({"s":"quote \" and \\ and ] } , :","n":-1e-07})",
       "{\n  \"s\": \"quote \\\" and \\\\ and ] } , :\",\n  \"n\": -1e-07\n}"},
      {R"([{"a":[]},{"b":[{}]}])",
       "[\n  {\n    \"a\": []\n  },\n  {\n    \"b\": [\n      {}\n    ]\n  }\n]"},
  };
  for (const auto& [compact_text, pretty] : cases) {
    SCOPED_TRACE(compact_text);
    const std::string compact = compact_text;
    EXPECT_EQ(compact.size(), SkipCompactValue(compact, 0));
    for (int indent : {0, 4}) {
      std::string out;
      AppendPretty(&out, compact, indent);
      // A nested value's lines are shifted by its own indent.
      std::string shifted;
      for (const char* p = pretty; *p != '\0'; ++p) {
        shifted.push_back(*p);
        if (*p == '\n') shifted.append(static_cast<size_t>(indent), ' ');
      }
      EXPECT_EQ(shifted, out);
    }
  }
  std::string one_space;
  AppendPretty(&one_space, R"({"a":[1,{}]})", 0, 1);
  EXPECT_EQ("{\n \"a\": [\n  1,\n  {}\n ]\n}", one_space);
}

TEST(JsonTextTest, ErrorQuotesAreShortAndPrintable) {
  const struct {
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
  for (const auto& c : cases) EXPECT_EQ(c.quoted, QuoteForError(c.s, c.tail));
}

}  // namespace
}  // namespace korund::notebook
