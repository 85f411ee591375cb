#include "notebook/notebook.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace korund::notebook {
namespace {

TEST(WorksheetTest, CellsTitlesAndUsedSize) {
  Worksheet sheet;
  sheet.SetCell(3, 4, Value(2.5));
  sheet.SetCell(3, 9, Value());  // an empty value past the end stores nothing
  EXPECT_EQ(4u, sheet.FindColumn(3)->cells.size());
  sheet.SetCell(2, 6, Value(""));  // an empty text is kept but is no used cell
  sheet.SetCell(0, 8, Value("row title"));
  EXPECT_EQ(Value(2.5), sheet.Cell(3, 4));
  EXPECT_EQ(Value(), sheet.Cell(3, 5));
  EXPECT_EQ(Value(), sheet.Cell(40, 1));
  int32_t columns = 0, rows = 0;
  sheet.UsedSize(&columns, &rows);
  EXPECT_EQ(3, columns);
  EXPECT_EQ(4, rows);
  EXPECT_EQ(0, sheet.UsedRows(2));
  sheet.SetCell(3, 4, Value());  // clearing the last cell shortens the column
  EXPECT_TRUE(sheet.FindColumn(3)->cells.empty());
  EXPECT_EQ("", sheet.Title(3));
  sheet.SetTitle(3, "raw");
  EXPECT_EQ("raw", sheet.Title(3));
  EXPECT_EQ(14, sheet.CellCount());  // 0 + 6 + 8 cells stored
}

// A block of cells set at once, copied or moved in, leaves the column as
// setting them one by one does: growing only to the last value that is not
// empty, clearing and shortening, rows before the first skipped.
TEST(WorksheetTest, BlockWritesMatchCellByCellWrites) {
  std::mt19937 rng(15);
  const Value kinds[] = {Value(), Value(), Value(""), Value(1.5), Value(-2.0), Value("x")};
  for (int trial = 0; trial < 3000; ++trial) {
    Worksheet block, moved, single;
    for (int step = 0; step < 4; ++step) {
      // Row 1 often: there a block may replace the whole column.
      const int32_t first_row = rng() % 3 == 0 ? 1 : static_cast<int32_t>(rng() % 12) - 3;
      std::vector<Value> values(rng() % 8);
      for (Value& v : values) v = kinds[rng() % std::size(kinds)];
      block.SetCells(2, first_row, values);
      moved.SetCells(2, first_row, std::vector<Value>(values));
      for (size_t i = 0; i < values.size(); ++i) {
        single.SetCell(2, first_row + static_cast<int32_t>(i), values[i]);
      }
      const std::vector<Value> none;
      const std::vector<Value>& want = single.FindColumn(2) ? single.FindColumn(2)->cells : none;
      ASSERT_EQ(block.FindColumn(2) != nullptr, moved.FindColumn(2) != nullptr) << trial;
      for (const Worksheet* sheet : {&block, &moved}) {
        const std::vector<Value>& got = sheet->FindColumn(2) ? sheet->FindColumn(2)->cells : none;
        ASSERT_EQ(want.size(), got.size()) << trial;
        for (size_t r = 0; r < want.size(); ++r) {
          ASSERT_EQ(want[r].kind(), got[r].kind()) << trial << " " << r;
          ASSERT_EQ(want[r], got[r]) << trial << " " << r;
        }
      }
    }
  }
}

TEST(NotebookTest, ItemsFindInsertCopyAndChooseWorksheet) {
  Notebook nb;
  nb.AddSection("S");
  nb.AddWorksheet("W").worksheet()->SetCell(1, 1, Value(1));
  nb.Insert(1, std::make_unique<Item>(ItemType::kOther, "G", "graph"));
  nb.AddReport("R", "text");
  EXPECT_EQ("graph", nb.item(1).type_word());
  EXPECT_EQ(nullptr, nb.FindWorksheet("R"));
  EXPECT_EQ(&nb.item(2), nb.FindWorksheet("W"));

  Notebook copy = nb;  // deep: the copy's cells are its own
  copy.FindWorksheet("W")->worksheet()->SetCell(1, 1, Value(2));
  EXPECT_EQ(Value(1), nb.FindWorksheet("W")->worksheet()->Cell(1, 1));
  copy.Remove(0);
  EXPECT_EQ(4u, nb.size());
  EXPECT_EQ(3u, copy.size());

  std::string error;
  EXPECT_EQ(nullptr, ChooseWorksheet(nb, "", "lab.json", &error));
  // Each refusal names the worksheets there are.
  const std::string list = "; its worksheets: \"W\"";
  EXPECT_EQ("lab.json: no worksheet is current in the notebook (name one with --worksheet)" + list,
            error);
  EXPECT_EQ(nullptr, ChooseWorksheet(nb, "R", "lab.json", &error));
  EXPECT_EQ("lab.json: \"R\" is a report, not a worksheet" + list, error);
  nb.set_current("Gone");
  EXPECT_EQ(nullptr, ChooseWorksheet(nb, "", "lab.json", &error));
  EXPECT_EQ("lab.json: the current worksheet \"Gone\" does not exist" + list, error);
  for (int i = 0; i < 11; ++i) nb.AddWorksheet("S" + std::to_string(i));
  EXPECT_EQ(nullptr, ChooseWorksheet(nb, "Data1", "lab.json", &error));
  EXPECT_NE(std::string::npos, error.find("\"S8\" and 2 more")) << error;
  EXPECT_EQ("it has no worksheet", WorksheetList(Notebook()));
  nb.set_current("W");
  EXPECT_EQ(&nb.item(2), ChooseWorksheet(nb, "", "lab.json", &error));
}

}  // namespace
}  // namespace korund::notebook
