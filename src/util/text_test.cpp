#include "util/text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace korund {
namespace {

TEST(Words, SkipLeadingRepeatedAndTrailingSeparatorsAndKeepCharactersWhole) {
  const std::string text = "  ab  cd ";
  EXPECT_EQ(WordCount(text, " "), 2);
  EXPECT_EQ(WordStart(2, text, " "), 7);
  EXPECT_EQ(NthWord(2, text, " "), "cd");
  EXPECT_EQ(NthWord(3, text, " "), "");
  EXPECT_EQ(NthWord(-1, text, " "), "");
  EXPECT_EQ(WordCount("", " "), 0);
  EXPECT_EQ(WordCount(" ,, ", ", "), 0);
  EXPECT_EQ(NthWord(3, "\"0.1,3.5,,4\t9", ","), "4\t9");
  // Non-ASCII characters are whole; positions count bytes ("é" is two).
  EXPECT_EQ(WordStart(2, "é b", " "), 4);
  EXPECT_EQ(NthWord(2, "añb·c", "·"), "c");
  // "ñ" and "ó" share their first byte; one must not split at the other.
  EXPECT_EQ(WordCount("óxó", "ñ"), 1);
  EXPECT_EQ(NthWord(2, "\xFF \xC3", " "), "\xC3");  // a stray byte is a character of its own
}

TEST(Characters, AWellFormedSequenceIsOneAndAStrayByteCountsAlone) {
  // "é" (2 bytes), "€" (3), "𝄞" (4); a lone continuation byte, an overlong
  // lead, a surrogate and a sequence cut short each count byte by byte.
  EXPECT_EQ(CharCount("a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"), 4);
  EXPECT_EQ(CharCount("\x80\xC0\x80\xED\xA0\x80\xE2\x82"), 8);
  EXPECT_EQ(CharCount(""), 0);
  const auto chars = SplitCharacters("\xC3\xA9x\xE2\x82");
  ASSERT_EQ(chars.size(), 4u);
  EXPECT_EQ(chars[0], "\xC3\xA9");
  EXPECT_EQ(chars[2], "\xE2");
  EXPECT_EQ(CharLength("x\xF0\x9D\x84\x9E", 1), 4u);
}

TEST(Characters, UpperAsciiLeavesEveryOtherByteAlone) {
  EXPECT_EQ(UpperAscii("kPsi az{}@ \xC3\xA9\xC3\xB1"), "KPSI AZ{}@ \xC3\xA9\xC3\xB1");
}

TEST(Words, LongTextsClampInsteadOfOverflowing) {
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "a ";
  EXPECT_EQ(WordCount(text, " "), 32767);
  EXPECT_EQ(WordStart(16000, text, " "), 31999);
  EXPECT_EQ(WordStart(20000, text, " "), 0);  // byte 39999 does not fit 16 bits
  EXPECT_EQ(NthWord(32767, text, " "), "a");
}

TEST(TextHelpers, TrimRepeatAndContain) {
  EXPECT_EQ(TrimSet("  \"GPA 2\" ", "\" "), "GPA 2");
  EXPECT_EQ(TrimSet("\" \"  ", "\" "), "");
  EXPECT_EQ(TrimSet("éaé", "é"), "a");
  EXPECT_EQ(TrimSet("é", "\xA9"), "é");
  // RepeatToLength repeats whole units until long enough.
  EXPECT_EQ(RepeatToLength("ab", 3), "abab");
  EXPECT_EQ(RepeatToLength("#", -4), "");
  EXPECT_EQ(RepeatToLength("é", 2), "éé");  // characters, not bytes
  EXPECT_EQ(RepeatToLength("", 5), "");     // must not loop forever
  // ContainsText is case-sensitive and accepts the empty part.
  EXPECT_TRUE(ContainsText("", ""));
  EXPECT_TRUE(ContainsText("&C", "&CONTINUE"));
  EXPECT_FALSE(ContainsText("&c", "&CONTINUE"));
}

TEST(TextHelpers, QuotedExcerptsCutLongTextsAtWholeCharacters) {
  const std::string sixty(60, 'a');
  const std::pair<std::string, std::string> cases[] = {
      {"", "\"\""},
      {sixty, "\"" + sixty + "\""},
      {sixty + "b", "\"" + sixty + "…\" (61 characters)"},
      {std::string(59, 'a') + "éé", "\"" + std::string(59, 'a') + "é…\" (61 characters)"},
      {std::string(20'000'000, 'x'), "\"" + std::string(60, 'x') + "…\" (20000000 characters)"}};
  for (const auto& [text, quoted] : cases) EXPECT_EQ(quoted, QuotedExcerpt(text)) << text.size();
}

TEST(IndexInList, FindsFirstEqualUpToTheLastIndex) {
  const ValueArray list = {3, "GPA", 7, "GPA", ""};
  EXPECT_EQ(IndexInList(list, 4, Value("GPA")), 1);
  EXPECT_EQ(IndexInList(list, 1, Value(7)), -1);
  EXPECT_EQ(IndexInList(list, 4, Value("3")), -1);  // a text never equals a number
  EXPECT_EQ(IndexInList(list, 4, Value()), 4);      // empty equals ""
  EXPECT_EQ(IndexInList(list, -1, Value(3)), -1);
  EXPECT_EQ(IndexInList(ValueArray{}, 5, Value()), -1);
}

TEST(MaxMin, UseTheValueOrderAndKeepTheFirstOfEquals) {
  EXPECT_EQ(MaxOf(1, 9, 4), Value(9));
  EXPECT_EQ(MinOf({4, 2, 8}), Value(2));
  EXPECT_EQ(MaxOf(1e300, Value("a")), Value("a"));  // a number is below any text
  // Empty and "" are equal: the first one comes back.
  EXPECT_TRUE(MaxOf(Value(), Value("")).IsEmpty());
  EXPECT_TRUE(MinOf(Value(""), Value()).IsText());
}

TEST(FormatSig, FollowsTheSignificantDigitPatterns) {
  const struct { double value; int16_t digits; const char* text; } cases[] = {
      {123.456, 4, "123.5"},   {12345, 3, "1.23E+04"}, {0.5, 3, "0.500"},
      {0.05, 3, "5.00E-02"},   {0.5, -3, "0.5"},       {0, 4, "0.000E+00"},
      {-123.456, 4, "-123.5"}, {99999, 3, "1.00E+05"}, {1000, 4, "1000"},
      {1, -3, "1"},            {0.05, -3, "5E-02"},    {1e-300, 2, "1.0E-300"},
      {-0.0, 4, "0.000E+00"},  {12345, 0, "1E+04"},    {0.1, 6, "0.100000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatSig(c.value, c.digits), c.text) << c.value << " " << c.digits;
  }
  EXPECT_EQ(FormatSig(1.0, 400).size(), 401u);  // "1." and 399 zeros, not cut
  EXPECT_EQ(FormatSig(std::numeric_limits<double>::infinity(), 3), "Inf");
}

TEST(Numbers, KsiFactorAndValidNumbers) {
  EXPECT_DOUBLE_EQ(GpaToKsi(2.5), 362.5);
  EXPECT_TRUE(IsValidNumber(Value(" 2.5 ")));
  EXPECT_FALSE(IsValidNumber(Value(kNaNText)));
  EXPECT_FALSE(IsValidNumber(Value("")));
}

}  // namespace
}  // namespace korund
