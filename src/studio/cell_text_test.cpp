#include "studio/cell_text.h"

#include <gtest/gtest.h>

namespace korund::studio {
namespace {

std::string Describe(const Value& v) {
  if (v.IsEmpty()) return "empty";
  if (v.IsNumber()) return "number " + FormatNumber(v.Number());
  return "text '" + v.Text() + "'";
}

TEST(TypedCellTest, NumbersTextsAndBlanks) {
  const std::pair<const char*, const char*> cases[] = {
      {"3.25", "number 3.25"}, {" 12 ", "number 12"},   {"-1e-3", "number -0.001"},
      {"", "empty"},           {"   ", "empty"},        {"MPA", "text 'MPA'"},
      {"1,5", "text '1,5'"},   {"3.1x", "text '3.1x'"}, {"inf", "text 'inf'"},
  };
  for (const auto& [typed, expected] : cases) {
    SCOPED_TRACE(typed);
    EXPECT_EQ(expected, Describe(ValueFromTyped(typed)));
  }
}

TEST(TsvTest, CopiedRangeIsTabSeparatedInTheUsualNumberForm) {
  notebook::Worksheet ws;
  ws.SetCell(1, 1, 0.1 + 0.2);
  ws.SetCell(2, 1, "MPA");
  ws.SetCell(1, 2, 19.0);
  ws.SetCell(2, 3, "a\tb");
  EXPECT_EQ("0.3\tMPA\n19\t\n\t\"a\tb\"\n", BlockAsTsv(ws, 1, 2, 1, 3));
}

TEST(TsvTest, PastedTextFromSpreadsheetsBecomesABlockUnlessAQuoteIsOpen) {
  CellBlock block;
  std::string error;
  // CRLF line ends, a quoted field with a line break, a ragged row, and a
  // final line break that adds no row.
  ASSERT_TRUE(BlockFromTsv("1\t2.5\r\nMPA\t\"two\nlines\"\r\n\t7\r\n", &block, &error)) << error;
  ASSERT_EQ(3u, block.size());
  EXPECT_EQ("number 1", Describe(block[0][0]));
  EXPECT_EQ("number 2.5", Describe(block[0][1]));
  EXPECT_EQ("text 'MPA'", Describe(block[1][0]));
  EXPECT_EQ("text 'two\nlines'", Describe(block[1][1]));
  EXPECT_EQ("empty", Describe(block[2][0]));
  EXPECT_EQ("number 7", Describe(block[2][1]));
  EXPECT_FALSE(BlockFromTsv("\"open\t1\n", &block, &error));  // a quote never closed
  EXPECT_FALSE(error.empty());
}

TEST(TsvTest, CopyThenPasteGivesTheSameCells) {
  notebook::Worksheet ws;
  ws.SetCell(1, 1, 1e-20);
  ws.SetCell(1, 2, "say \"hi\"");
  ws.SetCell(2, 2, 123456789012345.0);
  CellBlock block;
  std::string error;
  ASSERT_TRUE(BlockFromTsv(BlockAsTsv(ws, 1, 2, 1, 2), &block, &error)) << error;
  EXPECT_EQ("number 1E-20", Describe(block[0][0]));
  EXPECT_EQ("text 'say \"hi\"'", Describe(block[1][0]));
  EXPECT_EQ("number 123456789012345", Describe(block[1][1]));
}

}  // namespace
}  // namespace korund::studio
