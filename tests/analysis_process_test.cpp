// Runs the built korund in batch mode on small notebooks and checks the
// exit status, the cells written back and the transcript.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>

#include "testing/process_run.h"
#include "testing/test_files.h"

namespace {

using korund::host::testing::ReadFile;
using korund::host::testing::TempDir;
using korund::host::testing::WriteFile;
using korund::testing::Json;
using korund::testing::NotebookText;

// A JSON list of the numbers.
std::string List(const std::vector<double>& numbers) {
  std::string list;
  for (double x : numbers) list += (list.empty() ? "" : ", ") + korund::testing::JsonDoubleText(x);
  return "[" + list + "]";
}

class AnalysisProcessTest : public ::testing::Test {
 protected:
  // Runs korund with the notebook, batch mode and a transcript; returns the
  // exit status.
  int Run(const std::string& args) {
    run_ = korund::testing::RunIn(dir_.File(""),
                                  korund::testing::BuiltProgram("korund") + " " + args +
                                      " --batch --notebook lab.json --transcript t.jsonl");
    return run_.status;
  }
  std::vector<Json> Transcript() const {
    return korund::testing::TranscriptBoxes(ReadFile(dir_.File("t.jsonl")));
  }
  Json Sheet() const { return Json::Parse(ReadFile(notebook_))["items"][1]; }
  // Cell (1-based column and row) of the worksheet as written back.
  Json Cell(int column, int row) const { return korund::testing::CellOf(Sheet(), column, row); }
  std::string Title(int column) const {
    return Sheet()["columns"][std::to_string(column)]["title"].Text();
  }

  TempDir dir_;
  std::string notebook_ = dir_.File("lab.json");
  korund::testing::ProcessRun run_;
};

TEST_F(AnalysisProcessTest, WeibullWritesResultsAndSummary) {
  WriteFile(notebook_,
            NotebookText(R"("1": {"cells": ["set A", 3.1, 3.4, 2.9, "MPA", 3300, 3600]})"));
  ASSERT_EQ(Run("weibull --rank-function 0"), 0) << run_.err;
  EXPECT_EQ(Cell(56, 2), 2);    // the options record: Weibull
  EXPECT_EQ(Cell(56, 4), 0);    // with the rank function asked for
  EXPECT_EQ(Cell(21, 1), 5);    // N: the row-1 label is not a strength
  EXPECT_EQ(Cell(31, 1), 2.9);  // sorted strengths in GPa
  EXPECT_EQ(Cell(31, 5), 3.6);
  // i/(N + 1) for the first of five: ln(ln(1/(1 - 1/6)))
  EXPECT_NEAR(Cell(41, 1).Number(), std::log(std::log(1.2)), 1e-15);
  EXPECT_EQ(Title(21), "set 1");
  const std::vector<Json> t = Transcript();
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t.back()["title"], "FINISHED");
  EXPECT_EQ(t.back()["text"].Text().rfind(
                "Weibull analysis complete: \t\t\r\n\r\nSet 1:\t5 measurements\r\n", 0),
            0u);
  EXPECT_NE(run_.out.find("Set 2:\tempty"), std::string::npos);
}

// A run stopped by an answer, or by a value its dialog refuses, writes
// nothing; the one run that goes on writes.
TEST_F(AnalysisProcessTest, RunsThatEndEarlyLeaveTheNotebookByteForByte) {
  const std::string other = R"("1": {"cells": [3.1, 3.4]}, "184": {"cells": [0, 0]})";
  const std::string check = "weibull --answer 'CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS=&";
  const std::tuple<std::string, std::string, int> cases[] = {
      {other, check + "Stop'", 3},
      {other, "weibull", 3},  // unanswered, a worksheet of another analysis stops a batch run
      {R"("2": {"cells": [3.0, 3.1]}, "3": {"cells": [1, 10]})", "dynamic --ignore-ids '#1'", 1},
      {other, check + "Continue'", 0}};  // row 1 numeric: the default answer goes on
  for (const auto& [columns, args, status] : cases) {
    SCOPED_TRACE(args);
    WriteFile(notebook_, NotebookText(columns));
    std::filesystem::remove(dir_.File("t.jsonl"));
    EXPECT_EQ(Run(args), status) << run_.err;
    EXPECT_EQ(ReadFile(notebook_) == NotebookText(columns), status != 0);
    if (status == 1) {
      EXPECT_EQ(Transcript()[0]["text"].Text().find("Invalid character in ignore"), 0u);
    }
  }
}

TEST_F(AnalysisProcessTest, ARunWithNothingToAnalyseSaysSo) {
  WriteFile(notebook_, NotebookText(R"("1": {"cells": ["Fibre A", "2185,2"]})"));
  EXPECT_EQ(Run("weibull --answer 'CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS=&Continue'"), 0);
  const std::string& err = run_.err;
  EXPECT_NE(err.find("set 1, row 2: \"2185,2\" is neither a number nor a unit word; left out"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("no data set held a usable strength: nothing was analysed"), std::string::npos)
      << err;
}

TEST_F(AnalysisProcessTest, DynamicFatigueFitsLogStrengthOnLogRate) {
  // Strength = 5 * rate^(1/20): slope 0.05, so nd = 19 up to the noise-free fit.
  std::string ids = R"(["id")";
  std::vector<double> str, rate;
  for (double r : {0.01, 0.1, 1.0, 10.0}) {
    for (int k = 0; k < 3; ++k) {
      ids += ", \"s" + std::to_string(k) + "\"";
      str.push_back(5 * std::pow(r, 0.05) * (1 + 0.01 * (k - 1)));
      rate.push_back(r);
    }
  }
  WriteFile(notebook_, NotebookText(R"("1": {"cells": )" + ids + R"(]}, "2": {"cells": ["GPA", )" +
                                    List(str).substr(1) + R"(}, "3": {"cells": [null, )" +
                                    List(rate).substr(1) + "}"));
  ASSERT_EQ(Run("dynamic --mode rate"), 0) << run_.err;
  EXPECT_EQ(Cell(184, 2), 0);
  EXPECT_EQ(Cell(12, 1), "N");
  EXPECT_EQ(Cell(13, 1), 12);
  EXPECT_EQ(Cell(12, 2), "nd");
  EXPECT_NEAR(Cell(13, 2).Number(), 19.0, 1e-6);
  EXPECT_EQ(Cell(10, 4), 3);  // three breaks at the fourth rate
  EXPECT_EQ(Title(2), "raw str 1");
  EXPECT_NE(run_.out.find("Set 1:\t12 measurements at 4 rates"), std::string::npos);
}

TEST_F(AnalysisProcessTest, StaticRunAddsTheReportItsRecordAsksFor) {
  std::vector<double> times, stress;
  for (double s : {2.0, 2.5, 3.0}) {
    for (int k = 1; k <= 3; ++k) {
      times.push_back(std::pow(s, -20.0) * 1e8 * k);
      stress.push_back(s);
    }
  }
  const std::string record = R"([2, 1, 0, null, 0, 0, 1.2, 0, null, "\"2.00\"", 0, 1, -1])";
  WriteFile(notebook_, NotebookText(R"("2": {"cells": )" + List(times) + R"(}, "3": {"cells": )" +
                                        List(stress) + R"(}, "184": {"cells": )" + record + "}",
                                    R"({"type": "section", "name": "Section 2"})"));
  ASSERT_EQ(Run("static"), 0) << run_.err;
  EXPECT_EQ(Cell(12, 2), "ns");
  EXPECT_NEAR(Cell(13, 2).Number(), 20.0, 1e-6);  // log t falls 20 decades per decade
  const Json doc = Json::Parse(ReadFile(notebook_));
  ASSERT_EQ(doc["items"].size(), 4u);
  EXPECT_EQ(doc["items"][2]["type"], "report");  // after the worksheet, in its section
  const std::string text = doc["items"][2]["text"].Text();
  EXPECT_EQ(text.rfind("STATIC FATIGUE ANALYSIS\r\n\r\nDATA SET 1\r\n", 0), 0u) << text;
}

// The worked example of the lifetime help page, run as a user would; a value
// out of its range writes nothing.
TEST_F(AnalysisProcessTest, LifetimeWritesItsOwnWorksheetAndSaysTheAllowedStress) {
  auto design = [](const std::string& m) {
    return "lifetime --n 20 --m " + m +
           " --breaks-per-km 0.5 --length-km 100 --proof-strain 1 "
           "--failure-probability 0.001 --service-stress 0.2";
  };
  WriteFile(notebook_, NotebookText(R"("1": {"cells": [3.1]})"));
  const std::string before = ReadFile(notebook_);
  EXPECT_EQ(Run(design("0")), 1);
  EXPECT_EQ(before, ReadFile(notebook_));
  const std::vector<Json> boxes = Transcript();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ("BAD VALUE", boxes.front()["title"]);

  ASSERT_EQ(Run(design("2")), 0) << run_.err;
  EXPECT_NE(run_.out.find("allowed service stress 0.168 GPa (23.3 % of proof) for F = 0.001 "
                          "over 25 years"),
            std::string::npos)
      << run_.out;
  const korund::testing::ProcessRun table = korund::testing::RunIn(
      dir_.File(""), korund::testing::BuiltProgram("korund-notebook") +
                         " results lab.json --worksheet 'Lifetime 1' --format json");
  ASSERT_EQ(0, table.status) << table.err;
  const Json rows = Json::Parse(table.out)["rows"];
  ASSERT_EQ(7u, rows.size());
  EXPECT_NEAR(0.168, rows[4][1].Number(), 5e-4);   // 25 years: the allowed stress
  EXPECT_NEAR(0.0322, rows[4][3].Number(), 5e-5);  // and F at 0.2 GPa
}

TEST_F(AnalysisProcessTest, QtWithoutADisplayEndsBeforeReadingAnything) {
  // The notebook does not exist: had it been read, the run would say so.
  const korund::testing::ProcessRun run =
      korund::testing::RunIn(dir_.File(""), korund::testing::BuiltProgram("korund") +
                                                " weibull --ui qt --notebook none.json");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("korund: --ui qt needs a display: neither DISPLAY nor WAYLAND_DISPLAY is set\n",
            run.err);
  EXPECT_EQ("", run.out);
}

}  // namespace
