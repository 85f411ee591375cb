#include "host/notebook_tool.h"

#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "host/csv.h"
#include "host/file_host.h"
#include "host/notebook_file.h"
#include "host/test_files.h"

namespace korund::host {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class NotebookToolTest : public ::testing::Test {
 protected:
  Outcome Run(std::vector<std::string> args) {
    args.insert(args.begin(), "korund-notebook");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    int status = RunNotebookTool(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
  }
  // Runs a command that must succeed and returns its output.
  std::string Ok(std::vector<std::string> args) {
    Outcome o = Run(args);
    EXPECT_EQ(0, o.status) << o.err;
    return o.out;
  }

  TempDir dir_;
  std::string lab_ = dir_.File("lab.json");
};

TEST_F(NotebookToolTest, NewMakesOneSectionAndACurrentWorksheet) {
  EXPECT_EQ("Created " + lab_ + " with worksheet \"Data 1\".\n", Ok({"new", lab_}));
  EXPECT_EQ(
      "     #  type       name\n"
      "     1  section    Section 1\n"
      "*    2  worksheet  Data 1\n",
      Ok({"list", lab_}));
  const std::string before = ReadFile(lab_);
  Outcome again = Run({"new", lab_, "--worksheet", "Other"});
  EXPECT_EQ(1, again.status);
  EXPECT_EQ("korund-notebook: " + lab_ + " already exists (use --force to replace it)\n", again.err);
  EXPECT_EQ(before, ReadFile(lab_));
  Ok({"new", lab_, "--force", "--section", "Tests", "--worksheet", "Fibre A"});
  EXPECT_NE(std::string::npos, Ok({"list", lab_}).find("*    2  worksheet  Fibre A\n"));
  EXPECT_EQ(1, Run({"new", dir_.File("x.json"), "--section", "S", "--worksheet", "S"}).status);
}

TEST_F(NotebookToolTest, ImportFillsColumnsAndShowPrintsThem) {
  Ok({"new", lab_});
  WriteFile(dir_.File("a.csv"), "load,unit\n3.21,MPA\n2950,\n");
  EXPECT_EQ("Imported 2 rows into columns 1 to 2 of worksheet \"Data 1\".\n",
            Ok({"import", lab_, dir_.File("a.csv"), "--header"}));
  EXPECT_EQ(
      "row  1     2\n"
      "     load  unit\n"
      "---  ----  ----\n"
      "  1  3.21  MPA\n"
      "  2  2950\n",
      Ok({"show", lab_}));
  NotebookDocument doc;
  std::string error;
  ASSERT_TRUE(LoadNotebookFile(lab_, &doc, nullptr, &error)) << error;
  DataTable* table = doc.model.CurrentDataItem()->Table();
  EXPECT_EQ(Value(2950), table->Cell(0, 1));  // a number, not the text "2950"
  EXPECT_TRUE(table->Cell(1, 1).IsEmpty());

  // A second import replaces those columns' cells; their titles stay.
  WriteFile(dir_.File("b.csv"), "1\n");
  Ok({"import", lab_, dir_.File("b.csv"), "--column", "1"});
  EXPECT_EQ("row  1\n     load\n---  ----\n  1  1\n", Ok({"show", lab_, "--columns", "1"}));
}

TEST_F(NotebookToolTest, ImportCreatesAMissingWorksheetAtTheEnd) {
  Ok({"new", lab_});
  WriteFile(dir_.File("a.csv"), "x;y\n");
  Ok({"import", lab_, dir_.File("a.csv"), "--worksheet", "Data 2", "--separator", ";"});
  EXPECT_NE(std::string::npos, Ok({"list", lab_}).find("     3  worksheet  Data 2\n"));
  EXPECT_EQ("row  1  2\n\n---  -  -\n  1  x  y\n", Ok({"show", lab_, "--worksheet", "Data 2"}));
  EXPECT_EQ("The worksheet \"Data 1\" is empty.\n", Ok({"show", lab_}));
}

TEST_F(NotebookToolTest, ShowCutsLongCellsAndPrintsReports) {
  WriteFile(lab_, R"({"format": "korund-notebook", "version": 1, "current": "W", "items": [
      {"type": "worksheet", "name": "W", "columns": {"1": {"cells": ["two\r\nlines", "abcdefghijklmnopqrstuvwxyz"]}}},
      {"type": "report", "name": "R", "text": "a\r\nb\rc"}]})");
  EXPECT_EQ(
      "row  1\n"
      "\n"
      "---  --------------------\n"
      "  1  two\xE2\x86\xB5lines\n"
      "  2  abcdefghijklmnopqrs~\n",
      Ok({"show", lab_}));
  EXPECT_EQ("a\nb\nc\n", Ok({"show", lab_, "--report", "R"}));
  EXPECT_EQ("a\nb\nc\n", Ok({"show", lab_, "--worksheet", "R"}));
  Outcome missing = Run({"show", lab_, "--report", "W"});
  EXPECT_EQ(1, missing.status);
  EXPECT_EQ("korund-notebook: " + lab_ + ": there is no report named \"W\"\n", missing.err);
}

TEST_F(NotebookToolTest, ExportWritesTitlesAndKeepsColumnPlaces) {
  WriteFile(lab_, R"({"format": "korund-notebook", "version": 1, "current": "W", "items": [
      {"type": "worksheet", "name": "W", "columns": {
        "1": {"title": "a,b", "cells": [0.30000000000000004, null, 1e20]},
        "3": {"cells": ["say \"hi\"", 19]}}}]})");
  Ok({"export", lab_, "--csv", dir_.File("out.csv")});
  EXPECT_EQ("\"a,b\",,\r\n0.3,,\"say \"\"hi\"\"\"\r\n,,19\r\n1E+20,,\r\n",
            ReadFile(dir_.File("out.csv")));
  EXPECT_EQ("\t\r\n\t\"say \"\"hi\"\"\"\r\n\t19\r\n",
            Ok({"export", lab_, "--csv", "-", "--columns", "2-3", "--separator", "tab"}));
}

TEST_F(NotebookToolTest, SelectChangesTheCurrentWorksheetOnly) {
  Ok({"new", lab_});
  WriteFile(dir_.File("a.csv"), "1\n");
  Ok({"import", lab_, dir_.File("a.csv"), "--worksheet", "Data 2"});
  EXPECT_EQ("\"Data 2\" is now the current worksheet of " + lab_ + ".\n",
            Ok({"select", lab_, "Data 2"}));
  EXPECT_NE(std::string::npos, Ok({"list", lab_}).find("*    3  worksheet  Data 2\n"));
  EXPECT_EQ("row  1\n\n---  -\n  1  1\n", Ok({"show", lab_}));
  const std::string before = ReadFile(lab_);
  Outcome bad = Run({"select", lab_, "Section 1"});
  EXPECT_EQ(1, bad.status);
  EXPECT_EQ("korund-notebook: " + lab_ + ": \"Section 1\" is a section, not a worksheet\n", bad.err);
  EXPECT_EQ(before, ReadFile(lab_));
}

TEST_F(NotebookToolTest, FailuresAndUsageErrorsChangeNothing) {
  Ok({"new", lab_});
  const std::string before = ReadFile(lab_);
  WriteFile(dir_.File("bad.csv"), "a,\"open\n");
  Outcome bad_csv = Run({"import", lab_, dir_.File("bad.csv")});
  EXPECT_EQ(1, bad_csv.status);
  EXPECT_EQ("korund-notebook: " + dir_.File("bad.csv") + ": line 1: a quoted field is not closed\n",
            bad_csv.err);
  EXPECT_EQ(1, Run({"import", lab_, dir_.File("none.csv")}).status);
  EXPECT_EQ(1, Run({"show", lab_, "--columns", "5-2"}).status);
  EXPECT_EQ(1, Run({"export", dir_.File("none.json"), "--csv", "-"}).status);
  EXPECT_EQ(2, Run({}).status);
  EXPECT_EQ(2, Run({"show"}).status);
  EXPECT_EQ(2, Run({"import", lab_, "x.csv", "--column", "-3"}).status);
  EXPECT_EQ(2, Run({"frobnicate", lab_}).status);
  Outcome help = Run({"export", "--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("--columns")) << help.out;
  EXPECT_EQ(before, ReadFile(lab_));
  EXPECT_EQ((std::vector<std::string>{"bad.csv", "lab.json"}), dir_.Names());
}

TEST_F(NotebookToolTest, WritingCommandsRefuseANotebookInUse) {
  Ok({"new", lab_});
  FileHost host(lab_);
  std::string error;
  auto run = host.Connect(&error);
  ASSERT_NE(nullptr, run) << error;
  const std::string before = ReadFile(lab_);
  Outcome busy = Run({"select", lab_, "Data 1"});
  EXPECT_EQ(1, busy.status);
  EXPECT_NE(std::string::npos, busy.err.find(lab_ + " is in use by another korund run")) << busy.err;
  EXPECT_EQ(1, Run({"new", lab_, "--force"}).status);
  EXPECT_EQ(0, Run({"show", lab_}).status);  // reading needs no lock
  EXPECT_EQ(before, ReadFile(lab_));
}

// The built program, run as a user would.
TEST_F(NotebookToolTest, ProgramRoundTripsCsvThroughANotebook) {
  const char* build = std::getenv("KORUND_TEST_BINARY_DIR");
  ASSERT_NE(nullptr, build) << "KORUND_TEST_BINARY_DIR is not set";
  const std::string program = std::string(build) + "/bin/korund-notebook";
  const std::string csv =
      "name,\"strength, GPa\",note\r\n"
      "\"fibre \"\"A\"\"\",3.21,\"first line\r\nsecond line\"\r\n"
      "B,2950,\"x,y\"\r\n"
      "C,,\"\"\r\n"
      "MPA,-0.5,\"lf\nonly\"\r\n";
  WriteFile(dir_.File("in.csv"), csv);
  auto run = [&](const std::string& args) {
    const std::string command = "'" + program + "' " + args + " >'" + dir_.File("stdout") +
                                "' 2>'" + dir_.File("stderr") + "'";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  const std::string lab = "'" + lab_ + "'";
  ASSERT_EQ(0, run("new " + lab)) << ReadFile(dir_.File("stderr"));
  ASSERT_EQ(0, run("import " + lab + " '" + dir_.File("in.csv") + "' --header"))
      << ReadFile(dir_.File("stderr"));
  ASSERT_EQ(0, run("show " + lab));
  const std::string shown = ReadFile(dir_.File("stdout"));
  EXPECT_NE(std::string::npos, shown.find("strength, GPa")) << shown;
  EXPECT_NE(std::string::npos, shown.find("fibre \"A\"")) << shown;
  ASSERT_EQ(0, run("export " + lab + " --csv '" + dir_.File("out.csv") + "'"));

  std::vector<CsvRow> in_rows, out_rows;
  std::string error;
  ASSERT_TRUE(ParseCsv(csv, ',', &in_rows, &error)) << error;
  ASSERT_TRUE(ParseCsv(ReadFile(dir_.File("out.csv")), ',', &out_rows, &error)) << error;
  EXPECT_EQ(in_rows, out_rows);
  EXPECT_EQ(2, run("list"));
}

}  // namespace
}  // namespace korund::host
