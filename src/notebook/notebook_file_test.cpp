#include "notebook/notebook_file.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace korund::notebook {
namespace {

using Json = nlohmann::ordered_json;

// A notebook with members this program does not know at every level.
const char* kRichNotebook = R"({"format": "korund-notebook", "version": 1,
  "creator": {"tool": "lab-logger", "build": 7}, "current": "Data 1", "items": [
    {"type": "section", "name": "Section 1", "colour": "blue"},
    {"type": "worksheet", "name": "Data 1", "locked": false, "columns": {
      "0": {"cells": ["a", "b"]},
      "1": {"title": "raw 1", "label": "Lot 7", "cells": [3.21, "MPA", null, 2950], "unit": "GPa"},
      "56": {"title": "parms", "cells": [null, 2, 0, 1]}}},
    {"type": "graph", "name": "Graph 1", "page": {"w": 8.5}},
    {"type": "report", "name": "Report 1", "text": "line 1\r\nline 2"}]})";

Notebook Parsed(const std::string& text) {
  Notebook doc;
  std::string error;
  EXPECT_TRUE(ParseNotebook(text, "lab.json", &doc, &error)) << error;
  return doc;
}

std::string Saved(const Notebook& doc) {
  std::string text, error;
  EXPECT_TRUE(SerializeNotebook(doc, "lab.json", &text, &error)) << error;
  return text;
}

TEST(NotebookFileTest, LoadsAndSavesKeepingUnknownMembersAndItems) {
  Notebook doc = Parsed(kRichNotebook);
  EXPECT_EQ(ItemType::kOther, doc.item(2).type());
  EXPECT_EQ("graph", doc.item(2).type_word());
  ASSERT_EQ("Data 1", doc.current());
  Worksheet& sheet_model = *doc.FindWorksheet("Data 1")->worksheet();
  EXPECT_EQ(Value(2950), sheet_model.Cell(1, 4));
  EXPECT_EQ("parms", sheet_model.Title(56));
  EXPECT_EQ("Lot 7", sheet_model.FindColumn(1)->label);
  EXPECT_EQ(Value("b"), sheet_model.Cell(0, 2));  // key "0" is the row-title column
  sheet_model.SetCell(1, 5, Value(7.5));
  sheet_model.SetTitle(2, "new");
  Json saved = Json::parse(Saved(doc));
  Json original = Json::parse(kRichNotebook);
  EXPECT_EQ("format", saved.begin().key());  // members keep their order
  EXPECT_EQ(original["creator"], saved["creator"]);
  for (int i : {0, 2, 3}) EXPECT_EQ(original["items"][i], saved["items"][i]);
  const Json& sheet = saved["items"][1];
  EXPECT_EQ(false, sheet["locked"]);
  EXPECT_EQ("GPa", sheet["columns"]["1"]["unit"]);
  EXPECT_EQ(Json::parse(R"([3.21, "MPA", null, 2950, 7.5])"), sheet["columns"]["1"]["cells"]);
  EXPECT_EQ(R"({"title":"new"})", sheet["columns"]["2"].dump());
  EXPECT_EQ(4u, sheet["columns"].size());

  EXPECT_EQ(original, Json::parse(Saved(Parsed(kRichNotebook))));  // unchanged: loses nothing
}

TEST(NotebookFileTest, CellsAreNormalisedOnSave) {
  Notebook doc = Parsed(R"({"format": "korund-notebook", "version": 1, "items": [
    {"type": "worksheet", "name": "W", "columns": {"3": {"cells": [true, false, 4.0, "", null]}}}]})");
  Worksheet& table = *doc.item(0).worksheet();
  EXPECT_EQ(Value(-1), table.Cell(3, 1));  // booleans are the worksheet's -1 / 0
  EXPECT_EQ(Value(0), table.Cell(3, 2));
  table.SetCell(5, 1, Value(""));             // an empty text is an empty cell
  table.SetCell(5, 2, Value(1e300 * 1e300));  // JSON has no infinity
  Json saved = Json::parse(Saved(doc));
  EXPECT_EQ("[-1,0,4]", saved["items"][0]["columns"]["3"]["cells"].dump());
  EXPECT_FALSE(saved["items"][0]["columns"].contains("5"));
  EXPECT_FALSE(saved.contains("current"));
}

TEST(NotebookFileTest, BadFilesGiveClearErrorsAndLeaveTheDocumentAlone) {
  const std::string top = R"({"format": "korund-notebook", "version": 1, )";
  auto sheet_with = [&](const std::string& columns) {
    return top + R"("items": [{"type": "worksheet", "name": "W", "columns": )" + columns + "}]}";
  };
  std::string too_many_rows = "[0";
  for (int64_t r = 1; r <= kMaxRowsPerColumn; ++r) too_many_rows += ",0";
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
      {top + R"("current": 3, "items": []})", "\"current\" must be a worksheet name"},
      {top + R"("items": [7]})", "item 1 is not an object"},
      {top + R"("items": [{"name": "x"}]})", "item 1 has no \"type\""},
      {top + R"("items": [{"type": "worksheet"}]})", "item 1 (worksheet) has no \"name\""},
      {sheet_with(R"({"x": {}})"), "item 1 (\"W\"): column key \"x\" is not a column number (0 to 32767)"},
      {sheet_with(R"({"-1": {}})"), "column key \"-1\" is not a column number"},
      {sheet_with(R"({"01": {}})"), "column key \"01\" is not a column number"},
      {sheet_with(R"({"32768": {}})"), "column key \"32768\" is not a column number"},
      {sheet_with(R"({"99999999999": {}})"), "column key \"99999999999\""},
      {sheet_with(R"({"2": [1]})"), "item 1 (\"W\"), column 2 is not an object"},
      {sheet_with(R"({"2": {"title": 5}})"), "column 2: \"title\" must be a string"},
      {sheet_with(R"({"2": {"label": []}})"), "column 2: \"label\" must be a string"},
      {sheet_with(R"({"2": {"cells": 5}})"), "column 2: \"cells\" must be a list"},
      {sheet_with(R"({"2": {"cells": [1, {"a": 1}]}})"),
       "column 2, row 2: a cell must be null, a number or a string, not {\"a\":1}"},
      {sheet_with(R"({"2": {"cells": [[1]]}})"), "row 1: a cell must be null"},
      {sheet_with(R"({"1": {"cells": )" + too_many_rows + "]}}"),
       "lab.json: item 1 (\"W\"), column 1 has 1000001 rows (the limit is 1000000)"},
      {std::string(300, '[') + std::string(300, ']'), "nested deeper than 200 levels"},
  };
  for (const Case& c : cases) {
    Notebook doc = Parsed(kRichNotebook);
    std::string error;
    EXPECT_FALSE(ParseNotebook(c.text, "lab.json", &doc, &error)) << c.text.substr(0, 200);
    EXPECT_NE(std::string::npos, error.find(c.error)) << error;
    EXPECT_EQ(0u, error.find("lab.json: ")) << error;
    EXPECT_EQ(4u, doc.size());
  }
}

}  // namespace
}  // namespace korund::notebook
