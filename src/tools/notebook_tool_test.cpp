#include "tools/notebook_tool.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <filesystem>
#include <sstream>

#include "host/file_host.h"
#include "notebook/csv.h"
#include "notebook/notebook_file.h"
#include "notebook/xlsx.h"
#include "testing/test_files.h"

namespace korund::tools {
namespace {

using namespace korund::host::testing;
using host::FileHost;
using notebook::CsvRow;
using notebook::ParseCsv;

class NotebookToolTest : public ::testing::Test {
 protected:
  // Runs the tool and checks its exit status; returns its output (and, when
  // it fails, its error text) and keeps its error text in err_.
  std::string Run(int status, std::vector<std::string> args) {
    args.insert(args.begin(), "korund-notebook");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    EXPECT_EQ(status, RunNotebookTool(static_cast<int>(argv.size()), argv.data(), out, err))
        << args[1] << ": " << out.str() << err.str();
    err_ = err.str();
    return status == 0 ? out.str() : out.str() + err_;
  }
  std::string File(const std::string& name, const std::string& text) {
    WriteFile(dir_.File(name), text);
    return dir_.File(name);
  }
  std::string Csv(const std::string& text) { return File("in.csv", text); }
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

TEST_F(NotebookToolTest, NewMakesOneSectionAndACurrentWorksheet) {
  EXPECT_EQ("Created " + lab_ + " with worksheet \"Data 1\".\n", Run(0, {"new", lab_}));
  EXPECT_EQ("     #  type       name\n     1  section    Section 1\n*    2  worksheet  Data 1\n",
            Run(0, {"list", lab_}));
  Run(0, {"new", lab_, "--force", "--section", "Tests", "--worksheet", "Fibre A"});
  EXPECT_NE(std::string::npos, Run(0, {"list", lab_}).find("*    2  worksheet  Fibre A\n"));
}

TEST_F(NotebookToolTest, ImportFillsWorksheetsThatShowPrintsAndSelectPicks) {
  Run(0, {"new", lab_});
  EXPECT_EQ("The worksheet \"Data 1\" is empty.\n", Run(0, {"show", lab_}));
  EXPECT_EQ("Imported 2 rows into columns 1 to 2 of worksheet \"Data 1\".\n",
            Run(0, {"import", lab_, Csv("load,unit\n3.21,MPA\n2950,\n"), "--header"}));
  EXPECT_EQ("row  1     2\n     load  unit\n---  ----  ----\n  1  3.21  MPA\n  2  2950\n",
            Run(0, {"show", lab_}));
  EXPECT_EQ(std::string::npos, ReadFile(lab_).find("\"2950\"")) << "stored as a number";
  // A second import replaces those columns' cells; their titles stay.
  Run(0, {"import", lab_, Csv("1\n"), "--column", "1"});
  EXPECT_EQ("row  1\n     load\n---  ----\n  1  1\n", Run(0, {"show", lab_, "--columns", "1"}));

  // A missing worksheet is made at the end.
  Run(0, {"import", lab_, Csv("x;y\n1;2\n"), "--worksheet", "Data 2", "--new-worksheet",
          "--separator", ";"});
  EXPECT_EQ("\"Data 2\" is now the current worksheet of " + lab_ + ".\n",
            Run(0, {"select", lab_, "Data 2"}));
  EXPECT_NE(std::string::npos, Run(0, {"list", lab_}).find("*    3  worksheet  Data 2\n"));
  EXPECT_EQ("row  1  2\n\n---  -  -\n  1  x  y\n  2  1  2\n", Run(0, {"show", lab_}));
  const std::string before = ReadFile(lab_);
  EXPECT_EQ("korund-notebook: " + lab_ +
                ": \"Section 1\" is a section, not a worksheet; its worksheets: \"Data 1\", \"Data "
                "2\"\n",
            Run(1, {"select", lab_, "Section 1"}));
  EXPECT_EQ(before, ReadFile(lab_));
}

TEST_F(NotebookToolTest, ShowAndExportPrintCellsAndReports) {
  WriteFile(lab_, R"({"format": "korund-notebook", "version": 1, "current": "W", "items": [
      {"type": "worksheet", "name": "W", "columns": {
        "1": {"title": "a,b", "cells": [0.30000000000000004, null, 1e20]},
        "3": {"title": "x,y", "cells": ["say \"hi\"", 19, " pad"]}}},
      {"type": "worksheet", "name": "Long",
       "columns": {"1": {"cells": ["two\r\nlines", "abcdefghijklmnopqrstuvwxyz"]}}},
      {"type": "report", "name": "R", "text": "a\r\nb\rc"}]})");
  EXPECT_EQ("row  1\n\n---  --------------------\n  1  two\xE2\x86\xB5lines\n"
            "  2  abcdefghijklmnopqrs~\n",
            Run(0, {"show", lab_, "--worksheet", "Long"}));
  EXPECT_EQ("a\nb\nc\n", Run(0, {"show", lab_, "--report", "R"}));
  EXPECT_EQ("korund-notebook: " + lab_ + ": there is no report named \"W\"\n",
            Run(1, {"show", lab_, "--report", "W"}));

  Run(0, {"export", lab_, "--csv", dir_.File("out.csv")});
  EXPECT_EQ("\"a,b\",,\"x,y\"\r\n0.3,,\"say \"\"hi\"\"\"\r\n,,19\r\n1E+20,,\" pad\"\r\n",
            ReadFile(dir_.File("out.csv")));
  EXPECT_EQ("\tx,y\r\n\t\"say \"\"hi\"\"\"\r\n\t19\r\n\t\" pad\"\r\n",
            Run(0, {"export", lab_, "--csv", "-", "--columns", "2-3", "--separator", "tab"}));
}

TEST_F(NotebookToolTest, FailuresUsageErrorsAndANotebookInUseChangeNothing) {
  Run(0, {"new", lab_});
  const std::string before = ReadFile(lab_);
  EXPECT_EQ("korund-notebook: " + lab_ + " already exists (use --force to replace it)\n",
            Run(1, {"new", lab_, "--worksheet", "Other"}));
  const std::pair<int, std::vector<std::string>> cases[] = {
      {1, {"import", lab_, dir_.File("none.csv")}}, {1, {"show", lab_, "--columns", "5-2"}},
      {1, {"export", dir_.File("none.json"), "--csv", "-"}}, {1, {"show", dir_.File("")}},
      {1, {"new", dir_.File("x.json"), "--section", "S", "--worksheet", "S"}},
      {2, {}}, {2, {"show"}}, {2, {"import", lab_, "x.csv", "--column", "-3"}},
      {2, {"frobnicate", lab_}}};
  for (const auto& [status, args] : cases) Run(status, args);
  EXPECT_NE(std::string::npos, Run(0, {"export", "--help"}).find("--columns"));
  // An export over the notebook, directly or through a link, would lose it.
  std::filesystem::create_symlink(lab_, dir_.File("link.csv"));
  for (const std::string& out : {lab_, dir_.File("link.csv"), dir_.File("./lab.json")}) {
    EXPECT_NE(std::string::npos, Run(1, {"export", lab_, "--csv", out}).find("is the notebook"));
  }
  std::filesystem::remove(dir_.File("link.csv"));
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir_.Names());

  std::string error;
  auto run = FileHost(lab_).Connect(&error);  // a korund run holds the notebook
  ASSERT_NE(nullptr, run) << error;
  EXPECT_NE(std::string::npos,
            Run(1, {"select", lab_, "Data 1"}).find(lab_ + " is in use by " +
                                                     program_invocation_short_name + " (process "));
  Run(1, {"new", lab_, "--force"});
  Run(0, {"show", lab_});  // reading needs no lock
  run.reset();
  EXPECT_EQ(before, ReadFile(lab_));
}

// A wide range or a far column costs what is stored: show leaves out the
// columns that hold nothing, export keeps them as empty fields (a column
// keeps its place) and refuses, before writing, a CSV text import would not
// read.
TEST_F(NotebookToolTest, WideRangesShowStoredColumnsAndExportRefusesATextTooLarge) {
  std::string far = "null";
  for (int r = 2; r < 10000; ++r) far += ",null";
  WriteFile(lab_, R"({"format": "korund-notebook", "version": 1, "current": "W", "items": [
      {"type": "worksheet", "name": "W", "columns": {
        "1": {"title": "a", "cells": [1, 2]}, "3": {}, "4": {"cells": [null, "x"]}}},
      {"type": "worksheet", "name": "Far", "columns": {
        "1": {"cells": [5]}, "32767": {"cells": [)" +
                      far + R"(, 7]}}}]})");
  EXPECT_EQ("row  1  4\n     a\n---  -  -\n  1  1\n  2  2  x\n",
            Run(0, {"show", lab_, "--columns", "1-32767"}));
  EXPECT_EQ("The worksheet \"W\" is empty in columns 2-3.\n",
            Run(0, {"show", lab_, "--columns", "2-3"}));
  EXPECT_EQ("a,,,,\r\n1,,,,\r\n2,,,x,\r\n",
            Run(0, {"export", lab_, "--csv", "-", "--columns", "1-5"}));

  // 10,001 lines of 32,767 separators: about 328 MB.
  const std::string out = dir_.File("far.csv");
  WriteFile(out, "old");
  EXPECT_EQ("korund-notebook: " + out +
                ": the CSV text would be larger than 256 MB, more than "
                "import reads; nothing was written (choose fewer columns or rows with --columns)\n",
            Run(1, {"export", lab_, "--worksheet", "Far", "--csv", out}));
  EXPECT_EQ("old", ReadFile(out));
  Run(0, {"export", lab_, "--worksheet", "Far", "--csv", out, "--columns", "32767"});
  std::string lines = "\r\n";
  for (int r = 1; r < 10000; ++r) lines += "\r\n";
  EXPECT_EQ(lines + "7\r\n", ReadFile(out));
  EXPECT_EQ((std::vector<std::string>{"far.csv", "lab.json"}), dir_.Names());
}

TEST_F(NotebookToolTest, CsvRoundTripsThroughANotebook) {
  const std::string csv =
      "name,\"strength, GPa\",note\r\n"
      "\"fibre \"\"A\"\"\",3.21,\"first line\r\nsecond line\"\r\n"
      "B,2950,\"x,y\"\r\n"
      "C,,\"\"\r\n"
      "MPA,-0.5,\"lf\nonly\"\r\n";
  Run(0, {"new", lab_});
  Run(0, {"import", lab_, Csv(csv), "--header"});
  Run(0, {"export", lab_, "--csv", dir_.File("out.csv")});
  std::vector<CsvRow> in_rows, out_rows;
  std::string error;
  ASSERT_TRUE(ParseCsv(csv, ',', &in_rows, &error)) << error;
  ASSERT_TRUE(ParseCsv(ReadFile(dir_.File("out.csv")), ',', &out_rows, &error)) << error;
  EXPECT_EQ(in_rows, out_rows);
}

TEST_F(NotebookToolTest, CsvThroughANotebookAndAWorkbookComesBackBitExact) {
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

  // The notebook writer gives each number its shortest exact digits: same
  // text, same bits.
  EXPECT_EQ(ReadFile(lab_), ReadFile(back));
  EXPECT_EQ("", err_);
}

TEST_F(NotebookToolTest, ALabelAnAnalysisRetitledComesBackFromTheWorkbook) {
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

// The notes' wording: the studio's import test, which compares both imports.
TEST_F(NotebookToolTest, ImportTakesTheSeparatorDecimalCommaAndUnitOptions) {
  Run(0, {"new", lab_});
  const std::string european = File("eu.csv", "Probe;Festigkeit\nA;3,12\nB;2,95\n");
  Run(0, {"import", lab_, european, "--column", "5", "--separator", ";", "--decimal-comma",
          "--unit", "gpa", "--header"});
  EXPECT_EQ("", err_);
  EXPECT_EQ(
      "row  5      6\n     Probe  Festigkeit\n---  -----  ----------\n  1  GPA    GPA\n"
      "  2  A      3.12\n  3  B      2.95\n",
      Run(0, {"show", lab_, "--columns", "5-6"}));
}

// Lab files as they come: each import into a fresh notebook, then the
// worksheet as show prints it and the notes.
TEST_F(NotebookToolTest, ImportTakesChosenColumnsAndSaysWhatItMadeOfHeadersAndCommas) {
  const struct {
    std::string csv;
    std::vector<std::string> options;
    std::string shown;
    std::string notes;
  } cases[] = {
      {"ID;Strength\nA1;3.1\nA2;2.9\n",
       {"--header", "--separator", ";", "--columns", "2"},
       "row  1\n     Strength\n---  --------\n  1  3.1\n  2  2.9\n",
       ""},
      {"Lot C (MPa),t/min\n3120,2\n",
       {"--header", "--column", "3"},
       "row  3      4\n     Lot C  t\n---  -----  ---\n  1  MPA    MIN\n  2  3120   2\n",
       "column 1 \"Lot C (MPa)\" is titled \"Lot C\"; the unit MPA is put in row 1, above the "
       "data, "
       "and the data of every imported column start in row 2\n"
       "column 2 \"t/min\" is titled \"t\"; the unit MIN is put in row 1, above the data, and the "
       "data of every imported column start in row 2\n"},
      {"2210,43\n2305,1\n",
       {},
       "row  1     2\n\n---  ----  --\n  1  2210  43\n  2  2305  1\n",
       "every row is a whole number and up to three digits, such as \"2210,43\", read as two "
       "columns; if each row is one number with a decimal comma, import with --separator ';' "
       "--decimal-comma\n"},
      {"2210,43\n2305,1\n",
       {"--separator", ";", "--decimal-comma"},
       "row  1\n\n---  -------\n  1  2210.43\n  2  2305.1\n",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.csv);
    Run(0, {"new", lab_, "--force"});
    std::vector<std::string> args = {"import", lab_, Csv(c.csv)};
    args.insert(args.end(), c.options.begin(), c.options.end());
    Run(0, args);
    std::string notes = err_;
    for (size_t at; (at = notes.find("note: " + Csv(c.csv) + ": ")) != std::string::npos;) {
      notes.erase(at, Csv(c.csv).size() + 8);
    }
    EXPECT_EQ(c.notes, notes);
    EXPECT_EQ(c.shown, Run(0, {"show", lab_}));
  }
  Run(0, {"import", lab_, Csv("Lot C (MPa)\n3120\n"), "--header"});
  EXPECT_EQ("Lot C", Load(lab_).FindWorksheet("Data 1")->worksheet()->FindColumn(1)->label);
}

// set changes one cell and says what it held; the worksheet then shows it.
TEST_F(NotebookToolTest, SetChangesOneCellAndSaysWhatItHeld) {
  Run(0, {"new", lab_});
  Run(0, {"import", lab_, Csv("2210\n"), "--worksheet", "Lot D", "--new-worksheet"});
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"B2", "2305.1"}, "cell B2 (column 2, row 2): (empty) → 2305.1"},
      {{"b2", "-1E-3"}, "cell B2 (column 2, row 2): 2305.1 → -0.001"},
      {{"2:2", "MPA"}, "cell B2 (column 2, row 2): -0.001 → \"MPA\""},
      {{"A1", "2210,43"}, "cell A1 (column 1, row 1): 2210 → \"2210,43\""},
      {{"1:1", ""}, "cell A1 (column 1, row 1): \"2210,43\" → (empty)"},
      {{"0:3", "third"}, "cell 0:3 (row titles, row 3): (empty) → \"third\""},
      {{"AA1", "5"}, "cell AA1 (column 27, row 1): (empty) → 5"},
  };
  for (const auto& [args, said] : cases) {
    EXPECT_EQ("Worksheet \"Lot D\", " + said + "\n",
              Run(0, {"set", lab_, args[0], args[1], "--worksheet", "Lot D"}));
  }
  EXPECT_EQ("row  2    27\n\n---  ---  --\n  1       5\n  2  MPA\n",
            Run(0, {"show", lab_, "--worksheet", "Lot D"}));
  Run(0, {"set", lab_, "C1", "2210,43"});
  EXPECT_EQ(
      "note: \"2210,43\" is stored as text; is it a mistyped number? (the decimal point is "
      "'.')\n",
      err_);
  EXPECT_EQ("row  3\n\n---  -------\n  1  2210,43\n", Run(0, {"show", lab_}));
}

TEST_F(NotebookToolTest, BadInputLeavesTheNotebookByteForByteUnchanged) {
  Run(0, {"new", lab_});
  Run(0, {"import", lab_, File("a.csv", "1,2.5\n")});
  const std::string before = ReadFile(lab_);
  std::string xlsx = dir_.File("ok.xlsx");
  Run(0, {"export", lab_, "--xlsx", xlsx});
  const std::string file = std::string(KORUND_TEST_DATA) + "/two_sheets.xlsx";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
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
      // Decimal commas read as a separator would shift the numbers.
      {{"import", lab_, File("lot_d.csv", "Lot D\n2210,43\n2305,1\n"), "--header"},
       dir_.File("lot_d.csv") +
           ": line 2: 2 fields, more than the 1 of line 1; are the commas in \"2210,43\" "
           "decimal commas? Then import with --separator ';' --decimal-comma"},
      {{"import", lab_, dir_.File("a.csv"), "--worksheet", "Data1"},
       "worksheet \"Data1\" is not in " + lab_ +
           "; its worksheets: \"Data 1\" (--new-worksheet adds it)"},
      {{"import", lab_, dir_.File("a.csv"), "--columns", "2,3"},
       dir_.File("a.csv") + ": there is no column 3 (the file has 2 columns)"},
      {{"set", lab_, "B9", "1", "--worksheet", "Data1"},
       "worksheet \"Data1\" is not in " + lab_ + "; its worksheets: \"Data 1\""},
      {{"set", lab_, "B 9", "1"},
       "a cell is column letters and a row (B9) or column:row (2:9), not \"B 9\""},
      {{"set", lab_, "32768:1", "1"},
       "cell \"32768:1\" is beyond the worksheet: columns 0 to 32767, rows 1 to 1000000"},
      {{"set", lab_, "A1000001", "1"},
       "cell \"A1000001\" is beyond the worksheet: columns 0 to 32767, rows 1 to 1000000"},
  };
  for (const auto& [args, error] : cases) {
    Run(1, args);
    EXPECT_EQ("korund-notebook: " + error + "\n", err_);
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
  EXPECT_EQ((std::vector<std::string>{"a.csv", "far.csv", "lab.json", "lot_d.csv", "ok.xlsx",
                                      "t.xlsx", "w.csv"}),
            dir_.Names());
}

}  // namespace
}  // namespace korund::tools
