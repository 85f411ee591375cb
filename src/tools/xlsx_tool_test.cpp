// korund-notebook's import and export of workbooks and the notes import
// gives, run through the tool's entry point.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "notebook/csv.h"
#include "notebook/notebook_file.h"
#include "notebook/xlsx.h"
#include "testing/test_files.h"
#include "tools/notebook_tool.h"

namespace korund::tools {
namespace {

using namespace korund::host::testing;

class XlsxToolTest : public ::testing::Test {
 protected:
  // Runs the tool, checks its status and keeps its standard error in err_.
  std::string Run(int status, std::vector<std::string> args) {
    args.insert(args.begin(), "korund-notebook");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    EXPECT_EQ(status, RunNotebookTool(static_cast<int>(argv.size()), argv.data(), out, err))
        << args[1] << ": " << out.str() << err.str();
    err_ = err.str();
    return out.str();
  }
  std::string File(const std::string& name, const std::string& text) {
    WriteFile(dir_.File(name), text);
    return dir_.File(name);
  }
  notebook::Notebook Load(const std::string& path) {
    notebook::Notebook doc;
    std::string error;
    EXPECT_TRUE(notebook::LoadNotebookFile(path, &doc, nullptr, &error)) << error;
    return doc;
  }

  TempDir dir_;
  std::string lab_ = dir_.File("lab.json");
  std::string err_;
};

TEST_F(XlsxToolTest, CsvThroughANotebookAndAWorkbookComesBackBitExact) {
  std::string csv = "Strength,ID,note\r\n";
  const char* numbers[] = {
      "0.30000000000000004", "3.21",     "2950", "-1e-300", "1.7976931348623157e308",
      "123456789.123456789", "4.9e-324", "0.1"};
  const char* texts[] = {"A 1",     "\"x, y\"", "",  "\"two\r\nlines\"",
                         "_x0041_", "\xC3\xA9", "'", " "};
  for (size_t i = 0; i < std::size(numbers); ++i) {
    csv += std::string(numbers[i]) + "," + texts[i] + "," + (i % 2 ? "" : "7") + "\r\n";
  }
  Run(0, {"new", lab_});
  Run(0, {"import", lab_, File("in.csv", csv), "--header"});
  const std::string xlsx = dir_.File("out.xlsx");
  Run(0, {"export", lab_, "--xlsx", xlsx});
  const std::string back = dir_.File("back.json");
  Run(0, {"new", back});
  EXPECT_EQ("Imported 8 rows into columns 1 to 3 of worksheet \"Data 1\".\n",
            Run(0, {"import", back, xlsx, "--sheet", "Data 1", "--header"}));

  notebook::Notebook doc_a = Load(lab_), doc_b = Load(back);
  const notebook::Worksheet& a = *doc_a.FindWorksheet("Data 1")->worksheet();
  const notebook::Worksheet& b = *doc_b.FindWorksheet("Data 1")->worksheet();
  ASSERT_EQ(a.columns().size(), b.columns().size());
  for (const auto& [number, column] : a.columns()) {
    const notebook::Column& other = b.columns().at(number);
    EXPECT_EQ(column.title, other.title);
    EXPECT_EQ(column.label, other.label);
    ASSERT_EQ(column.cells.size(), other.cells.size()) << number;
    for (size_t r = 0; r < column.cells.size(); ++r) {
      const Value& x = column.cells[r];
      const Value& y = other.cells[r];
      ASSERT_EQ(x.kind(), y.kind()) << number << ":" << r;
      if (x.IsNumber()) {
        double u = x.Number(), v = y.Number();
        EXPECT_EQ(0, std::memcmp(&u, &v, sizeof u)) << ToText(x);
      } else if (x.IsText()) {
        EXPECT_EQ(x.Text(), y.Text());
      }
    }
  }
  EXPECT_EQ("", err_);
}

TEST_F(XlsxToolTest, ALabelAnAnalysisRetitledComesBackFromTheWorkbook) {
  WriteFile(lab_, R"({"format": "korund-notebook", "version": 1, "current": "W", "items": [
      {"type": "worksheet", "name": "W", "columns": {
        "1": {"title": "raw 1", "label": "Fibre A", "cells": ["GPA", 3.5]},
        "2": {"title": "raw 2", "cells": [4.5]}}}]})");
  const std::string xlsx = dir_.File("w.xlsx");
  Run(0, {"export", lab_, "--xlsx", xlsx});
  const std::string back = dir_.File("back.json");
  Run(0, {"new", back});
  Run(0, {"import", back, xlsx, "--header"});
  notebook::Notebook doc = Load(back);
  const notebook::Worksheet& sheet = *doc.FindWorksheet("Data 1")->worksheet();
  EXPECT_EQ("raw 1", sheet.Title(1));
  EXPECT_EQ("Fibre A", sheet.FindColumn(1)->label.value_or(""));
  EXPECT_EQ("raw 2", sheet.FindColumn(2)->label.value_or("")) << "no label: the header";
}

TEST_F(XlsxToolTest, ImportSaysWhatItDidOnStandardError) {
  Run(0, {"new", lab_});
  const std::string csv =
      File("lab.csv", "Strength (MPa),ID\n3120.5,A\n2185,2\n\"2185,2\",C\n1.2.3,D\n");
  EXPECT_EQ("Imported 4 rows into columns 1 to 2 of worksheet \"Data 1\".\n",
            Run(0, {"import", lab_, csv, "--header"}));
  // The notes' wording is pinned where the studio's import is compared with this.
  EXPECT_NE(std::string::npos, err_.find("note: " + csv + ": row 5, column 1: \"1.2.3\"")) << err_;
  EXPECT_EQ(
      "row  1               2\n     Strength (MPa)  ID\n---  --------------  --\n"
      "  1  MPA\n  2  3120.5          A\n  3  2185            2\n  4  2185,2          C\n"
      "  5  1.2.3           D\n",
      Run(0, {"show", lab_}));

  const std::string european = File("eu.csv", "Probe;Festigkeit\nA;3,12\nB;2,95\n");
  Run(0, {"import", lab_, european, "--column", "5", "--separator", ";", "--decimal-comma",
          "--unit", "gpa", "--header"});
  EXPECT_EQ("", err_);
  EXPECT_EQ(
      "row  5      6\n     Probe  Festigkeit\n---  -----  ----------\n  1  GPA    GPA\n"
      "  2  A      3.12\n  3  B      2.95\n",
      Run(0, {"show", lab_, "--columns", "5-6"}));
}

TEST_F(XlsxToolTest, ImportsTheCommittedWorkbooksSheet) {
  Run(0, {"new", lab_});
  const std::string file = std::string(KORUND_TEST_DATA) + "/two_sheets.xlsx";
  Run(0, {"import", lab_, file, "--sheet", "Fibres", "--header", "--column", "2"});
  EXPECT_EQ("note: " + file +
                ": cell B2: \"2185,2\" is kept as text; is it a mistyped number?\n"
                "note: " +
                file +
                ": column 1 \"Strength (MPa)\": the unit MPA is put in row 1, above the data, and "
                "the data of every imported column start in row 2\n",
            err_);
  notebook::Notebook doc = Load(lab_);
  const notebook::Worksheet& sheet = *doc.FindWorksheet("Data 1")->worksheet();
  EXPECT_EQ("Fibre B", sheet.FindColumn(3)->label.value_or(""));
  EXPECT_EQ(
      "MPA|3120.5|2500||"
      " line one\r\nline two ",
      ToText(sheet.Cell(2, 1)) + "|" + ToText(sheet.Cell(2, 2)) + "|" + ToText(sheet.Cell(2, 3)) +
          "|" + ToText(sheet.Cell(2, 4)) + "|" + ToText(sheet.Cell(2, 5)));
  EXPECT_TRUE(sheet.Cell(5, 1).IsEmpty()) << "moved down with the unit's column";
  EXPECT_EQ(45000.0, sheet.Cell(5, 2).Number());
}

TEST_F(XlsxToolTest, BadInputLeavesTheNotebookByteForByteUnchanged) {
  Run(0, {"new", lab_});
  Run(0, {"import", lab_, File("a.csv", "1,2\n")});
  const std::string before = ReadFile(lab_);
  std::string xlsx = dir_.File("ok.xlsx");
  Run(0, {"export", lab_, "--xlsx", xlsx});
  const std::string file = std::string(KORUND_TEST_DATA) + "/two_sheets.xlsx";
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{"import", lab_, File("t.xlsx", "1,2\n")},
       dir_.File("t.xlsx") + ": not an .xlsx workbook (not a ZIP file)"},
      {{"import", lab_, file, "--sheet", "Nope"},
       file + ": there is no sheet named \"Nope\" (the sheets are \"Notes\", \"Fibres\")"},
      {{"import", lab_, file}, file + ": no numbers to import"},
      {{"import", lab_, File("w.csv", "a,b\n")}, dir_.File("w.csv") + ": no numbers to import"},
      {{"import", lab_, xlsx, "--unit", "psi"},
       "--unit wants GPA, MPA, KSI, KPSI, S, MIN, HOUR or DAY, not \"psi\""},
      {{"import", lab_, dir_.File("a.csv"), "--sheet", "S"},
       "--sheet is for .xlsx files; " + dir_.File("a.csv") + " is read as CSV"},
      {{"import", lab_, xlsx, "--column", "32767"},
       xlsx + ": 2 columns from column 32767 go beyond column 32767"},
      {{"export", lab_}, "export wants one of --csv FILE and --xlsx FILE"},
  };
  for (const Case& c : cases) {
    Run(1, c.args);
    EXPECT_EQ("korund-notebook: " + c.error + "\n", err_);
  }
  EXPECT_EQ(before, ReadFile(lab_));
  // A notebook a workbook cannot hold leaves the old workbook as it was.
  const std::string old = ReadFile(xlsx);
  Run(0, {"import", lab_, File("far.csv", "5\n"), "--column", "20000"});
  Run(1, {"export", lab_, "--xlsx", xlsx});
  EXPECT_EQ("korund-notebook: " + xlsx +
                ": worksheet \"Data 1\" has column 20000; a workbook sheet holds 16384 columns\n",
            err_);
  EXPECT_EQ(old, ReadFile(xlsx));
  EXPECT_EQ(
      (std::vector<std::string>{"a.csv", "far.csv", "lab.json", "ok.xlsx", "t.xlsx", "w.csv"}),
      dir_.Names());
}

}  // namespace
}  // namespace korund::tools
