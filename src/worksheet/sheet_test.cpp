#include "worksheet/sheet.h"

#include <gtest/gtest.h>

#include "testing/test_notebook.h"
#include "util/terminate.h"

namespace korund::worksheet {
namespace {

class SheetTest : public ::testing::Test, public TestNotebook {
 protected:
  void Attach() { ASSERT_FALSE(sheet.spOpenWorksheet(host, "")); }

  // Column (1-based) as a list of texts, for plain assertions.
  static std::string Show(const ValueArray& a) {
    std::string out;
    for (size_t i = 0; i < a.size(); ++i) {
      if (i) out += "|";
      out += a[i].IsText() ? "'" + a[i].Text() + "'" : ToText(a[i]);
    }
    return out;
  }
};

TEST_F(SheetTest, AttachFindsWorksheetAndItsSectionOrItemZeroOrNothing) {
  host.notebook.AddSection("Section 2");
  host.notebook.AddWorksheet("Data 2");
  host.notebook.AddReport("Notes", "");
  host.notebook.set_current("Data 2");
  Attach();
  EXPECT_EQ(settings.WorksheetName, "Data 2");
  EXPECT_EQ(settings.SectionName, "Section 2");  // the nearest section, not the first
  EXPECT_TRUE(host.properties.at(10));
  // Without a section before it, item 0 or nothing.
  host::MemoryHost bare;
  bare.notebook.AddReport("Intro", "");
  bare.notebook.AddWorksheet("Only");
  ASSERT_FALSE(sheet.spOpenWorksheet(bare, ""));
  EXPECT_EQ(settings.SectionName, "Intro");

  host::MemoryHost first;
  first.notebook.AddWorksheet("Top");
  RunSettings s;
  Sheet other(ui, msg, s);
  ASSERT_FALSE(other.spOpenWorksheet(first, ""));
  EXPECT_EQ(s.WorksheetName, "Top");
  EXPECT_EQ(s.SectionName, "");
}

TEST_F(SheetTest, AttachFailureAsksRetryOrCancel) {
  host.failures_left = 1;
  ui.Answer("NO WORKSHEET", "Retry");
  Attach();  // the retry reaches the host
  EXPECT_EQ(host.connects, 2);

  host::MemoryHost down;
  down.running = false;
  EXPECT_TRUE(sheet.spOpenWorksheet(down, ""));  // Cancel by default
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[1].text,
            "Unable to open worksheet\rMake sure the worksheet window is open in SigmaPlot");
  EXPECT_EQ(ui.shown[1].flags, 16 + 5);
}

TEST_F(SheetTest, NamedItemIsOpenedFirstAndEveryAttachStartsDirect) {
  table->Set(99, 0, 1);
  Attach();
  sheet.spLoadSheet(56, 38);
  host.notebook.AddWorksheet("Data 2");
  ASSERT_FALSE(sheet.spOpenWorksheet(host, "Data 2"));
  EXPECT_EQ(settings.WorksheetName, "Data 2");
  EXPECT_FALSE(sheet.TEST_Buffered());
  EXPECT_TRUE(sheet.spOpenWorksheet(host, "Missing"));
  host.notebook.set_current("Data 1");
  Attach();
  sheet.spLoadSheet(56, 38);
  EXPECT_EQ(sheet.TEST_MaxCol(), 100);  // the size is read afresh
}

TEST_F(SheetTest, DirectReadsTrimTrailingEmptiesAndMissingValues) {
  Attach();
  table->Set(0, 0, 1);
  table->Set(0, 2, 3);
  table->Set(0, 3, "-1.#QNAN");
  table->Set(1, 1, 0);  // a zero is not empty
  ValueArray data;
  EXPECT_EQ(sheet.spGetCol(data, 1, 1), 3);
  EXPECT_EQ(Show(data), "3|1|''|3");
  EXPECT_EQ(sheet.spGetCol(data, 2, 1), 2);
  EXPECT_EQ(sheet.spGetCol(data, 5, 1), 0);
  EXPECT_EQ(Show(data), "0");
  EXPECT_EQ(sheet.spGetCell(1, 4), Value(""));
  const int before = table->cell_reads;
  EXPECT_EQ(sheet.spGetCell(30, 1), Value(""));  // beyond the used size: no host call
  EXPECT_EQ(table->cell_reads, before);
}

TEST_F(SheetTest, NumericColumnKeepsNumbersAndNumericTexts) {
  Attach();
  table->Set(0, 0, "word");
  table->Set(0, 1, 2);
  table->Set(0, 3, "4.5");
  ValueArray data;
  EXPECT_EQ(sheet.spGetNumCol(data, 1), 2);
  EXPECT_EQ(Show(data), "2|2|'4.5'");
  table->Set(1, 0, "x");
  EXPECT_EQ(sheet.spGetNumCol(data, 2), 0);
  EXPECT_EQ(Show(data), "0|'x'");  // with no numbers the array keeps its length
}

TEST_F(SheetTest, LoadSheetHonoursMinimumSizeAndReadsTitles) {
  table->Set(9, 4, 5);
  table->SetTitle(2, "raw 3");
  table->Set(3, -1, "-1.#QNAN");
  table->Set(0, 1, "-1.#QNAN");
  Attach();
  sheet.spLoadSheet(184, 25);
  EXPECT_EQ(sheet.TEST_MaxCol(), 184);
  EXPECT_EQ(sheet.TEST_MaxRow(), 25);
  EXPECT_TRUE(sheet.TEST_Buffered());
  EXPECT_EQ(sheet.TEST_BufferedTitle(3), "raw 3");
  EXPECT_EQ(sheet.TEST_BufferedTitle(4), "");
  EXPECT_EQ(sheet.spGetCell(1, 2), Value(""));
  EXPECT_EQ(sheet.spGetCell(10, 5), Value(5));
}

TEST_F(SheetTest, BufferedWritesReachTheHostOnlyOnSave) {
  table->SetTitle(0, "old");
  table->SetTitle(1, "keep");
  Attach();
  sheet.spLoadSheet(56, 38);
  const int title_writes = table->title_writes;
  sheet.spPutCell(2.5, 3, 4);
  sheet.spPutTitle(Value("new"), 1);
  sheet.spPutTitle(Value("keep"), 2);  // unchanged: not written
  ValueArray col{Value(3), Value("a"), Value(1), Value("b")};
  sheet.spPutCol(col, 5, -1, false);
  sheet.spPutCell(Value("Title"), 0, 1);  // the row-title column goes straight to the host
  EXPECT_EQ(table->Get(-1, 0), Value("Title"));
  EXPECT_EQ(table->Get(2, 3), Value());
  sheet.spSaveSheet();
  EXPECT_FALSE(sheet.TEST_Buffered());
  EXPECT_EQ(table->Get(2, 3), Value(2.5));
  EXPECT_EQ(table->Get(4, 1), Value(1));
  EXPECT_EQ(table->Title(0), "new");
  EXPECT_EQ(table->title_writes, title_writes + 1);
  EXPECT_EQ(table->titles_written.back(), 0);
}

TEST_F(SheetTest, NegativeIndicesTerminateAndAPutOutsideTheBufferIsUnrecoverable) {
  Attach();
  EXPECT_EQ("fatal", Outcome([&] { sheet.spGetCell(-1, 1); }));
  EXPECT_EQ(ui.shown.back().text, "ERROR\rZero row or column in spGetCell\rPROGRAM TERMINATED");
  EXPECT_THROW(sheet.spPutCell(1, 1, -1), TerminateProgramError);
  EXPECT_EQ(ui.shown.back().text, "ERROR\rZero row or column in spPutCell\rPROGRAM TERMINATED");
  sheet.spLoadSheet(56, 38);
  EXPECT_THROW(sheet.spPutCell(1, 57, 1), TerminateProgramError);
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown.back().title, "UNRECOVERABLE ERROR");
  EXPECT_EQ(ui.shown.back().buttons, std::vector<std::string>{"Exit program"});
  EXPECT_EQ(ui.shown.back().text,
            "Unexpected error in module SPW.\r\rPlease send this SigmaPlot file and the following "
            "information to Quellmark:\r\rError SPW001 in spPutCell\rSubscript out of range (9)");
  EXPECT_THROW(sheet.spPutCell(1, 1, 0), TerminateProgramError);  // row 0 is outside too
  sheet.spSaveSheet();
  EXPECT_EQ(table->writes, 56);  // one write per column of the buffer, nothing else
}

TEST_F(SheetTest, PutColWithTitleNeedsACount) {
  Attach();
  ValueArray col{Value("title"), Value(1)};
  EXPECT_THROW(sheet.spPutCol(col, 1, -1, true), TerminateProgramError);
  EXPECT_EQ(ui.shown.back().text,
            "Error in spPutCol - must specify count if title is being added");
  EXPECT_EQ(ui.shown.back().title, "KORUND 2.00");
  sheet.spPutCol(col, 1, 1, true);  // direct mode: one block and the title
  EXPECT_EQ(table->Get(0, 0), Value(1));
  EXPECT_EQ(table->Title(0), "title");
}

TEST_F(SheetTest, ClearColsTouchesOnlyTheFirstTitle) {
  table->Set(0, 0, 1);
  table->Set(1, 3, 2);
  table->SetTitle(0, "a");
  table->SetTitle(1, "b");
  Attach();
  sheet.spLoadSheet(10, 10);
  sheet.spClearCols(1, 2, false, "");
  EXPECT_EQ(sheet.TEST_BufferedTitle(1), "a");
  sheet.spClearCols(1, 2, true, "");
  EXPECT_EQ(sheet.TEST_BufferedTitle(1), "");
  EXPECT_EQ(sheet.TEST_BufferedTitle(2), "b");
  ValueArray data;
  EXPECT_EQ(sheet.spGetCol(data, 2, 1), 0);
  sheet.spSaveSheet();
  EXPECT_EQ(table->Get(1, 3), Value());
}

TEST_F(SheetTest, ReportGoesAfterTheWorksheetInItsSection) {
  host.notebook.AddSection("Section 2");
  Attach();
  auto names = [this] {
    std::string out;
    for (size_t i = 0; i < host.notebook.size(); ++i) out += host.notebook.item(i).name() + "|";
    return out;
  };
  ASSERT_FALSE(sheet.spAddReport(""));
  EXPECT_EQ(names(), "Section 1|Data 1|Report 1|Section 2|");
  sheet.SetReportText("text");
  EXPECT_EQ(host.notebook.item(2).text(), "text");

  ASSERT_FALSE(sheet.spAddReport("Fatigue"));
  ASSERT_FALSE(sheet.spAddReport("Fatigue"));  // a taken name keeps the default
  EXPECT_EQ(names(), "Section 1|Data 1|Report 1|Fatigue|Report 2|Section 2|");
  settings.WorksheetName = "not in the notebook";  // no section to put it in
  EXPECT_TRUE(sheet.spAddReport(""));
}

TEST_F(SheetTest, ReleaseTellsTheHostAndPassesOnAFailedWriteBack) {
  Attach();
  std::string error;
  EXPECT_TRUE(sheet.Release(&error));
  EXPECT_FALSE(host.properties.at(21));
  EXPECT_EQ(host.releases, 1);

  host.release_fails = true;
  Attach();
  EXPECT_FALSE(sheet.Release(&error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace korund::worksheet
