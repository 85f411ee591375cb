#include "host/notebook_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "host/test_files.h"

namespace korund::host {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// A notebook with members this program does not know at every level.
const char* kRichNotebook = R"({
  "format": "korund-notebook",
  "version": 1,
  "creator": {"tool": "lab-logger", "build": 7},
  "current": "Data 1",
  "items": [
    {"type": "section", "name": "Section 1", "colour": "blue"},
    {"type": "worksheet", "name": "Data 1", "locked": false,
     "columns": {
       "0": {"cells": ["a", "b"]},
       "1": {"title": "raw 1", "cells": [3.21, "MPA", null, 2950], "unit": "GPa"},
       "56": {"title": "parms", "cells": [null, 2, 0, 1]}
     }},
    {"type": "graph", "name": "Graph 1", "page": {"w": 8.5}},
    {"type": "report", "name": "Report 1", "text": "line 1\r\nline 2"}
  ]
})";

NotebookDocument Parsed(const std::string& text) {
  NotebookDocument doc;
  std::string error;
  EXPECT_TRUE(ParseNotebook(text, "lab.json", &doc, &error)) << error;
  return doc;
}

std::string Saved(const NotebookDocument& doc) {
  std::string text, error;
  EXPECT_TRUE(SaveNotebook(doc, "lab.json", &text, &error)) << error;
  return text;
}

TEST(NotebookFileTest, LoadsItemsColumnsAndCells) {
  NotebookDocument doc = Parsed(kRichNotebook);
  ASSERT_EQ(4u, doc.model.items.size());
  EXPECT_EQ("Data 1", doc.current.value_or(""));
  EXPECT_EQ(kItemSection, doc.model.items[0]->type);
  EXPECT_EQ(kItemOther, doc.model.items[2]->type);
  EXPECT_EQ("graph", ItemTypeWord(doc, *doc.model.items[2]));
  EXPECT_EQ("line 1\r\nline 2", doc.model.items[3]->text);

  NotebookItem* sheet = doc.model.CurrentDataItem();
  ASSERT_NE(nullptr, sheet);
  DataTable* table = sheet->Table();
  EXPECT_EQ(Value(3.21), table->Cell(0, 0));
  EXPECT_EQ(Value("MPA"), table->Cell(0, 1));
  EXPECT_TRUE(table->Cell(0, 2).IsEmpty());
  EXPECT_EQ(Value(2950), table->Cell(0, 3));
  EXPECT_EQ(Value("raw 1"), table->Cell(0, -1));
  EXPECT_EQ(Value("parms"), table->Cell(55, -1));
  EXPECT_EQ(Value("b"), table->Cell(-1, 1));  // key "0" is the row-title column
}

TEST(NotebookFileTest, SavingKeepsUnknownMembersAndItems) {
  NotebookDocument doc = Parsed(kRichNotebook);
  doc.model.CurrentDataItem()->Table()->SetCell(0, 4, Value(7.5));
  doc.model.CurrentDataItem()->Table()->SetTitle(1, "new");
  Json saved = Json::parse(Saved(doc));
  Json original = Json::parse(kRichNotebook);

  EXPECT_EQ(original["creator"], saved["creator"]);
  EXPECT_EQ(original["items"][0], saved["items"][0]);
  EXPECT_EQ(original["items"][2], saved["items"][2]);  // the unknown item, untouched
  EXPECT_EQ(original["items"][3], saved["items"][3]);
  const Json& sheet = saved["items"][1];
  EXPECT_EQ(false, sheet["locked"]);
  EXPECT_EQ("GPa", sheet["columns"]["1"]["unit"]);
  EXPECT_EQ(Json::parse(R"([3.21, "MPA", null, 2950, 7.5])"), sheet["columns"]["1"]["cells"]);
  EXPECT_EQ("new", sheet["columns"]["2"]["title"]);
  EXPECT_FALSE(sheet["columns"]["2"].contains("cells"));
  // Members keep their order: a hand-edited file stays readable.
  EXPECT_EQ("format", saved.begin().key());
  EXPECT_EQ(original["items"][1]["columns"].size() + 1, sheet["columns"].size());
}

TEST(NotebookFileTest, UnchangedDocumentSavesToTheSameText) {
  std::string once = Saved(Parsed(kRichNotebook));
  EXPECT_EQ(once, Saved(Parsed(once)));
  EXPECT_EQ(Json::parse(kRichNotebook), Json::parse(once));
}

TEST(NotebookFileTest, CellsAreNormalisedOnSave) {
  NotebookDocument doc = Parsed(R"({"format": "korund-notebook", "version": 1, "items": [
    {"type": "worksheet", "name": "W", "columns": {"3": {"cells": [true, false, 4.0, "", null]}}}]})");
  DataTable* table = doc.model.items[0]->Table();
  EXPECT_EQ(Value(-1), table->Cell(2, 0));  // booleans are the worksheet's -1 / 0
  EXPECT_EQ(Value(0), table->Cell(2, 1));
  table->SetCell(4, 0, Value(""));           // an empty text is an empty cell
  table->SetCell(4, 1, Value(1e300 * 1e300));  // JSON has no infinity
  Json saved = Json::parse(Saved(doc));
  EXPECT_EQ("[-1,0,4]", saved["items"][0]["columns"]["3"]["cells"].dump());
  EXPECT_FALSE(saved["items"][0]["columns"].contains("5"));
  EXPECT_FALSE(saved.contains("current"));
}

TEST(NotebookFileTest, BadFilesGiveClearErrorsAndLeaveTheDocumentAlone) {
  auto sheet_with = [](const std::string& columns) {
    return R"({"format": "korund-notebook", "version": 1, "items": [
      {"type": "worksheet", "name": "W", "columns": )" + columns + "}]}";
  };
  struct Case {
    std::string text;
    const char* error;
  } cases[] = {
      {"{\"format\": \"korund-notebook\",", "lab.json: not valid JSON: parse error at line 1"},
      {"[1, 2]", "not a korund notebook (the file is not a JSON object)"},
      {R"({"format": "other", "version": 1, "items": []})", "\"format\" must be \"korund-notebook\""},
      {R"({"format": "korund-notebook", "version": 2, "items": []})",
       "notebook version 2 is not supported"},
      {R"({"format": "korund-notebook", "version": 1})", "has no \"items\" list"},
      {R"({"format": "korund-notebook", "version": 1, "current": 3, "items": []})",
       "\"current\" must be a worksheet name"},
      {R"({"format": "korund-notebook", "version": 1, "items": [7]})", "item 1 is not an object"},
      {R"({"format": "korund-notebook", "version": 1, "items": [{"name": "x"}]})",
       "item 1 has no \"type\""},
      {R"({"format": "korund-notebook", "version": 1, "items": [{"type": "worksheet"}]})",
       "item 1 (worksheet) has no \"name\""},
      {sheet_with(R"({"x": {}})"), "item 1 (\"W\"): column key \"x\" is not a column number (0 to 32767)"},
      {sheet_with(R"({"-1": {}})"), "column key \"-1\" is not a column number"},
      {sheet_with(R"({"01": {}})"), "column key \"01\" is not a column number"},
      {sheet_with(R"({"32768": {}})"), "column key \"32768\" is not a column number"},
      {sheet_with(R"({"99999999999": {}})"), "column key \"99999999999\""},
      {sheet_with(R"({"2": [1]})"), "item 1 (\"W\"), column 2 is not an object"},
      {sheet_with(R"({"2": {"title": 5}})"), "column 2: \"title\" must be a string"},
      {sheet_with(R"({"2": {"cells": 5}})"), "column 2: \"cells\" must be a list"},
      {sheet_with(R"({"2": {"cells": [1, {"a": 1}]}})"),
       "column 2, row 2: a cell must be null, a number or a string, not {\"a\":1}"},
      {sheet_with(R"({"2": {"cells": [[1]]}})"), "row 1: a cell must be null"},
      {std::string(300, '[') + std::string(300, ']'), "nested deeper than 200 levels"},
  };
  for (const Case& c : cases) {
    NotebookDocument doc = Parsed(kRichNotebook);
    std::string error;
    EXPECT_FALSE(ParseNotebook(c.text, "lab.json", &doc, &error)) << c.text;
    EXPECT_NE(std::string::npos, error.find(c.error)) << error;
    EXPECT_EQ(0u, error.find("lab.json: ")) << error;
    EXPECT_EQ(4u, doc.model.items.size());
  }
}

TEST(NotebookFileTest, RefusesTooManyRows) {
  std::string cells = "[0";
  for (int64_t r = 1; r <= kMaxRowsPerColumn; ++r) cells += ",0";
  NotebookDocument doc;
  std::string error;
  EXPECT_FALSE(ParseNotebook(R"({"format": "korund-notebook", "version": 1, "items": [
      {"type": "worksheet", "name": "W", "columns": {"1": {"cells": )" + cells + "]}}}]}",
                             "lab.json", &doc, &error));
  EXPECT_EQ("lab.json: item 1 (\"W\"), column 1 has 1000001 rows (the limit is 1000000)", error);
}

TEST(NotebookFileTest, ReadingMissingOrOddFilesFails) {
  TempDir dir;
  NotebookDocument doc;
  std::string error;
  EXPECT_FALSE(LoadNotebookFile(dir.File(""), &doc, nullptr, &error));
  EXPECT_NE(std::string::npos, error.find("not a regular file")) << error;
  WriteFile(dir.File("locked.json"), kRichNotebook);
  ::chmod(dir.File("locked.json").c_str(), 0);
  if (::geteuid() != 0) {  // root reads anything
    EXPECT_FALSE(LoadNotebookFile(dir.File("locked.json"), &doc, nullptr, &error));
    EXPECT_NE(std::string::npos, error.find("Permission denied")) << error;
  }
}

TEST(NotebookFileTest, AtomicWriteReplacesWholeFileAndKeepsPermissions) {
  TempDir dir;
  const std::string path = dir.File("lab.json");
  WriteFile(path, "old");
  ::chmod(path.c_str(), 0640);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "new text", &error)) << error;
  EXPECT_EQ("new text", ReadFile(path));
  struct stat st {};
  ASSERT_EQ(0, ::stat(path.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 0777);
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir.Names());  // no temporary left

  EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/dir.json"), "x", &error));
  EXPECT_NE(std::string::npos, error.find("cannot create a temporary file")) << error;
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir.Names());
}

}  // namespace
}  // namespace korund::host
