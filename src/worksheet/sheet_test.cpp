#include "worksheet/sheet.h"

#include <gtest/gtest.h>

#include "testing/memory_host.h"
#include "testing/scripted_ui.h"
#include "util/terminate.h"

namespace korund::worksheet {
namespace {

using host::MemoryTable;

class SheetTest : public ::testing::Test {
 protected:
  SheetTest() : msg_(ui_), sheet_(ui_, msg_, settings_) {
    host_.notebook.AddSection("Section 1");
    table_ = &host_.Table(host_.notebook.AddWorksheet("Data 1"));
  }

  void Attach() { ASSERT_FALSE(sheet_.spOpenWorksheet(host_, "")); }

  // Column (1-based) as a list of texts, for plain assertions.
  static std::string Show(const ValueArray& a) {
    std::string out;
    for (size_t i = 0; i < a.size(); ++i) {
      if (i) out += "|";
      out += a[i].IsText() ? "'" + a[i].Text() + "'" : ToText(a[i]);
    }
    return out;
  }

  host::MemoryHost host_;
  MemoryTable* table_;
  ui::ScriptedUi ui_;
  dialogs::MessageDialog msg_;
  RunSettings settings_;
  Sheet sheet_;
};

TEST_F(SheetTest, AttachFindsWorksheetAndItsSection) {
  host_.notebook.AddSection("Section 2");
  host_.notebook.AddWorksheet("Data 2");
  host_.notebook.AddReport("Notes", "");
  host_.notebook.set_current("Data 2");
  Attach();
  EXPECT_EQ(settings_.WorksheetName, "Data 2");
  EXPECT_EQ(settings_.SectionName, "Section 2");  // the nearest section, not the first
  EXPECT_EQ(sheet_.NaNText(), "-1.#QNAN");
  EXPECT_TRUE(host_.properties.at(10));
}

TEST_F(SheetTest, WorksheetWithoutSectionTakesItemZeroOrNothing) {
  host::MemoryHost bare;
  bare.notebook.AddReport("Intro", "");
  bare.notebook.AddWorksheet("Only");
  ASSERT_FALSE(sheet_.spOpenWorksheet(bare, ""));
  EXPECT_EQ(settings_.SectionName, "Intro");

  host::MemoryHost first;
  first.notebook.AddWorksheet("Top");
  RunSettings s;
  Sheet other(ui_, msg_, s);
  ASSERT_FALSE(other.spOpenWorksheet(first, ""));
  EXPECT_EQ(s.WorksheetName, "Top");
  EXPECT_EQ(s.SectionName, "");
}

TEST_F(SheetTest, AttachFailureAsksRetryOrCancel) {
  host_.failures_left = 1;
  ui_.Answer("NO WORKSHEET", "Retry");
  Attach();  // the retry reaches the host
  EXPECT_EQ(host_.connects, 2);

  host::MemoryHost down;
  down.running = false;
  EXPECT_TRUE(sheet_.spOpenWorksheet(down, ""));  // Cancel by default
  ASSERT_EQ(ui_.shown.size(), 2u);
  EXPECT_EQ(ui_.shown[1].text,
            "Unable to open worksheet\rMake sure the worksheet window is open in SigmaPlot");
  EXPECT_EQ(ui_.shown[1].flags, 16 + 5);
}

TEST_F(SheetTest, NamedItemIsOpenedFirstAndEveryAttachStartsDirect) {
  table_->Set(99, 0, 1);
  Attach();
  sheet_.spLoadSheet(56, 38);
  host_.notebook.AddWorksheet("Data 2");
  ASSERT_FALSE(sheet_.spOpenWorksheet(host_, "Data 2"));
  EXPECT_EQ(settings_.WorksheetName, "Data 2");
  EXPECT_FALSE(sheet_.Buffered());
  EXPECT_TRUE(sheet_.spOpenWorksheet(host_, "Missing"));
  host_.notebook.set_current("Data 1");
  Attach();
  sheet_.spLoadSheet(56, 38);
  EXPECT_EQ(sheet_.MaxCol(), 100);  // the size is read afresh
}

TEST_F(SheetTest, DirectReadsTrimTrailingEmptiesAndMissingValues) {
  Attach();
  table_->Set(0, 0, 1);
  table_->Set(0, 2, 3);
  table_->Set(0, 3, "-1.#QNAN");
  table_->Set(1, 1, 0);  // a zero is not empty
  ValueArray data;
  EXPECT_EQ(sheet_.spGetCol(data, 1, 1), 3);
  EXPECT_EQ(Show(data), "3|1|''|3");
  EXPECT_EQ(sheet_.spGetCol(data, 2, 1), 2);
  EXPECT_EQ(sheet_.spGetCol(data, 5, 1), 0);
  EXPECT_EQ(Show(data), "0");
  EXPECT_EQ(sheet_.spGetCell(1, 4), Value(""));
  const int before = table_->cell_reads;
  EXPECT_EQ(sheet_.spGetCell(30, 1), Value(""));  // beyond the used size: no host call
  EXPECT_EQ(table_->cell_reads, before);
}

TEST_F(SheetTest, NumericColumnKeepsNumbersAndNumericTexts) {
  Attach();
  table_->Set(0, 0, "word");
  table_->Set(0, 1, 2);
  table_->Set(0, 3, "4.5");
  ValueArray data;
  EXPECT_EQ(sheet_.spGetNumCol(data, 1), 2);
  EXPECT_EQ(Show(data), "2|2|'4.5'");
  table_->Set(1, 0, "x");
  EXPECT_EQ(sheet_.spGetNumCol(data, 2), 0);
  EXPECT_EQ(Show(data), "0|'x'");  // with no numbers the array keeps its length
}

TEST_F(SheetTest, NegativeIndicesTerminate) {
  Attach();
  try {
    sheet_.spGetCell(-1, 1);
    FAIL();
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(e.reason(), ExitReason::kFatal);
  }
  EXPECT_EQ(ui_.shown.back().text, "ERROR\rZero row or column in spGetCell\rPROGRAM TERMINATED");
  EXPECT_THROW(sheet_.spPutCell(1, 1, -1), TerminateProgramError);
  EXPECT_EQ(ui_.shown.back().text, "ERROR\rZero row or column in spPutCell\rPROGRAM TERMINATED");
}

TEST_F(SheetTest, LoadSheetHonoursMinimumSizeAndReadsTitles) {
  table_->Set(9, 4, 5);
  table_->SetTitle(2, "raw 3");
  table_->Set(3, -1, "-1.#QNAN");
  table_->Set(0, 1, "-1.#QNAN");
  Attach();
  sheet_.spLoadSheet(184, 25);
  EXPECT_EQ(sheet_.MaxCol(), 184);
  EXPECT_EQ(sheet_.MaxRow(), 25);
  EXPECT_TRUE(sheet_.Buffered());
  EXPECT_EQ(sheet_.BufferedTitle(3), "raw 3");
  EXPECT_EQ(sheet_.BufferedTitle(4), "");
  EXPECT_EQ(sheet_.spGetCell(1, 2), Value(""));
  EXPECT_EQ(sheet_.spGetCell(10, 5), Value(5));
}

TEST_F(SheetTest, BufferedWritesReachTheHostOnlyOnSave) {
  table_->SetTitle(0, "old");
  table_->SetTitle(1, "keep");
  Attach();
  sheet_.spLoadSheet(56, 38);
  const int title_writes = table_->title_writes;
  sheet_.spPutCell(2.5, 3, 4);
  sheet_.spPutTitle(Value("new"), 1);
  sheet_.spPutTitle(Value("keep"), 2);  // unchanged: not written
  ValueArray col{Value(3), Value("a"), Value(1), Value("b")};
  sheet_.spPutCol(col, 5, -1, false);
  sheet_.spPutCell(Value("Title"), 0, 1);  // the row-title column goes straight to the host
  EXPECT_EQ(table_->Get(-1, 0), Value("Title"));
  EXPECT_EQ(table_->Get(2, 3), Value());
  sheet_.spSaveSheet();
  EXPECT_FALSE(sheet_.Buffered());
  EXPECT_EQ(table_->Get(2, 3), Value(2.5));
  EXPECT_EQ(table_->Get(4, 1), Value(1));
  EXPECT_EQ(table_->Title(0), "new");
  EXPECT_EQ(table_->title_writes, title_writes + 1);
  EXPECT_EQ(table_->titles_written.back(), 0);
}

TEST_F(SheetTest, PutOutsideTheBufferIsUnrecoverable) {
  Attach();
  sheet_.spLoadSheet(56, 38);
  EXPECT_THROW(sheet_.spPutCell(1, 57, 1), TerminateProgramError);
  ASSERT_FALSE(ui_.shown.empty());
  EXPECT_EQ(ui_.shown.back().title, "UNRECOVERABLE ERROR");
  EXPECT_EQ(ui_.shown.back().buttons, std::vector<std::string>{"Exit program"});
  EXPECT_EQ(ui_.shown.back().text,
            "Unexpected error in module SPW.\r\rPlease send this SigmaPlot file and the following "
            "information to Quellmark:\r\rError SPW001 in spPutCell\rSubscript out of range (9)");
  EXPECT_THROW(sheet_.spPutCell(1, 1, 0), TerminateProgramError);  // row 0 is outside too
  sheet_.spSaveSheet();
  EXPECT_EQ(table_->writes, 56);  // one write per column of the buffer, nothing else
}

TEST_F(SheetTest, PutColWithTitleNeedsACount) {
  Attach();
  ValueArray col{Value("title"), Value(1)};
  EXPECT_THROW(sheet_.spPutCol(col, 1, -1, true), TerminateProgramError);
  EXPECT_EQ(ui_.shown.back().text,
            "Error in spPutCol - must specify count if title is being added");
  EXPECT_EQ(ui_.shown.back().title, "KORUND 2.00");
  sheet_.spPutCol(col, 1, 1, true);  // direct mode: one block and the title
  EXPECT_EQ(table_->Get(0, 0), Value(1));
  EXPECT_EQ(table_->Title(0), "title");
}

TEST_F(SheetTest, ClearColsTouchesOnlyTheFirstTitle) {
  table_->Set(0, 0, 1);
  table_->Set(1, 3, 2);
  table_->SetTitle(0, "a");
  table_->SetTitle(1, "b");
  Attach();
  sheet_.spLoadSheet(10, 10);
  sheet_.spClearCols(1, 2, false, "");
  EXPECT_EQ(sheet_.BufferedTitle(1), "a");
  sheet_.spClearCols(1, 2, true, "");
  EXPECT_EQ(sheet_.BufferedTitle(1), "");
  EXPECT_EQ(sheet_.BufferedTitle(2), "b");
  ValueArray data;
  EXPECT_EQ(sheet_.spGetCol(data, 2, 1), 0);
  sheet_.spSaveSheet();
  EXPECT_EQ(table_->Get(1, 3), Value());
}

TEST_F(SheetTest, ReportGoesAfterTheWorksheetInItsSection) {
  host_.notebook.AddSection("Section 2");
  Attach();
  ASSERT_FALSE(sheet_.spAddReport(""));
  EXPECT_EQ(sheet_.ReportName(), "Report 1");
  EXPECT_EQ(host_.notebook.item(2).name(), "Report 1");
  sheet_.SetReportText("text");
  EXPECT_EQ(host_.notebook.item(2).text(), "text");

  ASSERT_FALSE(sheet_.spAddReport("Fatigue"));
  EXPECT_EQ(sheet_.ReportName(), "Fatigue");
  ASSERT_FALSE(sheet_.spAddReport("Fatigue"));  // a taken name keeps the default
  EXPECT_EQ(sheet_.ReportName(), "Report 2");
}

TEST_F(SheetTest, ReportOutsideTheSectionFails) {
  Attach();
  settings_.WorksheetName = "not in the notebook";
  EXPECT_TRUE(sheet_.spAddReport(""));
}

TEST_F(SheetTest, ReleaseTellsTheHostAndPassesOnAFailedWriteBack) {
  Attach();
  std::string error;
  EXPECT_TRUE(sheet_.Release(&error));
  EXPECT_FALSE(host_.properties.at(21));
  EXPECT_EQ(host_.releases, 1);

  host_.release_fails = true;
  Attach();
  EXPECT_FALSE(sheet_.Release(&error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace korund::worksheet
