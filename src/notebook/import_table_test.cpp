#include "notebook/import_table.h"

#include <gtest/gtest.h>

#include "testing/test_files.h"

namespace korund::notebook {
namespace {

std::string Show(const Value& v) {
  if (v.IsNumber()) return "n:" + FormatNumber(v.Number());
  if (v.IsText()) return "t:" + v.Text();
  return "";
}

// Builds from a table of texts ("" an empty cell) and shows each column as
// "header|cell|cell...".
struct Built {
  bool ok;
  std::vector<std::string> columns;
  std::vector<std::string> notes;
  std::string error;
};
Built Build(const std::vector<std::vector<std::string>>& texts, const ImportSettings& settings) {
  std::vector<std::vector<Value>> table;
  for (const auto& column : texts) {
    table.emplace_back();
    for (const std::string& t : column) table.back().push_back(t.empty() ? Value() : Value(t));
  }
  std::vector<ImportedColumn> columns;
  Built b;
  b.ok = BuildImportColumns(
      table, settings,
      [](size_t k, size_t r) { return "r" + std::to_string(r + 1) + "c" + std::to_string(k + 1); },
      &columns, &b.notes, &b.error);
  for (const ImportedColumn& c : columns) {
    std::string line = c.header ? "[" + *c.header + "]" : "";
    for (const Value& v : c.cells) line += "|" + Show(v);
    b.columns.push_back(line);
  }
  return b;
}

TEST(ImportTableTest, MistypedNumbersAreTextsThatOnlyDigitsAndSeparatorsMake) {
  const std::pair<const char*, bool> cases[] = {
      {"2185,2", true}, {"1.2.3", true}, {"12 5", true},   {"1e", true},
      {"-3,", true},    {"1'000", true}, {"3.5", false},   {" 7 ", false},
      {"MPA", false},   {"e", false},    {"Set 1", false}, {"", false},
      {"12 kN", false}, {"#12", false},  {"1E+03", false}, {"..", false}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(expected, LooksLikeMistypedNumber(text)) << text;
  }
}

TEST(ImportTableTest, HeadersNameTheirUnitInBracketsOrAfterASlash) {
  const struct {
    const char* header;
    const char* unit;
    const char* name;
  } cases[] = {{"Strength (MPa)", "MPA", "Strength"},
               {"load [ksi]", "KSI", "load"},
               {"Strength [GPa]", "GPA", "Strength"},
               {"t (hours)", "HOUR", "t"},
               {"t/min", "MIN", "t"},
               {"Lot C / MPa ", "MPA", "Lot C"},
               {"(GPa)", "GPA", ""},
               {"Strength, MPa", "", "-"},
               {"MPa", "", "-"},
               {"(MPa) strength", "", "-"},
               {"rate (MPa/s)", "", "-"},
               {"rate MPa/s", "", "-"},
               {"/s", "", "-"},
               {"time ( min )", "MIN", "time"},
               {"", "", "-"}};
  for (const auto& c : cases) {
    std::string name = "-";
    EXPECT_EQ(c.unit, HeaderUnit(c.header, &name)) << c.header;
    EXPECT_EQ(c.name, name) << c.header;
  }
}

TEST(ImportTableTest, HeadersBecomeTitlesUnitsGoAboveTheDataAndMistakesAreListed) {
  ImportSettings s;
  s.header = true;
  Built b = Build(
      {{"Strength (MPa)", "3120.5", "2185,2", "", "2900"}, {"ID", "A1", "A2"}, {"", "1", "12 5"}},
      s);
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ((std::vector<std::string>{"[Strength]|t:MPA|n:3120.5|t:2185,2||n:2900",
                                      "[ID]||t:A1|t:A2", "[]||n:1|t:12 5"}),
            b.columns);
  EXPECT_EQ((std::vector<std::string>{
                "r3c1: \"2185,2\" is kept as text; is it a mistyped number?",
                "r3c3: \"12 5\" is kept as text; is it a mistyped number?",
                "column 1 \"Strength (MPa)\" is titled \"Strength\"; the unit MPA is "
                "put in row 1, above the data, and the data of every imported "
                "column start in row 2"}),
            b.notes);
}

TEST(ImportTableTest, DecimalCommaAndAGivenUnitApplyToEveryColumn) {
  ImportSettings s;
  s.decimal_comma = true;
  s.unit = "KSI";
  Built b = Build({{"1,5", "2", "1.234,5", "-0,25"}, {"", ""}, {"x"}}, s);
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ((std::vector<std::string>{"|t:KSI|n:1.5|n:2|t:1.234,5|n:-0.25", "", "|t:KSI|t:x"}),
            b.columns)
      << "an empty column gets no unit";
  EXPECT_EQ(1u, b.notes.size());
}

TEST(ImportTableTest, AnImportWithoutANumberIsRefused) {
  ImportSettings s;
  s.header = true;
  Built b = Build({{"1", "x"}, {"2", "2,5"}}, s);
  EXPECT_FALSE(b.ok);
  EXPECT_EQ("no numbers to import", b.error);
  EXPECT_FALSE(Build({}, ImportSettings()).ok);
}

// A CSV text imported as the options ask: the columns as Build shows them
// and the notes, or the error without the file's name.
std::string ImportCsv(const std::string& csv, const std::string& options) {
  host::testing::TempDir dir;
  const std::string path = dir.File("in.csv");
  host::testing::WriteFile(path, csv);
  ImportSettings s;
  s.header = options.find("header") != std::string::npos;
  s.decimal_comma = options.find("comma") != std::string::npos;
  if (options.find(';') != std::string::npos) s.separator = ';';
  if (size_t at = options.find("columns "); at != std::string::npos) {
    std::string error;
    if (!ParseColumnList(options.substr(at + 8), &s.columns, &error)) return error;
  }
  ImportedTable table;
  std::string error, out;
  if (!ImportFile(path, s, 1, &table, &error)) return error.substr(path.size() + 2);
  for (const ImportedColumn& c : table.columns) {
    out += (c.header ? "[" + *c.header + "]" : "") + (c.label ? "<" + *c.label + ">" : "");
    for (const Value& v : c.cells) out += "|" + Show(v);
    out += "\n";
  }
  for (const std::string& note : table.notes) out += "note: " + note + "\n";
  return out;
}

TEST(ImportTableTest, RowsMustLineUpAndDecimalCommasReadAsSeparatorsAreNamed) {
  const std::string advice = " decimal commas? Then import with --separator ";
  const std::string pairs =
      "note: every row is a whole number and up to three digits, such as \"2210,43\", read as "
      "two columns; if each row is one number with a decimal comma, import with --separator ';' "
      "--decimal-comma\n";
  const struct {
    std::string csv;
    const char* options;
    std::string said;
  } rows[] = {
      {"Lot D\n2210,43\n2305,1\n", "header",
       "line 2: 2 fields, more than the 1 of line 1; are the commas in \"2210,43\"" + advice +
           "';' --decimal-comma"},
      {"Lot D\n2210,43\n2305,1\n", "header ; comma", "[Lot D]|n:2210.43|n:2305.1\n"},
      {"\n\nID;Strength\r\nA;2210,43\r\n", "header",
       "line 4: 2 fields, more than the 1 of line 3; are the commas in \"A;2210,43\"" + advice +
           "';' --decimal-comma"},
      {"Lot D\tLot E\n2210,43\t1,5\n", "header",
       "line 2: 3 fields, more than the 1 of line 1; are the commas in \"2210,43\t1,5\"" + advice +
           "tab --decimal-comma"},
      {"1,2\n3,4,x\n", "", "line 2: 3 fields, more than the 2 of line 1"},
      {"a;b\n1;2;3\n", "header ;", "line 2: 3 fields, more than the 2 of line 1"},
      // Trailing empty fields and blank lines are what spreadsheets write.
      {"a,b,\n1,2,,\n\n3, \n", "header", "[a]|n:1||n:3\n[b]|n:2||t: \n[]\n[]\n"},
      {"1,\n2,3.5\n", "", "|n:1|n:2\n||n:3.5\n"},
      {"2210,43\n2305,1\n\n2400\n", "", "|n:2210|n:2305||n:2400\n|n:43|n:1\n" + pairs},
      {"2210,43\n2305,1\n", "; comma", "|n:2210.43|n:2305.1\n"},
      {"2210,43\n2305,1234\n", "", "|n:2210|n:2305\n|n:43|n:1234\n"},
      {"ID;Strength\nA1;3.1\nA2;2.9\n", "header ; columns 2", "[Strength]|n:3.1|n:2.9\n"},
      {"a,b,c (MPa)\n1,2,3\n", "header columns 3,1",
       "[c]|t:MPA|n:3\n[a]||n:1\nnote: column 3 \"c (MPa)\" is titled \"c\"; the unit MPA is put "
       "in row 1, above the data, and the data of every imported column start in row 2\n"},
      {"1,2\n", "columns 1-3", "there is no column 3 (the file has 2 columns)"},
      {"1,2\n", "columns 2-1",
       "--columns wants the file's columns, each once, as numbers from 1 to 32767 and ranges "
       "such as 2 or 2,4-5, not \"2-1\""},
      {"1," + std::string(70, '7') + "..\n", "",
       "|n:1\n|t:" + std::string(70, '7') + "..\nnote: row 1, column 2: \"" + std::string(60, '7') +
           "…\" (72 characters) is kept as text; is it a mistyped number?\n"},
  };
  for (const auto& r : rows) EXPECT_EQ(r.said, ImportCsv(r.csv, r.options)) << r.csv;
  const std::pair<const char*, bool> lists[] = {
      {"2", true},  {"2,4-5", true}, {" 3 , 1", true}, {"1-32767", true}, {"", false},
      {"0", false}, {"2,", false},   {"1-2,2", false}, {"32768", false},  {"a", false}};
  for (const auto& [list, ok] : lists) {
    std::vector<int32_t> columns;
    std::string error;
    EXPECT_EQ(ok, ParseColumnList(list, &columns, &error)) << list;
  }
}

// The limits hold while the file is read, and count only the columns kept.
TEST(ImportTableTest, LimitsStopTheReadingAtTheRowThatPassesThem) {
  auto lines = [](size_t count, const std::string& line) {
    std::string text;
    text.reserve(count * line.size());
    for (size_t i = 0; i < count; ++i) text += line;
    return text;
  };
  const std::string rows = lines(1000001, "1\n");
  const std::string wide = lines(600000, "1,2,3,4,5,6,7,8\n");
  const struct {
    std::string csv;
    const char* options;
    std::string said;  // the start of what ImportCsv says
  } cases[] = {
      {rows, "", "line 1000001: column 1 has more than 1000000 rows (the limit is 1000000)"},
      {"h\n" + rows.substr(2), "header", "[h]|n:1|n:1"},
      {wide, "", "line 500001: the columns would hold more than 4000000 cells (the limit)"},
      {wide, "columns 2,5", "|n:2|n:2"},
  };
  for (const auto& c : cases) {
    const std::string said = ImportCsv(c.csv, c.options);
    EXPECT_EQ(c.said, said.substr(0, c.said.size())) << c.options;
  }
}

TEST(ImportTableTest, EuropeanCsvIsNoticedUnlessReadAsSuch) {
  const std::string european = "Probe;Festigkeit\r\nA;3,12\r\nB;2,95\r\n";
  EXPECT_NE("", EuropeanCsvNote(european, ',', false));
  EXPECT_NE("", EuropeanCsvNote(european, ';', false));
  EXPECT_EQ("", EuropeanCsvNote(european, ';', true));
  EXPECT_EQ("", EuropeanCsvNote("a,b\n1,2\n3,4\n", ',', false));
  EXPECT_EQ("", EuropeanCsvNote("a;b\n1;2\n", ',', false)) << "semicolons but no decimal comma";
}

TEST(ImportTableTest, PuttingColumnsKeepsTheHeaderAsTitleAndLabel) {
  Worksheet sheet;
  sheet.SetTitle(3, "old");
  sheet.SetCell(3, 5, Value(9.0));
  std::vector<ImportedColumn> columns = {{std::string("Fibre A"), std::nullopt, {Value(1.0)}},
                                         {std::nullopt, std::nullopt, {Value("x")}},
                                         {std::string("raw 4"), std::string("Fibre D"), {}}};
  PutImportedColumns(sheet, 2, columns);
  EXPECT_EQ("raw 4", sheet.Title(4));
  EXPECT_EQ("Fibre D", sheet.FindColumn(4)->label.value_or("-"));
  EXPECT_EQ("Fibre A", sheet.Title(2));
  EXPECT_EQ("Fibre A", sheet.FindColumn(2)->label.value_or("-"));
  EXPECT_EQ("old", sheet.Title(3)) << "no header keeps the title";
  EXPECT_EQ(1, sheet.UsedRows(3)) << "the old cells are replaced";
}

}  // namespace
}  // namespace korund::notebook
