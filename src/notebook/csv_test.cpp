#include "notebook/csv.h"

#include <gtest/gtest.h>

#include <random>

#include "testing/test_files.h"

namespace korund::notebook {
namespace {

// Rows as "a|b;c|d" so that expectations read in one line.
std::string Parse(std::string_view text, char separator = ',') {
  std::vector<CsvRow> rows;
  std::string error, out;
  if (!ParseCsv(text, separator, &rows, &error)) return "ERROR " + error;
  for (size_t r = 0; r < rows.size(); ++r) {
    if (r > 0) out += ';';
    for (size_t f = 0; f < rows[r].size(); ++f) out += (f > 0 ? "|" : "") + rows[r][f];
  }
  return out;
}

TEST(CsvTest, SplitsFieldsAndRecords) {
  const std::pair<const char*, const char*> cases[] = {
      {"a,b\nc,d\n", "a|b;c|d"},
      {"a,b\r\nc,d", "a|b;c|d"},               // CRLF, no final break
      {"a\rb\r", "a;b"},                       // lone CRs
      {"\"x,y\",z\n", "x,y|z"},                // separator inside quotes
      {"\"say \"\"hi\"\"\"\n", "say \"hi\""},  // doubled quotes
      {"\"two\r\nlines\",3\n", "two\r\nlines|3"},
      {"a,,c\n,\n", "a||c;|"},                 // empty fields
      {"a,\n", "a|"},
      {"a\n\nb\n", "a;;b"},                    // an empty line is a row of one empty field
      {"5\" pipe,2\n", "5\" pipe|2"},          // a quote inside an unquoted field is kept
      {"\xEF\xBB\xBFh1,h2\n", "h1|h2"},        // byte-order mark
      {"", ""},
  };
  for (const auto& [text, rows] : cases) EXPECT_EQ(rows, Parse(text)) << text;
  EXPECT_EQ("a|b,c", Parse("a;b,c", ';'));
  std::vector<CsvRow> rows;
  std::vector<int> lines;
  std::string error;
  ASSERT_TRUE(ParseCsv("a\n\"b\r\nc\",d\n\ne", ',', &rows, &error, &lines));
  EXPECT_EQ((std::vector<int>{1, 2, 4, 5}), lines) << "the line each row starts on";
  EXPECT_EQ("ERROR line 2: a quoted field is not closed", Parse("a\n\"open,\nmore"));
  EXPECT_EQ("ERROR line 1: text after a closing quote", Parse("\"a\"b,c"));
}

// A file read a block at a time splits as the whole text does, whatever
// falls on a block's edge (a quoted line break, a CRLF, a doubled quote).
TEST(CsvTest, AFileReadInBlocksSplitsAsTheWholeText) {
  std::mt19937 rng(26);
  const char* const kFields[] = {"12.5", "", "z", "\"a,\r\nb\"", "\"x\"\"y\""};
  const char* const kEnds[] = {",", ",", "\n", "\r\n", "\r"};
  std::string text = "\xEF\xBB\xBF";
  while (text.size() < 300000) {
    text += kFields[rng() % std::size(kFields)];
    text += kEnds[rng() % std::size(kEnds)];
  }
  host::testing::TempDir dir;
  const std::string path = dir.File("in.csv");
  host::testing::WriteFile(path, text);
  std::vector<CsvRow> whole, read;
  std::vector<int> whole_lines, read_lines;
  std::string error, head;
  ASSERT_TRUE(ParseCsv(text, ',', &whole, &error, &whole_lines)) << error;
  const CsvRowSink keep = [&](CsvRow& row, int line) {
    read.push_back(row);
    read_lines.push_back(line);
    return true;
  };
  ASSERT_TRUE(ReadCsvRows(path, ',', keep, &head, &error)) << error;
  EXPECT_EQ(whole, read);
  EXPECT_EQ(whole_lines, read_lines);
  EXPECT_EQ(text.substr(0, kCsvHeadBytes), head);
  host::testing::WriteFile(path, text + "\"open");
  EXPECT_FALSE(ReadCsvRows(path, ',', keep, nullptr, &error));
  EXPECT_EQ(path + ": line " + std::to_string(whole_lines.back() + 1) +
                ": a quoted field is not closed",
            error);
}

// The columns `numbers` as CSV, every one of them visited: the reference
// for the writer, which visits only stored columns.
std::string EveryColumnCsv(const Worksheet& sheet, const std::vector<int32_t>& numbers, char sep) {
  int32_t rows = 0;
  for (int32_t c : numbers) rows = std::max(rows, sheet.UsedRows(c));
  std::string text;
  for (int32_t r = 0; r <= rows && !numbers.empty(); ++r) {
    for (size_t i = 0; i < numbers.size(); ++i) {
      const int32_t c = numbers[i];
      text += (i > 0 ? std::string(1, sep) : "") +
              CsvField(r == 0 ? sheet.Title(c) : ToText(sheet.Cell(c, r)), sep);
    }
    text += "\r\n";
  }
  return text;
}

TEST(CsvTest, StreamedColumnsMatchTheTextOfEveryColumnVisited) {
  Worksheet sheet;
  sheet.SetTitle(0, "rows");
  sheet.SetCell(0, 2, Value("r2"));
  sheet.SetCell(2, 1, Value(0.1 + 0.2));
  sheet.SetCell(2, 3, Value("a,\"b\""));
  sheet.SetTitle(5, "only a title");
  sheet.SetCell(6, 4, Value(" pad"));
  sheet.ColumnAt(9);  // stored, but empty
  sheet.SetCell(12, 2, Value(1e20));
  const std::pair<int32_t, int32_t> ranges[] = {{1, 12}, {0, 6},   {3, 4}, {6, 6},
                                                {7, 11}, {10, 40}, {5, 5}, {1, 0}};
  for (const auto& [first, last] : ranges) {
    for (CsvColumns which : {CsvColumns::kEvery, CsvColumns::kUsed}) {
      const char separator = which == CsvColumns::kEvery ? ',' : ';';
      SCOPED_TRACE(std::to_string(first) + "-" + std::to_string(last) + separator);
      std::vector<int32_t> numbers;
      for (int32_t c = first; c <= last; ++c) {
        const Column* column = sheet.FindColumn(c);
        const bool used = column != nullptr && (!column->cells.empty() || column->title);
        if (which == CsvColumns::kEvery || used) numbers.push_back(c);
      }
      std::string streamed;
      int lines = 0;
      EXPECT_TRUE(WriteWorksheetCsv(sheet, first, last, which, separator, [&](std::string_view l) {
        streamed += l;
        ++lines;
        return true;
      }));
      EXPECT_EQ(EveryColumnCsv(sheet, numbers, separator), streamed);
      EXPECT_EQ(numbers.empty() ? 0 : WorksheetCsvRows(sheet, first, last) + 1, lines);
    }
  }
  // A writer that refuses a line stops the text there.
  int calls = 0;
  EXPECT_FALSE(WriteWorksheetCsv(sheet, 1, 12, CsvColumns::kEvery, ',',
                                 [&](std::string_view) { return ++calls < 2; }));
  EXPECT_EQ(2, calls);
}

}  // namespace
}  // namespace korund::notebook
