#include "host/file_host.h"

#include <gtest/gtest.h>

#include "host/notebook_file.h"
#include "host/test_files.h"

namespace korund::host {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// Written compactly on purpose: a rewrite would show as a change of bytes.
const char* kLab =
    R"({"format":"korund-notebook","version":1,"current":"Data 1","note":"keep me",)"
    R"("items":[{"type":"section","name":"Section 1"},)"
    R"({"type":"worksheet","name":"Data 1","columns":{"1":{"title":"raw","cells":[1,2,3]}}},)"
    R"({"type":"report","name":"Report 1","text":"old"},)"
    R"({"type":"section","name":"Section 2"},)"
    R"({"type":"worksheet","name":"Data 2","columns":{}}]})";

class FileHostTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteFile(path_, kLab); }

  std::unique_ptr<Application> Connect(const std::string& worksheet = "") {
    FileHost host(path_, worksheet);
    error_.clear();
    return host.Connect(&error_);
  }
  Json OnDisk() const { return Json::parse(ReadFile(path_)); }

  TempDir dir_;
  std::string path_ = dir_.File("lab.json");
  std::string error_;
};

TEST_F(FileHostTest, ReleaseWritesTheRunsChangesBack) {
  auto app = Connect();
  ASSERT_NE(nullptr, app) << error_;
  NotebookItem* sheet = app->ActiveNotebook()->CurrentDataItem();
  ASSERT_NE(nullptr, sheet);
  EXPECT_EQ("Data 1", sheet->Name());
  sheet->Table()->Write({{Value(10), Value(), Value("MPA")}}, 1, 0);
  sheet->Table()->SetTitle(1, "sorted");
  ASSERT_TRUE(app->Release(&error_)) << error_;

  Json disk = OnDisk();
  EXPECT_EQ("keep me", disk["note"]);
  EXPECT_EQ("Data 1", disk["current"]);
  EXPECT_EQ(R"({"title":"sorted","cells":[10,null,"MPA"]})",
            disk["items"][1]["columns"]["2"].dump());
  EXPECT_EQ("[1,2,3]", disk["items"][1]["columns"]["1"]["cells"].dump());
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir_.Names());  // no temporary, no lock
}

TEST_F(FileHostTest, RunWithoutReleaseOrChangesLeavesTheFileAsItWas) {
  {
    auto app = Connect();
    ASSERT_NE(nullptr, app) << error_;
    app->ActiveNotebook()->CurrentDataItem()->Table()->SetCell(0, 0, Value(99));
    app->ActiveNotebook()->AddItem(kItemReport);
  }  // destroyed: a run that stopped early
  EXPECT_EQ(kLab, ReadFile(path_));

  auto app = Connect();
  ASSERT_NE(nullptr, app) << error_;
  // The same value written again changes nothing, so nothing is rewritten.
  app->ActiveNotebook()->CurrentDataItem()->Table()->SetCell(0, 0, Value(1));
  ASSERT_TRUE(app->Release(&error_)) << error_;
  EXPECT_EQ(kLab, ReadFile(path_));
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir_.Names());
}

TEST_F(FileHostTest, NamedWorksheetIsWorkedOnWithoutChangingTheCurrentOne) {
  auto app = Connect("Data 2");
  ASSERT_NE(nullptr, app) << error_;
  NotebookItem* sheet = app->ActiveNotebook()->CurrentDataItem();
  ASSERT_NE(nullptr, sheet);
  EXPECT_EQ("Data 2", sheet->Name());
  sheet->Table()->SetCell(0, 0, Value(5));
  ASSERT_TRUE(app->Release(&error_)) << error_;
  Json disk = OnDisk();
  EXPECT_EQ("Data 1", disk["current"]);
  EXPECT_EQ("[5]", disk["items"][4]["columns"]["1"]["cells"].dump());
}

TEST_F(FileHostTest, ReportsGoAfterTheWorksheetsSectionContents) {
  auto app = Connect();
  ASSERT_NE(nullptr, app) << error_;
  Notebook* notebook = app->ActiveNotebook();
  notebook->AddItem(kItemReport);
  ASSERT_EQ(6, notebook->ItemCount());
  NotebookItem* report = notebook->Item(3);
  EXPECT_EQ(kItemReport, report->ItemType());
  EXPECT_EQ("Report 2", report->Name());  // "Report 1" is taken
  EXPECT_FALSE(report->SetName("Data 2"));
  EXPECT_TRUE(report->SetName("Results"));
  report->SetText("n = 3\r\n");
  ASSERT_TRUE(app->Release(&error_)) << error_;
  Json disk = OnDisk();
  EXPECT_EQ(R"({"type":"report","name":"Results","text":"n = 3\r\n"})", disk["items"][3].dump());
  EXPECT_EQ("Section 2", disk["items"][4]["name"]);
}

TEST_F(FileHostTest, SecondRunCannotAttachWhileTheFirstIsAlive) {
  auto first = Connect();
  ASSERT_NE(nullptr, first) << error_;
  EXPECT_EQ(nullptr, Connect("Data 2"));
  EXPECT_EQ(path_ + " is in use by another korund run or korund-notebook command (lock file " +
                path_ + ".lock)",
            error_);
  first.reset();
  EXPECT_NE(nullptr, Connect()) << error_;

  auto again = Connect();
  ASSERT_NE(nullptr, again) << error_;
  ASSERT_TRUE(again->Release(&error_));
  EXPECT_NE(nullptr, Connect()) << "a released run no longer holds the lock: " << error_;
}

TEST_F(FileHostTest, ChangedOnDiskIsNotOverwritten) {
  auto app = Connect();
  ASSERT_NE(nullptr, app) << error_;
  app->ActiveNotebook()->CurrentDataItem()->Table()->SetCell(0, 0, Value(42));
  const std::string theirs = std::string(kLab) + "\n";  // someone saved the file meanwhile
  WriteFile(path_, theirs);

  EXPECT_FALSE(app->Release(&error_));
  EXPECT_EQ(theirs, ReadFile(path_));
  std::vector<std::string> names = dir_.Names();
  ASSERT_EQ(2u, names.size());
  const std::string aside = names[1] == "lab.json" ? names[0] : names[1];
  EXPECT_EQ(0u, aside.find("lab.korund-")) << aside;
  EXPECT_EQ(path_ + " was changed by another program while korund was running, so it was not "
                    "overwritten. The results were saved in " + dir_.File(aside) + ".",
            error_);
  Json results = Json::parse(ReadFile(dir_.File(aside)));
  EXPECT_EQ("[42,2,3]", results["items"][1]["columns"]["1"]["cells"].dump());
}

TEST_F(FileHostTest, DeletedOnDiskKeepsTheResultsAside) {
  auto app = Connect();
  ASSERT_NE(nullptr, app) << error_;
  app->ActiveNotebook()->CurrentDataItem()->Table()->SetCell(0, 0, Value(42));
  std::filesystem::remove(path_);
  EXPECT_FALSE(app->Release(&error_));
  EXPECT_NE(std::string::npos, error_.find("The results were saved in")) << error_;
  EXPECT_EQ(1u, dir_.Names().size());
}

TEST_F(FileHostTest, ResultsFileNamesDoNotCollide) {
  const std::time_t when = 1700000000;
  const std::string first = ResultsPathFor(path_, when);
  WriteFile(first, "x");
  const std::string second = ResultsPathFor(path_, when);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.substr(0, first.size() - 5) + "-2.json", second);
}

TEST_F(FileHostTest, AttachFailuresSayWhatIsWrong) {
  EXPECT_EQ(nullptr, Connect("Data 9"));
  EXPECT_EQ(path_ + ": there is no worksheet named \"Data 9\"", error_);
  EXPECT_EQ(nullptr, Connect("Report 1"));
  EXPECT_EQ(path_ + ": \"Report 1\" is a report, not a worksheet", error_);

  std::string text = kLab;
  WriteFile(path_, text.replace(text.find("\"current\":\"Data 1\""), 18, "\"current\":\"Gone\""));
  EXPECT_EQ(nullptr, Connect());
  EXPECT_EQ(path_ + ": the current worksheet \"Gone\" does not exist", error_);

  WriteFile(path_, R"({"format":"korund-notebook","version":1,"items":[]})");
  EXPECT_EQ(nullptr, Connect());
  EXPECT_EQ(path_ + ": no worksheet is current in the notebook (name one with --worksheet)", error_);

  std::filesystem::remove(path_);
  EXPECT_EQ(nullptr, Connect());
  EXPECT_EQ(path_ + ": no such file", error_);
  EXPECT_EQ(std::vector<std::string>{}, dir_.Names());  // failed attaches hold no lock
}

}  // namespace
}  // namespace korund::host
