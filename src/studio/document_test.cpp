#include "studio/document.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "host/file_lock.h"
#include "notebook/notebook_file.h"
#include "testing/studio_test_support.h"

namespace korund::studio {
namespace {

constexpr const char* kSmall = R"({
  "format": "korund-notebook", "version": 1, "current": "Data 1",
  "extra": {"kept": true},
  "items": [
    {"type": "section", "name": "Section 1"},
    {"type": "worksheet", "name": "Data 1",
     "columns": {"0": {"cells": ["a", "b", "c"]},
                 "1": {"title": "raw 1", "cells": [1, 2, 3]},
                 "2": {"cells": ["MPA", null, 3000]}}},
    {"type": "report", "name": "Report 1", "text": "line 1\rline 2"}
  ]
})";

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.filePath("nb.json").toStdString();
    WriteFile(path_, kSmall);
    std::string error;
    ASSERT_TRUE(doc_.Open(path_, &error)) << error;
    sheet_ = doc_.current();
    ASSERT_EQ(1, sheet_);
  }
  std::string Cells() { return SheetText(*doc_.notebook().item(sheet_).worksheet()); }

  QTemporaryDir dir_;
  std::string path_;
  Document doc_;
  int sheet_ = -1;
};

TEST_F(DocumentTest, CellEditsAndPastesUndoAndRedoStepByStep) {
  const std::string original = Cells();
  doc_.SetCells(sheet_, 1, 2, {{Value(20.5)}}, "edit");
  doc_.SetCells(sheet_, 2, 4, {{Value(1.0), Value("x")}, {Value(), Value(2.0)}}, "paste");
  EXPECT_EQ("0 [] a b c\n1 [raw 1] 1 20.5 3\n2 [] MPA  3000 1\n3 []    x 2\n", Cells());
  EXPECT_TRUE(doc_.modified());
  doc_.undo_stack().undo();
  EXPECT_EQ("0 [] a b c\n1 [raw 1] 1 20.5 3\n2 [] MPA  3000\n", Cells());
  doc_.undo_stack().undo();
  EXPECT_EQ(original, Cells());
  EXPECT_FALSE(doc_.modified());
  doc_.undo_stack().redo();
  doc_.undo_stack().redo();
  EXPECT_EQ("0 [] a b c\n1 [raw 1] 1 20.5 3\n2 [] MPA  3000 1\n3 []    x 2\n", Cells());
}

TEST_F(DocumentTest, AnEditThatChangesNothingIsNoStep) {
  doc_.SetCells(sheet_, 1, 1, {{Value(1.0)}}, "same");
  doc_.SetCells(sheet_, 2, 2, {{Value()}}, "same");  // an empty text in an empty cell
  EXPECT_EQ(0, doc_.undo_stack().count());
}

// Clearing whole columns stops at the used rows; rows are inserted and
// deleted across every column, titles included.
TEST_F(DocumentTest, ClearingColumnsAndInsertingAndDeletingRowsUndoStepByStep) {
  doc_.ClearCells(sheet_, 1, 2, 2, 1'000'000);
  EXPECT_EQ("0 [] a b c\n1 [raw 1] 1\n2 [] MPA\n", Cells());
  doc_.undo_stack().undo();
  doc_.InsertRows(sheet_, 2, 2);
  EXPECT_EQ("0 [] a   b c\n1 [raw 1] 1   2 3\n2 [] MPA    3000\n", Cells());
  doc_.undo_stack().undo();
  doc_.RemoveRows(sheet_, 1, 2);
  EXPECT_EQ("0 [] c\n1 [raw 1] 3\n2 [] 3000\n", Cells());
  doc_.undo_stack().undo();
  EXPECT_EQ("0 [] a b c\n1 [raw 1] 1 2 3\n2 [] MPA  3000\n", Cells());
}

TEST_F(DocumentTest, RenameAndAddKeepNamesDistinctAndCarryTheCurrentWorksheet) {
  EXPECT_FALSE(doc_.RenameItem(sheet_, "Report 1"));
  EXPECT_FALSE(doc_.RenameItem(sheet_, ""));
  EXPECT_TRUE(doc_.RenameItem(sheet_, "Fibre A"));
  EXPECT_EQ("Fibre A", doc_.notebook().current().value_or(""));
  EXPECT_EQ(sheet_, doc_.current());
  doc_.undo_stack().undo();
  EXPECT_EQ("Data 1", doc_.notebook().item(sheet_).name());
  // An added worksheet takes a free name and becomes current.
  const int added = doc_.AddWorksheet();
  EXPECT_EQ("Data 2", doc_.notebook().item(added).name());
  EXPECT_EQ(added, doc_.current());
  doc_.undo_stack().undo();
  EXPECT_EQ(3u, doc_.notebook().size());
  EXPECT_EQ(sheet_, doc_.current());
}

TEST_F(DocumentTest, SavedNotebookReopensWithItsEditsAndUnknownMembers) {
  doc_.SetCells(sheet_, 3, 1, {{Value(4.5)}}, "edit");
  std::string error;
  ASSERT_TRUE(doc_.Save("", nullptr, &error)) << error;
  EXPECT_FALSE(doc_.modified());
  const std::string text = ReadFile(path_);
  EXPECT_NE(std::string::npos, text.find("\"kept\": true"));
  Document again;
  doc_.NewNotebook();  // lets go of the file
  ASSERT_TRUE(again.Open(path_, &error)) << error;
  EXPECT_EQ("0 [] a b c\n1 [raw 1] 1 2 3\n2 [] MPA  3000\n3 [] 4.5\n",
            SheetText(*again.notebook().item(1).worksheet()));
}

// Another file under the name counts as a change even with the same bytes
// (the window's test changes the bytes in place).
TEST_F(DocumentTest, ANotebookReplacedOnDiskIsNotOverwrittenUnlessConfirmed) {
  doc_.SetCells(sheet_, 3, 1, {{Value(4.5)}}, "edit");
  const std::string copy = path_ + ".copy";
  WriteFile(copy, kSmall);
  std::filesystem::rename(copy, path_);
  int asked = 0;
  std::string error = "unset";
  EXPECT_FALSE(doc_.Save(
      "", [&](const std::string&) { return ++asked, false; }, &error));
  EXPECT_EQ(1, asked);
  EXPECT_EQ("", error);
  EXPECT_EQ(kSmall, ReadFile(path_));
  EXPECT_TRUE(doc_.modified());
  EXPECT_TRUE(doc_.Save(
      "", [&](const std::string&) { return ++asked, true; }, &error));
  EXPECT_NE(std::string::npos, ReadFile(path_).find("4.5"));
  // Once saved, the file is ours again: no question next time.
  EXPECT_TRUE(doc_.Save(
      "", [&](const std::string&) { return ++asked, false; }, &error));
  EXPECT_EQ(2, asked);
}

TEST_F(DocumentTest, TheOpenNotebookStaysLockedAndALockedOneDoesNotOpen) {
  host::FileLock other;
  std::string error;
  EXPECT_FALSE(other.Lock(path_, &error));
  EXPECT_TRUE(doc_.Open(path_, &error)) << error;  // not kept out by its own lock
  const std::string second = dir_.filePath("second.json").toStdString();
  WriteFile(second, kSmall);
  ASSERT_TRUE(other.Lock(second, &error)) << error;
  Document doc2;
  EXPECT_FALSE(doc2.Open(second, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ("", doc2.path());
  // Saving elsewhere moves the lock to the new file.
  ASSERT_TRUE(doc_.Save(dir_.filePath("third.json").toStdString(), nullptr, &error)) << error;
  EXPECT_TRUE(other.Lock(path_, &error)) << error;
}

// As on the command line, a notebook that could not be saved back does not
// open either.
TEST_F(DocumentTest, AnUnreadableOrReadOnlyNotebookOpensNothingAndSaysWhy) {
  const std::string bad = dir_.filePath("bad.json").toStdString();
  WriteFile(bad, "{ not json");
  const std::string read_only = dir_.filePath("read-only.json").toStdString();
  WriteFile(read_only, kSmall);
  std::filesystem::permissions(read_only, std::filesystem::perms(0444));
  doc_.SetCells(sheet_, 3, 1, {{Value(4.5)}}, "edit");
  for (const std::string& file : {bad, read_only, dir_.filePath("missing.json").toStdString()}) {
    std::string error;
    EXPECT_FALSE(doc_.Open(file, &error));
    EXPECT_EQ(0u, error.find(file)) << error;
    EXPECT_EQ(path_, doc_.path());
    EXPECT_TRUE(doc_.modified());  // the open notebook and its edits stay
  }
  std::string error;
  EXPECT_FALSE(doc_.Open(read_only, &error));
  EXPECT_EQ(read_only + ": the file is read-only; nothing was changed", error);
}

}  // namespace
}  // namespace korund::studio
