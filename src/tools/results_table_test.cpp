#include "tools/results_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "util/worksheet_layout.h"

namespace korund::tools {
namespace {

using notebook::Worksheet;

// A Weibull worksheet as the analysis leaves it: set n's result in row r
// is 100 * n + r + 0.123456, except where a row says "--".
Worksheet WeibullSheet() {
  Worksheet sheet;
  sheet.SetCell(56, 2, Value(2));
  for (int32_t r = 1; r <= 38; ++r) sheet.SetCell(20, r, Value(layout::weibull::kResultLabels[r]));
  for (int32_t n : {1, 3}) {
    for (int32_t r = 1; r <= 38; ++r) sheet.SetCell(20 + n, r, Value(100.0 * n + r + 0.123456));
  }
  sheet.SetCell(23, 12, Value("covergence"));
  sheet.SetCell(21, 1, Value(20));
  for (int32_t r = 1; r <= 38; ++r) sheet.SetCell(22, r, Value("--"));  // set 2 is empty
  sheet.ColumnAt(3).label = "Fibre C";
  return sheet;
}

std::string Row(const ResultsTable& t, size_t i, int digits = 6) {
  std::string line = t.rows[i].name;
  for (const ResultValue& v : t.rows[i].values) {
    line += " " + (!v.text.empty() ? v.text : v.number ? RoundedText(*v.number, digits) : "--");
  }
  return line;
}

TEST(ResultsTableTest, WeibullRowsComeFromTheResultColumnsOfAnalysedSets) {
  ResultsTable t;
  std::string error;
  ASSERT_TRUE(BuildResultsTable(WeibullSheet(), &t, &error)) << error;
  EXPECT_EQ("weibull", t.kind);
  ASSERT_EQ(2u, t.rows.size()) << "set 2 has no count";
  EXPECT_EQ(
      "Set 1 20 102.123 104.123 110.123 112.123 113.123 114.123 115.123 116.123 117.123 120.123 "
      "121.123 125.123 126.123 130.123 131.123 135.123 134.123 138.123 137.123"
      " -- -- -- -- -- --",  // no sorted strengths: no fit checks
      Row(t, 0));
  EXPECT_EQ(0u, Row(t, 1).find("Fibre C 301.123 302.123 304.123 310.123 -- 313.123 ")) << Row(t, 1);
  EXPECT_EQ(t.headers.size(), t.rows[0].values.size() + 1);
  EXPECT_EQ(t.headers.size(), t.glossary.size());
  EXPECT_EQ("LS So (GPa)", t.headers[3]);
}

TEST(ResultsTableTest, WeibullFitChecksFollowTheChosenQuantilesAndConfidence) {
  Worksheet sheet = WeibullSheet();
  const double strengths[] = {3.3, 3.7, 4.0, 4.2, 4.6}, m = 6.2, so = 4.1;
  sheet.SetCell(21, 1, Value(5));
  for (int32_t r = 1; r <= 5; ++r) sheet.SetCell(31, r, Value(strengths[r - 1]));
  sheet.SetCell(21, 10, Value(m));  // the raw MLE modulus, and its So
  sheet.SetCell(21, 15, Value(so));
  ResultsTable t;
  std::string error;
  ASSERT_TRUE(BuildResultsTable(sheet, &t, &error, {{0.1, 10}, 90})) << error;
  const std::vector<std::string> added(t.headers.end() - 9, t.headers.end());
  EXPECT_EQ(added, (std::vector<std::string>{"A-D A\xC2\xB2", "A-D A\xC2\xB2*", "A-D p",
                                             "S(0.1%) (GPa)", "S(0.1%) lower 90% (GPa)",
                                             "S(0.1%) upper 90% (GPa)", "S(10%) (GPa)",
                                             "S(10%) lower 90% (GPa)", "S(10%) upper 90% (GPa)"}));
  const std::vector<ResultValue> v(t.rows[0].values.end() - 9, t.rows[0].values.end());
  EXPECT_NEAR(*v[1].number, *v[0].number * (1 + 0.2 / std::sqrt(5.0)), 1e-12);
  EXPECT_NE(v[2].text.find("p "), std::string::npos) << v[2].text;
  for (size_t q = 0; q < 2; ++q) {
    const double f = q == 0 ? 0.001 : 0.1, at = so * std::pow(-std::log(1 - f), 1 / m);
    const double strength = *v[3 + 3 * q].number, lo = *v[4 + 3 * q].number,
                 hi = *v[5 + 3 * q].number;
    EXPECT_NEAR(strength, at, 1e-12 * at) << f;
    EXPECT_LT(lo, strength);
    EXPECT_NEAR(lo * hi, strength * strength, 1e-9 * at * at) << "symmetric on the log scale";
  }
  EXPECT_EQ(Row(t, 1).substr(Row(t, 1).size() - 27), " -- -- -- -- -- -- -- -- --");
}

TEST(ResultsTableTest, FatigueKindAndParameterFollowTheOptionsRecord) {
  Worksheet sheet;
  sheet.SetCell(184, 2, Value(1));
  const int32_t block = 31;  // set 2
  for (int32_t r = 1; r <= 13; ++r) {
    sheet.SetCell(block + 11, r, Value(layout::fatigue::ResultLabel(r, "ns")));
  }
  const double values[] = {12, 19, 17.5, 20.7, -19, 0.8, 3.2, 0.1, 0.97, 0, 0, 17.6, 20.6};
  for (int32_t r = 1; r <= 13; ++r) {
    if (r != 10 && r != 11) sheet.SetCell(block + 12, r, Value(values[r - 1]));
  }
  sheet.SetCell(block + 12, 9, Value("--"));
  sheet.ColumnAt(block + 2).label = "stress";  // x named, y not
  ResultsTable t;
  std::string error;
  ASSERT_TRUE(BuildResultsTable(sheet, &t, &error)) << error;
  EXPECT_EQ("static", t.kind);
  EXPECT_EQ((std::vector<std::string>{"Set", "N", "ns", "ns lower (2 SE)", "ns upper (2 SE)",
                                      "ns lower (IEC)", "ns upper (IEC)", "slope",
                                      "intercept (log10 s)", "R\xC2\xB2"}),
            t.headers);
  ASSERT_EQ(1u, t.rows.size());
  EXPECT_EQ("stress 12 19 17.5 20.7 17.6 20.6 -19 3.2 --", Row(t, 0));

  sheet.SetCell(block + 11, 12, Value("ndL"));
  EXPECT_FALSE(BuildResultsTable(sheet, &t, &error));
  EXPECT_EQ(
      "column 42 row 12 should hold the result label \"nsL\", not \"ndL\"; analyse the "
      "worksheet again",
      error);
}

TEST(ResultsTableTest, AWorksheetWithoutAnAnalysisIsRefused) {
  Worksheet sheet;
  sheet.SetCell(1, 1, Value(3.5));
  sheet.SetCell(56, 2, Value(0));  // not the Weibull kind
  ResultsTable t;
  std::string error;
  EXPECT_FALSE(BuildResultsTable(sheet, &t, &error));
  EXPECT_NE(std::string::npos, error.find("holds no analysis results")) << error;
}

TEST(ResultsTableTest, NumbersAreRoundedToSignificantDigits) {
  const std::tuple<double, int, const char*> cases[] = {
      {3.14159265, 4, "3.142"}, {19, 4, "19"}, {1234567, 3, "1230000"}, {0.000123456, 2, "0.00012"},
      {-2.6e-7, 1, "-3E-07"},   {0, 4, "0"},   {99.96, 3, "100"}};
  for (const auto& [x, digits, text] : cases) {
    EXPECT_EQ(text, RoundedText(x, digits)) << x << " " << digits;
  }
}

TEST(ResultsTableTest, FormatsShowTheSameTableAndTheGlossary) {
  ResultsTable t;
  t.kind = "weibull";
  t.headers = {"Set", "N", "So (GPa)"};
  t.glossary = {"Set: name", "N: count", "So (GPa): scale"};
  t.rows = {{"Fibre \"A\", red|blue", {20.0, 4.56789}}, {"Set 2", {3.0, std::nullopt}}};
  EXPECT_EQ("Set,N,So (GPa)\r\n\"Fibre \"\"A\"\", red|blue\",20,4.568\r\nSet 2,3,--\r\n",
            ResultsCsv(t, 4, false));
  EXPECT_EQ(
      "| Set | N | So (GPa) |\n| --- | ---: | ---: |\n| Fibre \"A\", red\\|blue | 20 | 4.57 |\n"
      "| Set 2 | 3 | -- |\n\n- Set: name\n- N: count\n- So (GPa): scale\n",
      ResultsMarkdown(t, 3, true));
  EXPECT_EQ(
      "{\n  \"kind\": \"weibull\",\n  \"columns\": [\"Set\", \"N\", \"So (GPa)\"],\n"
      "  \"rows\": [\n    [\"Fibre \\\"A\\\", red|blue\", 20, 4.568],\n    [\"Set 2\", 3, null]\n"
      "  ],\n  \"stale\": false\n}\n",
      ResultsJson(t, 4, false));
  notebook::Notebook book = ResultsNotebook(t, 2, true);
  const Worksheet& sheet = *book.FindWorksheet("Results")->worksheet();
  EXPECT_EQ("So (GPa)", sheet.Title(3));
  EXPECT_EQ(4.6, sheet.Cell(3, 1).Number());
  EXPECT_EQ("--", sheet.Cell(3, 2).Text());
  EXPECT_EQ("Set: name\r\nN: count\r\nSo (GPa): scale\r\n", book.Find("Glossary")->text());
}

TEST(ResultsTableTest, TextResultsAreShownAsTheyAre) {
  ResultsTable t;
  t.kind = "weibull";
  t.headers = {"Set", "A-D p"};
  t.rows = {{"Set 1", {ResultValue("p > 0.10")}}};
  EXPECT_EQ("Set,A-D p\r\nSet 1,p > 0.10\r\n", ResultsCsv(t, 4, false));
  EXPECT_NE(std::string::npos, ResultsMarkdown(t, 4, false).find("| Set 1 | p > 0.10 |"));
  EXPECT_NE(std::string::npos, ResultsJson(t, 4, false).find("[\"Set 1\", \"p > 0.10\"]"));
  notebook::Notebook book = ResultsNotebook(t, 4, false);
  EXPECT_EQ("p > 0.10", book.FindWorksheet("Results")->worksheet()->Cell(2, 1).Text());
}

}  // namespace
}  // namespace korund::tools
