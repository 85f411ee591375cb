#include "studio/worksheet_model.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "testing/studio_test_support.h"

namespace korund::studio {
namespace {

class WorksheetModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    notebook::Notebook nb = doc_.notebook();
    notebook::Worksheet& ws = *nb.item(1).worksheet();
    ws.SetTitle(1, "raw 1");
    ws.ColumnAt(1).label = "Lot A";
    ws.SetTitle(3, "Lot C");
    ws.ColumnAt(3).label = "Lot C";
    ws.SetCell(0, 1, "A-1");
    ws.SetCell(1, 1, 0.1 + 0.2);
    ws.SetCell(1, 2, "MPA");
    ws.SetCell(2, 3, 1e20);
    doc_.ReplaceNotebook(nb, "fill");
  }
  QString Shown(int row, int column) {
    return model_.data(model_.index(row, column), Qt::DisplayRole).toString();
  }
  Qt::Alignment Align(int row, int column) {
    return model_.data(model_.index(row, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
  }

  Document doc_;
  WorksheetModel model_{doc_};
};

TEST_F(WorksheetModelTest, CellsAndHeadersShowInTheProgramsTextFormNumbersRightTextsLeft) {
  EXPECT_EQ("A-1", Shown(0, 0));
  EXPECT_EQ("0.3", Shown(0, 1));
  EXPECT_EQ("MPA", Shown(1, 1));
  EXPECT_EQ("1E+20", Shown(2, 2));
  EXPECT_FALSE(model_.data(model_.index(0, 2), Qt::DisplayRole).isValid());  // empty
  EXPECT_TRUE(Align(0, 1) & Qt::AlignRight);
  EXPECT_TRUE(Align(1, 1) & Qt::AlignLeft);
  // Headers: column numbers, labels above titles (once when they agree),
  // row numbers.
  const char* headers[] = {"Titles", "1\nLot A\nraw 1", "2", "3\nLot C"};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(headers[c], model_.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
  }
  EXPECT_EQ(1, model_.headerData(0, Qt::Vertical, Qt::DisplayRole).toInt());
}

TEST_F(WorksheetModelTest, TypingStoresNumbersAndTextsAsOneUndoStepEach) {
  const int before = doc_.undo_stack().count();
  ASSERT_TRUE(model_.setData(model_.index(4, 3), " 2.50 ", Qt::EditRole));
  ASSERT_TRUE(model_.setData(model_.index(5, 3), "KSI", Qt::EditRole));
  const notebook::Worksheet& ws = *doc_.notebook().item(1).worksheet();
  EXPECT_TRUE(ws.Cell(3, 5).IsNumber());
  EXPECT_EQ("2.5", Shown(4, 3));
  EXPECT_EQ("KSI", ws.Cell(3, 6).Text());
  EXPECT_EQ(before + 2, doc_.undo_stack().count());
  doc_.undo_stack().undo();
  EXPECT_FALSE(model_.data(model_.index(5, 3), Qt::DisplayRole).isValid());
}

TEST_F(WorksheetModelTest, GridGrowsWhenCellsArePastedBeyondItsEdge) {
  const int rows = model_.rowCount();
  const int columns = model_.columnCount();
  QSignalSpy spy(&model_, &QAbstractItemModel::dataChanged);
  doc_.SetCells(1, columns + 3, rows + 5, {{Value(7.0)}}, "far");
  EXPECT_GE(model_.rowCount(), rows + 5);
  EXPECT_GT(model_.columnCount(), columns + 3);
  EXPECT_EQ(1, spy.count());
  EXPECT_EQ("7", Shown(rows + 4, columns + 3));
}

TEST_F(WorksheetModelTest, TheGridFollowsTheCurrentWorksheet) {
  const int added = doc_.AddWorksheet();
  EXPECT_EQ(added, model_.sheet());
  EXPECT_FALSE(model_.data(model_.index(0, 1), Qt::DisplayRole).isValid());
  doc_.SetCurrent(1);
  EXPECT_EQ("0.3", Shown(0, 1));
}

}  // namespace
}  // namespace korund::studio
