#include "host/in_process_host.h"

#include <gtest/gtest.h>

namespace korund::host {
namespace {

class InProcessHostTest : public ::testing::Test {
 protected:
  InProcessHostTest() {
    notebook_.AddSection("Section 1");
    notebook_.AddWorksheet("Data 1").worksheet()->SetCell(1, 1, Value(4.5));
    notebook_.AddSection("Section 2");
    notebook_.AddWorksheet("Data 2");
    notebook_.set_current("Data 1");
  }

  notebook::Notebook notebook_;
  std::string error_;
};

TEST_F(InProcessHostTest, ARunWorksOnACopyUntilItIsReleased) {
  InProcessHost host(notebook_, "Data 2");
  {
    auto app = host.Connect(&error_);
    ASSERT_NE(nullptr, app) << error_;
    NotebookDocument& doc = *app->ActiveNotebook();
    EXPECT_EQ("Data 2", doc.CurrentDataItem()->Name());
    doc.CurrentDataItem()->Table()->SetCell(0, 0, Value(7));
    doc.AddItem(kItemReport);
    // Destroyed without Release: a stopped run changes nothing.
  }
  EXPECT_EQ(4u, notebook_.size());
  EXPECT_EQ(Value(), notebook_.Find("Data 2")->worksheet()->Cell(1, 1));

  auto app = host.Connect(&error_);
  ASSERT_NE(nullptr, app);
  NotebookDocument& doc = *app->ActiveNotebook();
  doc.CurrentDataItem()->Table()->SetTitle(2, "sorted");
  doc.AddItem(kItemReport);  // at the end of Data 2's section
  doc.Item(4)->SetText("n = 3");
  ASSERT_TRUE(app->Release(&error_));
  ASSERT_EQ(5u, notebook_.size());
  EXPECT_EQ("Report 1", notebook_.item(4).name());
  EXPECT_EQ("n = 3", notebook_.item(4).text());
  EXPECT_EQ("sorted", notebook_.Find("Data 2")->worksheet()->Title(3));
  EXPECT_EQ("Data 1", notebook_.current());  // the stored current worksheet stays
}

TEST_F(InProcessHostTest, TheSeamSpeaksInHostIndices) {
  auto app = InProcessHost(notebook_).Connect(&error_);
  ASSERT_NE(nullptr, app);
  NotebookDocument& doc = *app->ActiveNotebook();
  ASSERT_EQ(4, doc.ItemCount());
  EXPECT_EQ(kItemSection, doc.Item(2)->ItemType());
  EXPECT_EQ(nullptr, doc.Item(4));
  DataTable& table = *doc.CurrentDataItem()->Table();
  EXPECT_EQ(Value(4.5), table.Cell(0, 0));
  table.Write({{Value(1), Value("a")}, {Value(), Value(2)}}, -1, -1);  // row titles, titles
  EXPECT_EQ(Value("1"), table.Cell(-1, -1));  // a title is text
  EXPECT_EQ(Value("a"), table.Cell(-1, 0));
  EXPECT_EQ(Value(2), table.Cell(0, 0));
  int32_t columns = 0, rows = 0;
  table.UsedSize(columns, rows);  // the row-title column does not count
  EXPECT_EQ(1, columns);
  EXPECT_EQ(1, rows);
  doc.Item(3)->Open();
  EXPECT_EQ("Data 2", doc.CurrentDataItem()->Name());
  EXPECT_FALSE(doc.Item(3)->SetName("Data 1"));  // names are unique
  EXPECT_TRUE(doc.Item(3)->SetName("Data 3"));
}

TEST_F(InProcessHostTest, AMissingWorksheetIsNoSession) {
  EXPECT_EQ(nullptr, InProcessHost(notebook_, "Graph").Connect(&error_));
  EXPECT_EQ(0u, error_.find("notebook: there is no worksheet named \"Graph\"; its worksheets: "));
  notebook_.set_current(std::nullopt);
  EXPECT_EQ(nullptr, InProcessHost(notebook_).Connect(&error_));
}

}  // namespace
}  // namespace korund::host
