#include "notebook/notebook_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <random>

#include "testing/json_support.h"

namespace korund::notebook {
namespace {

using testing::IndentedJson;
using testing::JsonAt;

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
  const std::string saved = Saved(doc);
  EXPECT_EQ(0u, saved.find("{\n  \"format\"")) << saved;  // members keep their order
  EXPECT_EQ(JsonAt(kRichNotebook, "/creator"), JsonAt(saved, "/creator"));
  for (const char* i : {"/items/0", "/items/2", "/items/3"}) {
    EXPECT_EQ(JsonAt(kRichNotebook, i), JsonAt(saved, i));
  }
  EXPECT_EQ("false", JsonAt(saved, "/items/1/locked"));
  EXPECT_EQ("\"GPa\"", JsonAt(saved, "/items/1/columns/1/unit"));
  EXPECT_EQ(JsonAt(R"([3.21, "MPA", null, 2950, 7.5])"), JsonAt(saved, "/items/1/columns/1/cells"));
  EXPECT_EQ(R"({"title":"new"})", JsonAt(saved, "/items/1/columns/2"));
  EXPECT_EQ(4u, testing::Json::Parse(saved)["items"][1]["columns"].size());
}

TEST(NotebookFileTest, CellsAreNormalisedOnSave) {
  Notebook doc = Parsed(R"({"format": "korund-notebook", "version": 1, "items": [
    {"type": "worksheet", "name": "W", "columns": {"3": {"cells": [true, false, 4.0, "", null]}}}]})");
  Worksheet& table = *doc.item(0).worksheet();
  EXPECT_EQ(Value(-1), table.Cell(3, 1));  // booleans are the worksheet's -1 / 0
  EXPECT_EQ(Value(0), table.Cell(3, 2));
  table.SetCell(5, 1, Value(""));             // an empty text is an empty cell
  table.SetCell(5, 2, Value(1e300 * 1e300));  // JSON has no infinity
  const std::string saved = Saved(doc);
  EXPECT_EQ("[-1,0,4]", JsonAt(saved, "/items/0/columns/3/cells"));
  EXPECT_EQ("<none>", JsonAt(saved, "/items/0/columns/5"));
  EXPECT_EQ("<none>", JsonAt(saved, "/current"));
}

// Many keys, each once; "k17" given again when dupe is true.
std::string ObjectOfKeys(int count, bool dupe) {
  std::string object = "{";
  for (int i = 0; i < count; ++i) object += "\"k" + std::to_string(i) + "\": " + std::to_string(i) + ", ";
  if (dupe) object += "\"k17\": 0, ";
  return object + "\"end\": 0}";
}

TEST(NotebookFileRoundTripTest, UnchangedNotebooksComeBackByteForByte) {
  const std::string app = R"({"format": "korund-notebook", "version": 1, "app": )";
  std::string many_objects = "[{}";
  for (int i = 0; i < 200000; ++i) many_objects += ",{}";
  const std::string cases[] = {
      kRichNotebook,
      // Numbers and strings of every kind in members this program does not know.
      R"({"format": "korund-notebook", "version": 1,
          "app": {"n": [1E2, -0, 0.5e-10, 18446744073709551615, -9223372036854775808,
                        123456789012345678901234567890, 1.0, 1e-400, 0.30000000000000004],
                  "s": "\u00e9\u0001\/\"\\\ud83d\ude00", "t": true, "f": false, "z": null,
                  "e": {}, "a": [], "deep": [[[{"k": [{}]}]]]},
          "items": []})",
      // The type after the columns; unknown members in columns; an empty column.
      R"({"format": "korund-notebook", "version": 1, "current": "W", "items": [
          {"columns": {"2": {"note": {"by": "me"}, "cells": [1.5, "x"]}, "7": {"title": "t"}},
           "name": "W", "extra": [1, 2], "type": "worksheet"},
          {"type": "report", "name": "R", "text": "a\r\nb", "pages": 2},
          {"type": "plot", "columns": {"bad key": [1]}},
          {"type": "graph", "name": 5, "columns": null},
          {"type": "section", "name": "S", "columns": {"x": 1}}]})",
      R"({"format": "korund-notebook", "version": 1, "items": [
          {"type": "worksheet", "name": "W", "columns": {}}]})",
      // Nesting up to the limit, many small objects, many keys.
      app + std::string(200, '[') + std::string(200, ']') + R"(, "items": []})",
      app + many_objects + R"(], "items": []})",
      app + ObjectOfKeys(5000, false) + R"(, "items": []})",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.substr(0, 200));
    const std::string indented = IndentedJson(text);
    EXPECT_EQ(indented, Saved(Parsed(indented)));
  }
}

// Members this program does not know are written back as the bytes they
// were read as, and number cells nobody changed as their tokens, so that a
// notebook grows only by what the model adds.
TEST(NotebookFileRoundTripTest, WhatWasReadIsWrittenBackAsItStood) {
  const std::string top = R"({"format": "korund-notebook", "version": 1, )";
  const std::string deep = std::string(60, '[') + "0" + std::string(60, ']');
  const std::string sheet = R"("items": [{"type": "worksheet", "name": "W", "columns": {"1": )";
  struct Case {
    std::string text;
    std::vector<std::string> kept;  // each in the written text as it stands
  };
  const Case cases[] = {
      {top + "\"app\":{\"n\" :[1E2,-0, 0.5e-10,\n 18446744073709551615],\t\"s\": \"\\u00e9\\/\"}, "
             R"("items": []})",
       {"\"app\": {\"n\" :[1E2,-0, 0.5e-10,\n 18446744073709551615],\t\"s\": \"\\u00e9\\/\"}"}},
      {top + R"("de\u0065p": )" + deep + R"(, "items": []})", {R"("de\u0065p": )" + deep}},
      {top + sheet + R"({"unit" : [ "GPa" ], "cells": [-0.0, -0, 9007199254740993, 1.0,
          -123456789012345678901234567890, 9007199254740992, 1E2, -0e0, 1e20]}}}]})",
       {R"("unit": [ "GPa" ])", "-0.0,\n", "-0,\n", "9007199254740993,\n", "1,\n",
        "-123456789012345678901234567890,\n", "9007199254740992,\n", "100,\n", "0,\n", "1e+20\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string saved = Saved(Parsed(c.text));
    for (const std::string& kept : c.kept) EXPECT_NE(std::string::npos, saved.find(kept)) << saved;
    EXPECT_EQ(saved, Saved(Parsed(saved)));
  }
  // A token goes when its cell is written, even with the same number.
  Notebook doc = Parsed(cases[2].text);
  Worksheet& w = *doc.item(0).worksheet();
  w.SetCell(1, 1, Value(0.0));
  w.SetCell(1, 3, w.Cell(1, 3));
  const std::string saved = Saved(doc);
  for (const char* gone : {"-0.0", "9007199254740993"})
    EXPECT_EQ(std::string::npos, saved.find(gone));
  for (const char* kept : {"-0,", "-123456789012345678901234567890"}) {
    EXPECT_NE(std::string::npos, saved.find(kept));
  }
  w.ColumnAt(1).tokens.Clear();
  EXPECT_EQ(std::string::npos, Saved(doc).find("-123456789012345678901234567890"));
}

// The writer-free comparison must agree with comparing the written texts,
// including the changes the text does not show (an empty column entry, a
// trailing blank, -0 for 0, "" for an empty cell) and those it does.
TEST(NotebookFileRoundTripTest, SameFileTextAgreesWithTheWrittenTexts) {
  const Value kinds[] = {Value(), Value(""), Value(0.0), Value(-0.0), Value(1.0), Value(1.5),
                         Value(1.5000000000000002), Value("a"), Value("1.5"),
                         Value(std::numeric_limits<double>::infinity()), Value(std::nan(""))};
  std::mt19937 rng(7);
  auto any = [&] { return kinds[rng() % std::size(kinds)]; };
  int same = 0, different = 0;
  // Cells with tokens of their own ("-0", all digits) among them.
  std::string with_tokens = kRichNotebook;
  with_tokens.replace(with_tokens.find("3.21"), 4, "-0.0, -0, 9007199254740993");
  for (int round = 0; round < 3000; ++round) {
    Notebook a = Parsed(with_tokens);
    Worksheet& sheet = *a.FindWorksheet("Data 1")->worksheet();
    for (int k = 0; k < 6; ++k) sheet.SetCell(1 + static_cast<int>(rng() % 4), 1 + rng() % 6, any());
    Notebook b = a;
    Worksheet& other = *b.FindWorksheet("Data 1")->worksheet();
    switch (rng() % 6) {
      case 0: other.SetCell(1 + static_cast<int>(rng() % 5), 1 + rng() % 7, any()); break;
      case 1: other.ColumnAt(static_cast<int32_t>(2 + rng() % 60)); break;
      case 2: other.ColumnAt(1).cells.resize(other.ColumnAt(1).cells.size() + 1 + rng() % 2,
                                              rng() % 2 ? Value("") : Value()); break;
      case 3: other.SetTitle(static_cast<int32_t>(1 + rng() % 3), rng() % 2 ? "raw 1" : ""); break;
      case 4: other.ColumnAt(1).label = rng() % 2 ? std::optional<std::string>("Lot 7")
                                                  : std::nullopt; break;
      case 5: b.set_current(rng() % 2 ? std::optional<std::string>("Data 1") : std::nullopt); break;
    }
    const bool texts_equal = Saved(a) == Saved(b);
    ASSERT_EQ(SameFileText(a, b), texts_equal) << round;
    ASSERT_EQ(SameFileText(b, a), texts_equal) << round;
    ++(texts_equal ? same : different);
  }
  EXPECT_GT(same, 300);
  EXPECT_GT(different, 300);
  // A column read with nothing of its own to write is left out, like none.
  const std::string with_empty = kRichNotebook;
  std::string with_stub = with_empty;
  with_stub.replace(with_stub.find("\"56\":"), 0, "\"7\": {\"cells\": []}, ");
  EXPECT_EQ(Saved(Parsed(with_stub)), Saved(Parsed(with_empty)));
  EXPECT_TRUE(SameFileText(Parsed(with_stub), Parsed(with_empty)));
}

TEST(NotebookFileRoundTripTest, MembersKeepTheirPlaceAndTheModelsMembersAreRewritten) {
  Notebook doc = Parsed(R"({"items": [
      {"columns": {"3": {"cells": [1, true, null, null], "unit": "s"}}, "name": "W",
       "type": "worksheet"}],
    "current": null, "format": "korund-notebook", "version": 1, "tail": 0})");
  Worksheet& sheet = *doc.item(0).worksheet();
  EXPECT_EQ(2u, sheet.FindColumn(3)->cells.size());  // trailing empty cells are not kept
  sheet.SetTitle(3, "new title");
  doc.set_current("W");
  // "items" goes last, "current" keeps its place, a new title is appended
  // to its column's members.
  EXPECT_EQ(IndentedJson(R"({"current": "W", "format": "korund-notebook", "version": 1,
      "tail": 0, "items": [{"columns": {"3": {"cells": [1, -1], "unit": "s",
      "title": "new title"}}, "name": "W", "type": "worksheet"}]})"),
            Saved(doc));
  doc.set_current(std::nullopt);
  EXPECT_EQ(std::string::npos, Saved(doc).find("current"));
}

TEST(NotebookFileRoundTripTest, AByteOrderMarkIsSkipped) {
  Notebook doc = Parsed("\xEF\xBB\xBF" + std::string(kRichNotebook));
  EXPECT_EQ(4u, doc.size());
  EXPECT_EQ(Saved(Parsed(kRichNotebook)), Saved(doc));
}

TEST(NotebookFileRefusalTest, EveryFaultNamesItsPlace) {
  const std::string top = R"({"format": "korund-notebook", "version": 1, )";
  auto items = [&](const std::string& list) { return top + R"("items": [)" + list + "]}"; };
  auto sheet_with = [&](const std::string& columns) {
    return items(R"({"type": "worksheet", "name": "W", "columns": )" + columns + "}");
  };
  const std::string deep = std::string(300, '[') + std::string(300, ']');
  const std::string huge(kMaxStringBytes + 1, 'h');
  const std::string long_name(60, 'N');
  std::string too_many_rows;
  for (int64_t r = 1; r <= kMaxRowsPerColumn; ++r) too_many_rows += ",0";
  const std::pair<std::string, std::string> cases[] = {
      // The file's, the items' and the columns' own faults.
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
      {sheet_with(R"({"1": {"cells": [0)" + too_many_rows + "]}}"),
       "lab.json: item 1 (\"W\"), column 1 has 1000001 rows (the limit is 1000000)"},
      // Numbers outside double range.
      {top + R"("zoom": -1e999, "items": []})",
       "lab.json: the number \"-1e999\" is outside the range of a double"},
      {sheet_with(R"({"3": {"cells": [1, 2, 1e400]}})"),
       "lab.json: item 1 (\"W\"), column 3, row 3: the number \"1e400\" is outside the range"},
      {sheet_with(R"({"3": {"unit": [-1E+999]}})"), "lab.json: item 1 (\"W\"), column 3: the number"},
      {items(R"({"type": "section", "name": "S"}, 1e999)"), "lab.json: item 2: the number"},
      // Duplicate keys at every level.
      {top + R"("version": 1, "items": []})", "lab.json: the member \"version\" appears twice"},
      {items(R"({"type": "section", "name": "S", "name": "T"})"),
       "lab.json: item 1 (\"S\"): the member \"name\" appears twice"},
      {sheet_with(R"({"1": {}, "1": {}})"), "lab.json: item 1 (\"W\"): the member \"1\" appears twice"},
      {sheet_with(R"({"2": {"title": "a", "title": "b"}})"),
       "lab.json: item 1 (\"W\"), column 2: the member \"title\" appears twice"},
      {top + R"("app": {"a": {"b": 1, "b": 2}}, "items": []})", "lab.json: the member \"b\" appears twice"},
      {items(R"({"type": "graph", "name": "G", "data": [{"x": 1, "x": 1}]})"),
       "lab.json: item 1 (\"G\"): the member \"x\" appears twice"},
      {top + R"("app": {"k0": 0, "k1": 0, "k2": 0, "k3": 0, "k4": 0, "k5": 0, "k6": 0, "k7": 0,
          "k8": 0, "k9": 0, "k10": 0, "k11": 0, "k12": 0, "k13": 0, "k14": 0, "k15": 0, "k16": 0,
          "k17": 0, "k18": 0, "k3": 1}, "items": []})",
       "lab.json: the member \"k3\" appears twice"},
      {top + R"("app": )" + ObjectOfKeys(5000, true) + R"(, "items": []})",
       "lab.json: the member \"k17\" appears twice"},
      // Empty files; a byte-order mark alone is empty too.
      {"", "lab.json: not a korund notebook (the file is empty)"},
      {"\xEF\xBB\xBF", "lab.json: not a korund notebook (the file is empty)"},
      {" \n", "lab.json: not valid JSON: parse error at line 2"},
      // Nesting.
      {items(R"({"type": "graph", "name": "G", "data": )" + deep + "}"),
       "lab.json: item 1 (\"G\"): not a korund notebook (nested deeper than 200 levels)"},
      {top + R"("app": )" + std::string(201, '[') + std::string(201, ']') + R"(, "items": []})",
       "lab.json: not a korund notebook (nested deeper than 200 levels)"},
      // Overlong strings, as a value and as a key.
      {sheet_with(R"({"1": {"cells": [")" + huge + R"("]}})"),
       "lab.json: item 1 (\"W\"), column 1, row 1: a text longer than 1048576 bytes"},
      {top + "\"" + huge + R"(": 1, "items": []})", "lab.json: a text longer than 1048576 bytes"},
      // Bad UTF-8 and control characters are shown escaped, the token cut.
      {sheet_with(R"({"1": {"cells": ["bad )" "\xFF" R"("]}})"), "last read: \"\\\"bad \\xff\""},
      {sheet_with(R"({"1": {"cells": [")" + std::string(100, 'a') + "\x01" R"("]}})"),
       "must be escaped to \\u0001; last read: \"…aaaaaaaaa"},
      // Long names are cut in the place.
      {items(R"({"type": "worksheet", "name": ")" + long_name + R"(", "columns": {"x": {}}})"),
       "lab.json: item 1 (\"" + std::string(40, 'N') + "…\"): column key \"x\""},
      // A JSON fault anywhere comes before the notebook's own faults.
      {items(R"(7, {"type": "section", "name": "S"}, )"), "lab.json: item 3: not valid JSON"},
      {R"({"items": [7], "format": "other", "version": 1})",
       "lab.json: not a korund notebook (\"format\" must be"},
      // The item's own faults come before those of its columns.
      {items(R"({"type": "worksheet", "columns": {"x": {}}})"),
       "lab.json: item 1 (worksheet) has no \"name\""},
      {items(R"({"text": 5, "type": "report", "name": "R"})"),
       "lab.json: item 1 (\"R\"): \"text\" must be a string"},
      // The columns come before the type: still read, still checked.
      {items(R"({"name": "W", "columns": {"2": {"cells": [[1]]}}, "type": "worksheet"})"),
       "lab.json: item 1 (\"W\"), column 2, row 1: a cell must be null, a number or a string, not [1]"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text.substr(0, 200));
    Notebook doc = Parsed(kRichNotebook);
    std::string error;
    EXPECT_FALSE(ParseNotebook(text, "lab.json", &doc, &error));
    EXPECT_NE(std::string::npos, error.find(expected)) << error;
    EXPECT_EQ(0u, error.find("lab.json: ")) << error;
    EXPECT_LT(error.size(), 400u) << error;
    for (char ch : error) EXPECT_GE(static_cast<unsigned char>(ch), 0x20u) << error;
    EXPECT_EQ(4u, doc.size());
  }
}

// What reading a text gives: the error (without the place "lab.json: item
// 1 ("W"), column 1, " when it is there), or the cells of its first column
// as written back (compact), or "read".
std::string Outcome(const std::string& text) {
  Notebook doc;
  std::string error;
  const std::string place = "lab.json: item 1 (\"W\"), column 1, ";
  if (!ParseNotebook(text, "lab.json", &doc, &error)) {
    return error.rfind(place, 0) == 0 ? error.substr(place.size()) : error;
  }
  const std::string cells = JsonAt(Saved(doc), "/items/0/columns/1/cells");
  return cells == "<none>" ? "read" : cells;
}

// Numbers, strings, blanks and structure at their edges: what is read and
// where a fault is reported (line, column, what was expected, the token).
TEST(NotebookFileReadTest, JsonEdgesAreReadOrRefusedWithTheirPlace) {
  const std::string top = R"({"format": "korund-notebook", "version": 1, "items": [)";
  auto cells = [&](const std::string& list) {
    return top + R"({"type": "worksheet", "name": "W", "columns": {"1": {"cells": [)" + list +
           "]}}}]}";
  };
  auto fault = [](const std::string& where, int line, int column, const std::string& what) {
    return where + ": not valid JSON: parse error at line " + std::to_string(line) + ", column " +
           std::to_string(column) + ": syntax error while parsing " + what;
  };
  auto row = [&](int r, int column, const std::string& what) {
    return fault("row " + std::to_string(r), 1, column, what);
  };
  const std::string rich = kRichNotebook;
  const std::string utf8 = "value - invalid string: ill-formed UTF-8 byte; last read: ";
  const std::string low_first =
      "value - invalid string: surrogate U+DC00..U+DFFF must follow U+D800..U+DBFF; last read: ";
  const std::string no_low = "value - invalid string: surrogate U+D800..U+DBFF must be followed by "
                             "U+DC00..U+DFFF; last read: ";
  const std::string literal = "value - invalid literal; last read: ";
  const std::string no_value = "value - unexpected end of input; expected '[', '{', or a literal";
  const std::pair<std::string, std::string> cases[] = {
      // Numbers: integers and doubles, range edges.
      {cells("0, -0, -0.0, 1, -1, 1.5, 1E2, 1e-2, 2.5E+3, 0.1, 123456789012345678"),
       "[0,0,-0.0,1,-1,1.5,100,0.01,2500,0.1,123456789012345678]"},
      {cells("18446744073709551615, 18446744073709551616, -9223372036854775808"),
       "[18446744073709551615,18446744073709553000.0,-9223372036854775808]"},
      {cells("-9223372036854775809, 1" + std::string(300, '0') + ", 1" + std::string(400, '0')),
       "row 3: the number \"…" + std::string(40, '0') + "\" is outside the range of a double"},
      {cells("1.7976931348623157e308, 1.7976931348623159e308, 2.2250738585072014e-308"),
       "row 2: the number \"1.7976931348623159e308\" is outside the range of a double"},
      {cells("4.9e-324, 2e-324, 1e-400, -1e-400, 1e-99999, 0.000000000000000000000000001"),
       "[5e-324,0,0,0,0,1e-27]"},
      {cells("179769313486231570" + std::string(291, '0')), "[1.7976931348623157e308]"},
      {cells("0e999, -0.0e400, 1" + std::string(400, '0') + "e-300"), "[0,0,1e100]"},
      {cells("01"), row(2, 119, "array - unexpected number literal; expected ']'")},
      {cells("1."),
       row(1, 120, R"(value - invalid number; expected digit after '.'; last read: "1.]")")},
      {cells(".5"), row(1, 118, literal + R"("\"cells\": [.")")},
      {cells("-"),
       row(1, 119, R"(value - invalid number; expected digit after '-'; last read: "-]")")},
      {cells("1e"), row(1, 120,
                        "value - invalid number; expected '+', '-', or digit after exponent; "
                        R"(last read: "1e]")")},
      {cells("0x10"), row(2, 119, R"(array - invalid literal; last read: "0x")")},
      {cells("NaN"), row(1, 118, literal + R"("\"cells\": [N")")},
      // Strings: escapes, surrogates, UTF-8 edges, control characters.
      {cells(R"("a\"b\\c\/d\b\f\n\r\t", "\u0000", "\u00e9", "\ud83d\ude00")"),
       "[\"a\\\"b\\\\c/d\\b\\f\\n\\r\\t\",\"\\u0000\",\"é\",\"😀\"]"},
      {cells(R"("\udc00")"), row(1, 124, low_first + R"("\"\\udc00")")},
      {cells(R"("\ud800")"), row(1, 125, no_low + R"("\"\\ud800\"")")},
      {cells(R"("\ud800\u0041")"), row(1, 130, no_low + R"("\"\\ud800\\u0041")")},
      {cells(R"("\uDFFF\uD800")"), row(1, 124, low_first + R"("\"\\uDFFF")")},
      {cells(R"("\x")"), row(1, 120,
                             "value - invalid string: forbidden character after backslash; "
                             R"(last read: "\"\\x")")},
      {cells(R"("\u12")"), row(1, 123,
                               R"(value - invalid string: '\u' must be followed by 4 hex )"
                               R"(digits; last read: "\"\\u12\"")")},
      {cells("\"\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""), "[\"é € 😀\"]"},
      {cells("\"\xC0\xAF\""), row(1, 119, utf8 + R"("\"\xc0")")},
      {cells("\"\xED\xA0\x80\""), row(1, 120, utf8 + R"("\"\xed\xa0")")},
      {cells("\"\xF4\x90\x80\x80\""), row(1, 120, utf8 + R"("\"\xf4\x90")")},
      {cells("\"\xE2\x82\""), row(1, 121, utf8 + R"("\"\xe2\x82\"")")},
      {cells("\"a\tb\""), row(1, 120,
                              R"(value - invalid string: control character U+0009 (HT) )"
                              R"(must be escaped to \u0009 or \t; last read: "\"a<U+0009>")")},
      {cells("\"a\x1B\""), row(1, 120,
                               R"(value - invalid string: control character U+001B (ESC) )"
                               R"(must be escaped to \u001B; last read: "\"a<U+001B>")")},
      // A character cut by the end of the text, in a string or a key.
      {"{\n \"[no\xF4\x86\x86\x86\xF4\x86\x86\x86nd[no\xF4\x86",
       fault("lab.json", 2, 21,
             "object key - invalid string: ill-formed UTF-8 byte; last read: "
             "\"\\\"[no􆆆􆆆nd[no\\xf4\\x86\"")},
      {"{\"a\": \"\xF1", fault("lab.json", 1, 9, utf8 + R"("\"\xf1")")},
      {"\"\xC3", fault("lab.json", 1, 3, utf8 + R"("\"\xc3")")},
      // The text around the value: NULs, a byte-order mark, blanks.
      {rich + std::string(1, '\0') + "junk", "read"},
      {rich + " \t\r\n", "read"},
      {rich + " x", fault("lab.json", 9, 74, literal + R"("\"line 1\\r\\nline 2\"}]} x")")},
      {"\xEF\xBB\xBF\xEF\xBB\xBF" + rich,
       fault("lab.json", 1, 4, literal + "\"\xEF\xBB\xBF\\xef\"")},
      {"\xEF\xBB" + rich, fault("lab.json", 1, 3,
                                "value - invalid BOM; must be 0xEF 0xBB 0xBF if "
                                R"(given; last read: "\xef\xbb{")")},
      {std::string(1, '\0') + rich, fault("lab.json", 1, 1, no_value)},
      {"\f" + rich, fault("lab.json", 1, 1, literal + R"("<U+000C>")")},
      // Literals and structure.
      {cells("true, false, null, tru"),
       row(4, 140, literal + R"("\"cells\": [true, false, null, tru]")")},
      {cells("[], {}"), "row 1: a cell must be null, a number or a string, not []"},
      {cells("1,"), row(2, 120, "value - unexpected ']'; expected '[', '{', or a literal")},
      {top + "]}", "read"},
      {top, fault("lab.json: item 1", 1, 55, no_value)},
  };
  for (const auto& [text, outcome] : cases) {
    EXPECT_EQ(outcome, Outcome(text)) << text.substr(0, 120);
  }
}

// A damaged notebook is read whole or refused with its file's name, never
// half-read: what is read writes back and reads again to the same text.
TEST(NotebookFileReadTest, DamagedNotebooksAreReadWholeOrRefused) {
  std::mt19937 rng(8);
  const std::string base = std::string(kRichNotebook);
  const char kBytes[] = "{}[],:\"\\0123456789.-+eEtrufalsn u\xC3\xA9\xED\xFF";
  int read = 0, refused = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    std::string text = base;
    for (int edits = 1 + static_cast<int>(rng() % 3); edits > 0; --edits) {
      const size_t at = rng() % text.size();
      switch (rng() % 3) {
        case 0: text[at] = kBytes[rng() % (sizeof kBytes - 1)]; break;
        case 1: text.erase(at, 1); break;
        case 2: text.insert(at, 1, kBytes[rng() % (sizeof kBytes - 1)]); break;
      }
    }
    SCOPED_TRACE(text);
    Notebook doc = Parsed(kRichNotebook);
    std::string error;
    if (ParseNotebook(text, "lab.json", &doc, &error)) {
      ++read;
      ASSERT_EQ(Saved(doc), Saved(Parsed(Saved(doc))));
    } else {
      ++refused;
      ASSERT_EQ(0u, error.find("lab.json: ")) << error;
      ASSERT_EQ(4u, doc.size());
    }
  }
  EXPECT_GT(read, 100);
  EXPECT_GT(refused, 1000);
}

TEST(NotebookFileWriteTest, RefusesWhatItCouldNotReadBack) {
  Notebook doc;
  Worksheet& sheet = *doc.AddWorksheet("W").worksheet();
  sheet.SetCell(1, 1, Value(std::string(kMaxStringBytes + 1, 's')));
  std::string text, error;
  EXPECT_FALSE(SerializeNotebook(doc, "lab.json", &text, &error));
  EXPECT_EQ("lab.json: worksheet \"W\", column 1: a text longer than 1048576 bytes (the limit is 1 MB)",
            error);

  // Control characters take six bytes each when written: 43 texts of 1 MB
  // make more than the 256 MB a notebook may have.
  Notebook big;
  Worksheet& cells = *big.AddWorksheet("Big").worksheet();
  for (int32_t c = 1; c <= 43; ++c) cells.SetCell(c, 1, Value(std::string(kMaxStringBytes, '\x01')));
  EXPECT_FALSE(SerializeNotebook(big, "lab.json", &text, &error));
  EXPECT_EQ("lab.json: the notebook would be larger than 256 MB (the limit)", error);
}

// Written in pieces, the text is the one SerializeNotebook gives; a fault
// stops the pieces, and a sink that fails stops the writing.
TEST(NotebookFileWriteTest, PiecesMakeTheSameTextAndStopAtAFault) {
  Notebook doc = Parsed(kRichNotebook);
  Worksheet& sheet = *doc.FindWorksheet("Data 1")->worksheet();
  for (int32_t c = 2; c <= 6; ++c) {
    for (int32_t r = 1; r <= 20000; ++r) sheet.SetCell(c, r, Value(r * 1.000001 + c));
  }
  const std::string whole = Saved(doc);
  std::string joined, error;
  int pieces = 0;
  ASSERT_TRUE(WriteNotebookText(doc, "lab.json", [&](std::string_view piece) {
    joined.append(piece);
    ++pieces;
    return true;
  }, &error)) << error;
  EXPECT_EQ(whole, joined);
  EXPECT_GT(pieces, 1);

  // A sink that fails: nothing more is handed on, and its own error stands.
  pieces = 0;
  error = "the disk is full";
  EXPECT_FALSE(WriteNotebookText(doc, "lab.json", [&](std::string_view) {
    ++pieces;
    return false;
  }, &error));
  EXPECT_EQ(1, pieces);
  EXPECT_EQ("the disk is full", error);

  // A fault after the first pieces: the writer's error.
  sheet.SetCell(7, 1, Value(std::string(kMaxStringBytes + 1, 's')));
  EXPECT_FALSE(WriteNotebookText(doc, "lab.json", [](std::string_view) { return true; }, &error));
  EXPECT_EQ("lab.json: worksheet \"Data 1\", column 7: a text longer than 1048576 bytes (the limit "
            "is 1 MB)",
            error);
}

TEST(NotebookFileReadTest, AFifoIsRefusedWithoutWaiting) {
  const std::string path = ::testing::TempDir() + "korund_notebook_fifo";
  ::unlink(path.c_str());
  ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600));
  std::string bytes, error;
  EXPECT_FALSE(ReadWholeFile(path, &bytes, &error));
  EXPECT_EQ(path + ": not a regular file", error);
  ::unlink(path.c_str());
}

}  // namespace
}  // namespace korund::notebook
