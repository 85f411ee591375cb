#include "notebook/import_table.h"

#include <gtest/gtest.h>

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

TEST(ImportTableTest, HeadersNameTheirUnitInBracketsAtTheEnd) {
  const std::pair<const char*, const char*> cases[] = {{"Strength (MPa)", "MPA"},
                                                       {"load [ksi]", "KSI"},
                                                       {"t (hours)", "HOUR"},
                                                       {"time (s)", "S"},
                                                       {"(GPa)", "GPA"},
                                                       {"Strength, MPa", ""},
                                                       {"MPa", ""},
                                                       {"(MPa) strength", ""},
                                                       {"rate (MPa/s)", ""},
                                                       {"time ( min )", "MIN"},
                                                       {"", ""}};
  for (const auto& [header, unit] : cases) EXPECT_EQ(unit, HeaderUnit(header)) << header;
}

TEST(ImportTableTest, HeadersBecomeTitlesUnitsGoAboveTheDataAndMistakesAreListed) {
  ImportSettings s;
  s.header = true;
  Built b = Build(
      {{"Strength (MPa)", "3120.5", "2185,2", "", "2900"}, {"ID", "A1", "A2"}, {"", "1", "12 5"}},
      s);
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ((std::vector<std::string>{"[Strength (MPa)]|t:MPA|n:3120.5|t:2185,2||n:2900",
                                      "[ID]||t:A1|t:A2", "[]||n:1|t:12 5"}),
            b.columns);
  EXPECT_EQ(
      (std::vector<std::string>{"r3c1: \"2185,2\" is kept as text; is it a mistyped number?",
                                "r3c3: \"12 5\" is kept as text; is it a mistyped number?",
                                "column 1 \"Strength (MPa)\": the unit MPA is put in row 1, above "
                                "the data, and the data of every imported column start in row 2"}),
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
