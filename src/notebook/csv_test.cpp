#include "notebook/csv.h"

#include <gtest/gtest.h>

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
  struct Case {
    const char* text;
    const char* rows;
  } cases[] = {
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
  for (const Case& c : cases) EXPECT_EQ(c.rows, Parse(c.text)) << c.text;
  EXPECT_EQ("a|b,c", Parse("a;b,c", ';'));
  EXPECT_EQ("ERROR line 2: a quoted field is not closed", Parse("a\n\"open,\nmore"));
  EXPECT_EQ("ERROR line 1: text after a closing quote", Parse("\"a\"b,c"));
}

}  // namespace
}  // namespace korund::notebook
