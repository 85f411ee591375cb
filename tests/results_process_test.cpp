// Analyses copies of the example notebooks with the built korund, then
// checks that korund-notebook results reports exactly their result columns.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include "notebook/notebook_file.h"
#include "testing/process_run.h"
#include "testing/test_files.h"

namespace {

using korund::host::testing::ReadFile;
using korund::host::testing::TempDir;
using korund::host::testing::WriteFile;
using korund::testing::BuiltProgram;
using korund::testing::Json;

class ResultsProcessTest : public ::testing::Test {
 protected:
  int Shell(const std::string& command) {
    return korund::testing::RunIn(dir_.File(""), command).status;
  }
  // Copies the example, gives the columns the labels asked for, and
  // analyses it in batch mode.
  std::string Analysed(const std::string& example, const std::string& word,
                       const std::map<int, std::string>& labels) {
    korund::notebook::Notebook doc;
    std::string error, text;
    EXPECT_TRUE(korund::notebook::LoadNotebookFile(std::string(KORUND_EXAMPLES) + "/" + example,
                                                   &doc, nullptr, &error))
        << error;
    for (const auto& [column, label] : labels)
      doc.item(1).worksheet()->ColumnAt(column).label = label;
    EXPECT_TRUE(korund::notebook::SerializeNotebook(doc, example, &text, &error)) << error;
    WriteFile(dir_.File(example), text);
    const korund::testing::ProcessRun run = korund::testing::RunIn(
        dir_.File(""), BuiltProgram("korund") + " " + word + " --batch --notebook " + example);
    EXPECT_EQ(0, run.status) << run.err;
    return dir_.File(example);
  }
  Json Results(const std::string& notebook, const std::string& options = "") {
    EXPECT_EQ(0, Shell(BuiltProgram("korund-notebook") + " results '" + notebook +
                       "' --format json --digits 15 " + options));
    return Json::Parse(ReadFile(dir_.File("out.txt")));
  }
  // The worksheet's cell as a number, or null.
  static Json Cell(const Json& doc, int column, int row) {
    const Json cell = korund::testing::CellOf(doc["items"][1], column, row);
    return cell.IsNumber() ? cell : Json();
  }
  static void ExpectSame(const Json& cell, const Json& reported, const std::string& where) {
    if (cell.IsNull()) {
      EXPECT_TRUE(reported.IsNull()) << where;
      return;
    }
    ASSERT_TRUE(reported.IsNumber()) << where;
    const double x = cell.Number();
    EXPECT_NEAR(x, reported.Number(), std::abs(x) * 1e-14) << where;
  }

  TempDir dir_;
};

TEST_F(ResultsProcessTest, WeibullTableIsTheResultColumnsOfTheExample) {
  const std::string nb = Analysed("weibull-demo.json", "weibull", {{2, "Fibre B"}});
  const Json doc = Json::Parse(ReadFile(nb));
  const Json table = Results(nb);
  EXPECT_EQ("weibull", table["kind"]);
  const int rows[] = {1, 2, 4, 10, 12, 13, 14, 15, 16, 17, 20, 21, 25, 26, 30, 31, 35, 34, 38, 37};
  ASSERT_EQ(std::size(rows) + 1 + 6, table["columns"].size()) << "and the six fit checks";
  ASSERT_EQ(3u, table["rows"].size()) << table.Dump();
  const char* names[] = {"Set 1", "Fibre B", "Set 3"};
  for (int n = 1; n <= 3; ++n) {
    const Json& row = table["rows"][n - 1];
    EXPECT_EQ(names[n - 1], row[0]);
    for (size_t i = 0; i < std::size(rows); ++i) {
      ExpectSame(Cell(doc, 20 + n, rows[i]), row[i + 1],
                 "set " + std::to_string(n) + " row " + std::to_string(rows[i]));
    }
    EXPECT_FALSE(row[4].IsNull()) << "the MLE modulus is there";
    EXPECT_EQ("MLE m", table["columns"][4]);
    EXPECT_EQ("MLE m (unbiased)", table["columns"][5]);
  }
}

// The fit checks come from the worksheet's sorted strengths and raw MLE m
// (row 10) and So (row 15).
TEST_F(ResultsProcessTest, WeibullFitChecksFollowTheQuantileAndConfidenceOptions) {
  const std::string nb = Analysed("weibull-demo.json", "weibull", {});
  const Json doc = Json::Parse(ReadFile(nb));
  const Json table = Results(nb, "--quantile 0.1 --quantile 10 --confidence 90");
  const Json& columns = table["columns"];
  const size_t first = columns.size() - 9;
  const char* names[] = {"A-D A\xC2\xB2", "A-D A\xC2\xB2*",          "A-D p",
                         "S(0.1%) (GPa)", "S(0.1%) lower 90% (GPa)", "S(0.1%) upper 90% (GPa)",
                         "S(10%) (GPa)",  "S(10%) lower 90% (GPa)",  "S(10%) upper 90% (GPa)"};
  for (size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(names[i], columns[first + i]);
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    const Json& row = table["rows"][n - 1];
    const std::string band = row[first + 2].Text();  // "p > 0.10", "0.05 < p ≤ 0.10", ...
    EXPECT_TRUE(band.rfind("p ", 0) == 0 || band.rfind("0.0", 0) == 0) << band;
    const double m = Cell(doc, 20 + n, 10).Number(), so = Cell(doc, 20 + n, 15).Number();
    const double s10 = so * std::pow(-std::log(0.9), 1 / m);
    EXPECT_NEAR(row[first + 6].Number(), s10, 1e-13 * s10);
    EXPECT_LT(row[first + 7].Number(), s10);
    EXPECT_GT(row[first + 8].Number(), s10);
  }
  const std::string tool = BuiltProgram("korund-notebook") + " results '" + nb + "' ";
  EXPECT_EQ(1, Shell(tool + "--quantile 100"));
  EXPECT_EQ(1, Shell(tool + "--confidence 0"));
}

TEST_F(ResultsProcessTest, FatigueTablesAreTheResultColumnsOfTheExamples) {
  for (const auto& [example, word, parameter] :
       {std::tuple{"dynamic-demo.json", "dynamic", "nd"}, {"static-demo.json", "static", "ns"}}) {
    SCOPED_TRACE(example);
    const std::string nb = Analysed(example, word, {{32, "Coated"}});
    const Json doc = Json::Parse(ReadFile(nb));
    const Json table = Results(nb);
    EXPECT_EQ(word, table["kind"]);
    EXPECT_EQ(parameter, table["columns"][2]);
    const int rows[] = {1, 2, 3, 4, 12, 13, 5, 7, 9};
    ASSERT_EQ(2u, table["rows"].size()) << table.Dump();
    EXPECT_EQ("Set 1", table["rows"][0][0]);
    EXPECT_EQ("Coated", table["rows"][1][0]);
    for (int s = 1; s <= 2; ++s) {
      const Json& row = table["rows"][s - 1];
      for (size_t i = 0; i < std::size(rows); ++i) {
        ExpectSame(Cell(doc, 30 * s - 29 + 12, rows[i]), row[i + 1],
                   "set " + std::to_string(s) + " row " + std::to_string(rows[i]));
      }
    }
  }
}

TEST_F(ResultsProcessTest, FormatsAndFailures) {
  const std::string nb = Analysed("weibull-demo.json", "weibull", {});
  const std::string tool = BuiltProgram("korund-notebook") + " results '" + nb + "' ";
  EXPECT_EQ(0, Shell(tool + "--format md --glossary --digits 3"));
  const std::string md = ReadFile(dir_.File("out.txt"));
  EXPECT_EQ(0u, md.find("| Set | N | LS m | LS So (GPa) | MLE m | MLE m (unbiased) |")) << md;
  EXPECT_NE(std::string::npos, md.find("\n- IEC m: ")) << md;
  EXPECT_EQ(0, Shell(tool + "--format xlsx --out t.xlsx"));
  EXPECT_EQ("PK", ReadFile(dir_.File("t.xlsx")).substr(0, 2));
  EXPECT_EQ(1, Shell(tool + "--format xlsx"));
  EXPECT_EQ(2, Shell(tool + "--format pdf"));
  EXPECT_EQ(2, Shell(tool + "--digits 0"));
  // A worksheet no analysis has seen.
  WriteFile(dir_.File("raw.json"), ReadFile(std::string(KORUND_EXAMPLES) + "/weibull-demo.json"));
  const korund::testing::ProcessRun run =
      korund::testing::RunIn(dir_.File(""), BuiltProgram("korund-notebook") + " results raw.json");
  EXPECT_EQ(1, run.status);
  EXPECT_NE(std::string::npos, run.err.find("holds no analysis results"));
}

// The paths on which a wrong number reached a report with status 0 and no
// word, as a new user found them.
TEST_F(ResultsProcessTest, NumbersThatMayBeWrongAreSaidOnTheWay) {
  const std::string nb = Analysed("weibull-demo.json", "weibull", {{2, "Lot B"}});
  const std::string tool = BuiltProgram("korund-notebook");
  auto run = [&](const std::string& args) {
    return korund::testing::RunIn(dir_.File(""), tool + " " + args);
  };
  const std::string stale_line = "korund-notebook: worksheet \"Data 1\" changed after its "
                                 "Weibull analysis; run `korund weibull` again\n";

  // The plot's MLE line and the table name the same number "MLE m".
  ASSERT_EQ(0, run("plot weibull-demo.json --out p.json").status);
  const Json plot = Json::Parse(ReadFile(dir_.File("p.json")));
  const Json table = Results(nb);
  EXPECT_EQ("false", table["stale"].Dump());
  EXPECT_EQ("false", plot["stale"].Dump());
  const Json lot_b = table["rows"][1];
  ASSERT_EQ("Lot B", lot_b[0]);
  const std::string head = "Lot B: MLE m = ";
  double legend_m = 0;
  for (size_t i = 0; i < plot["lines"].size(); ++i) {
    const std::string legend = plot["lines"][i]["legend"].Text();
    if (legend.rfind(head, 0) == 0) legend_m = std::stod(legend.substr(head.size()));
  }
  const double raw = lot_b[4].Number(), unbiased = lot_b[5].Number();
  EXPECT_NEAR(raw, legend_m, 0.006);
  EXPECT_GT(std::abs(unbiased - legend_m), 0.1) << "the legend does not show the unbiased m";

  // Lot B's data replaced after the analysis: what is stored is still
  // shown, but not as current.
  korund::notebook::Notebook doc;
  std::string error, text;
  ASSERT_TRUE(korund::notebook::LoadNotebookFile(nb, &doc, nullptr, &error)) << error;
  doc.item(1).worksheet()->SetCell(2, 3, korund::Value(9.5));
  ASSERT_TRUE(korund::notebook::SerializeNotebook(doc, nb, &text, &error)) << error;
  WriteFile(nb, text);
  korund::testing::ProcessRun r = run("results weibull-demo.json --format json");
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(stale_line, r.err);
  EXPECT_NE(std::string::npos, r.out.find("\"stale\": true")) << r.out;
  r = run("plot weibull-demo.json --out p.json");
  EXPECT_EQ(0, r.err.find(stale_line)) << r.err;
  EXPECT_EQ("true", Json::Parse(ReadFile(dir_.File("p.json")))["stale"].Dump());
  EXPECT_EQ(stale_line, run("export weibull-demo.json --csv -").err);
  // A new analysis makes it current again.
  ASSERT_EQ(0, korund::testing::RunIn(dir_.File(""), BuiltProgram("korund") +
                                                       " weibull --batch --notebook weibull-demo.json")
                   .status);
  EXPECT_EQ("", run("results weibull-demo.json").err);

  // A lot in MPa with no unit word analyses as GPa, but not without a word.
  ASSERT_TRUE(korund::notebook::LoadNotebookFile(nb, &doc, nullptr, &error)) << error;
  for (int row = 1; row <= 12; ++row) {
    doc.item(1).worksheet()->SetCell(3, row, korund::Value(3000.0 + 40 * row));
  }
  ASSERT_TRUE(korund::notebook::SerializeNotebook(doc, nb, &text, &error)) << error;
  WriteFile(nb, text);
  r = korund::testing::RunIn(dir_.File(""),
                             BuiltProgram("korund") + " weibull --batch --notebook weibull-demo.json");
  EXPECT_EQ(0, r.status);
  EXPECT_NE(std::string::npos,
            r.err.find("korund: set 3: strengths up to 3480 GPa — if they are in MPa, put MPA "
                       "above them\n"))
      << r.err;
}

}  // namespace
