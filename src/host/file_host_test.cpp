#include "host/file_host.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "host/atomic_file.h"
#include "testing/json_support.h"
#include "testing/test_files.h"

namespace korund::host {
namespace {

using namespace korund::host::testing;
using korund::testing::Json;

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
    error_.clear();
    auto app = FileHost(path_, worksheet).Connect(&error_);
    EXPECT_NE(nullptr, app) << error_;
    return app;
  }
  std::string Refused(const std::string& worksheet = "") {
    error_.clear();
    EXPECT_EQ(nullptr, FileHost(path_, worksheet).Connect(&error_));
    return error_;
  }
  DataTable* Sheet(Application& app) { return app.ActiveNotebook()->CurrentDataItem()->Table(); }
  Json OnDisk() const { return Json::Parse(ReadFile(path_)); }
  static std::string Cells(const Json& doc, int item, const char* column = "1") {
    return doc["items"][item]["columns"][column]["cells"].Dump();
  }

  TempDir dir_;
  std::string path_ = dir_.File("lab.json");
  std::string error_;
};

TEST_F(FileHostTest, ReleaseWritesTheRunsChangesBack) {
  auto app = Connect();
  ASSERT_NE(nullptr, app);
  Sheet(*app)->Write({{Value(10), Value(), Value("MPA")}}, 1, 0);
  Sheet(*app)->SetTitle(1, "sorted");
  app->ActiveNotebook()->AddItem(kItemReport);  // after the worksheet's section contents
  app->ActiveNotebook()->Item(3)->SetText("n = 3\r\n");
  ASSERT_TRUE(app->Release(&error_)) << error_;
  Json disk = OnDisk();
  EXPECT_EQ("keep me", disk["note"]);
  EXPECT_EQ(R"({"type":"report","name":"Report 2","text":"n = 3\r\n"})",  // "Report 1" is taken
            disk["items"][3].Dump());
  EXPECT_EQ("Section 2", disk["items"][4]["name"]);
  EXPECT_EQ(R"({"title":"sorted","cells":[10,null,"MPA"]})",
            disk["items"][1]["columns"]["2"].Dump());
  EXPECT_EQ("[1,2,3]", Cells(disk, 1));
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir_.Names());  // no temporary, no lock

  // A named worksheet is worked on; the stored current one stays.
  app = Connect("Data 2");
  Sheet(*app)->SetCell(0, 0, Value(5));
  ASSERT_TRUE(app->Release(&error_)) << error_;
  EXPECT_EQ("Data 1", OnDisk()["current"]);
  EXPECT_EQ("[5]", Cells(OnDisk(), 5));
}

TEST_F(FileHostTest, RunWithoutReleaseOrChangesLeavesTheFileAsItWasAndTheLockGoes) {
  {
    auto app = Connect();
    ASSERT_NE(nullptr, app);
    // The lock names its holder: here this test program.
    EXPECT_EQ(path_ + " is in use by " + program_invocation_short_name + " (process " +
                  std::to_string(::getpid()) + ") (lock file " + path_ + ".lock)",
              Refused("Data 2"));
    Sheet(*app)->SetCell(0, 0, Value(99));
    app->ActiveNotebook()->AddItem(kItemReport);
  }  // destroyed: a run that stopped early
  EXPECT_EQ(kLab, ReadFile(path_));

  auto app = Connect();
  ASSERT_NE(nullptr, app);
  Sheet(*app)->SetCell(0, 0, Value(1));  // the value it had
  ASSERT_TRUE(app->Release(&error_)) << error_;
  EXPECT_EQ(kLab, ReadFile(path_));
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir_.Names());
  Connect();  // a released run holds no lock
}

// Changed means another file under the name or other bytes in it.
TEST_F(FileHostTest, ChangedReplacedOrDeletedOnDiskKeepsTheResultsAside) {
  enum Change { kEdited, kReplacedByACopy, kDeleted };
  for (Change change : {kEdited, kReplacedByACopy, kDeleted}) {
    SCOPED_TRACE(change);
    const bool deleted = change == kDeleted;
    auto app = Connect();
    ASSERT_NE(nullptr, app);
    Sheet(*app)->SetCell(0, 0, Value(42));
    std::string theirs = std::string(kLab) + "\n";  // saved meanwhile, in place
    if (change == kEdited) WriteFile(path_, theirs);
    if (change == kReplacedByACopy) {
      theirs = kLab;
      WriteFile(path_ + ".new", theirs);
      std::filesystem::rename(path_ + ".new", path_);
    }
    if (deleted) {
      theirs.clear();
      std::filesystem::remove(path_);
    }

    EXPECT_FALSE(app->Release(&error_));
    EXPECT_EQ(theirs, ReadFile(path_));
    std::vector<std::string> names = dir_.Names();
    ASSERT_EQ(deleted ? 1u : 2u, names.size());
    EXPECT_EQ(0u, names.back().find("lab.korund-"));  // "lab.json" sorts first
    const std::string aside = dir_.File(names.back());
    EXPECT_EQ(path_ + " was changed by another program while korund was running, so it was not "
                      "overwritten. The results were saved in " + aside + ".",
              error_);
    EXPECT_EQ("[42,2,3]", Cells(Json::Parse(ReadFile(aside)), 1));
    std::filesystem::remove(aside);
    WriteFile(path_, kLab);
  }
  const std::string first = ResultsPathFor(path_, 1700000000);  // a second run in that second
  WriteFile(first, "x");
  EXPECT_EQ(first.substr(0, first.size() - 5) + "-2.json", ResultsPathFor(path_, 1700000000));
}

// Files korund may not touch (read-only, a planted lock link) are the
// hostile-files process test's.
TEST_F(FileHostTest, AttachFailuresSayWhatIsWrongAndHoldNoLock) {
  EXPECT_EQ(path_ + ": there is no worksheet named \"Data 9\"; its worksheets: \"Data 1\", \"Data 2\"",
            Refused("Data 9"));
  std::string text = kLab;
  WriteFile(path_, text.replace(text.find("\"current\":\"Data 1\""), 18, "\"current\":\"Gone\""));
  EXPECT_EQ(path_ + ": the current worksheet \"Gone\" does not exist; its worksheets: \"Data 1\", "
                    "\"Data 2\"",
            Refused());
  WriteFile(path_, R"({"format":"korund-notebook","version":1,"items":[]})");
  EXPECT_EQ(path_ + ": no worksheet is current in the notebook (name one with --worksheet); it has "
                    "no worksheet",
            Refused());
  std::filesystem::remove(path_);
  EXPECT_EQ(path_ + ": no such file", Refused());
  EXPECT_EQ(std::vector<std::string>{}, dir_.Names());
}

TEST_F(FileHostTest, AWriteBackClearsItsOwnStaleTemporariesOnly) {
  const std::vector<std::string> planted = {".lab.json.korund-tmp-AbC123", ".lab.json.korund-tmp-x",
                                            ".other.json.korund-tmp-AbC123", "notes.txt"};
  for (const auto& name : planted) WriteFile(dir_.File(name), "left over");
  auto app = Connect();
  ASSERT_NE(nullptr, app);
  Sheet(*app)->SetCell(0, 0, Value(5));
  ASSERT_TRUE(app->Release(&error_)) << error_;
  EXPECT_EQ((std::vector<std::string>{".lab.json.korund-tmp-x", ".other.json.korund-tmp-AbC123",
                                      "lab.json", "notes.txt"}),
            dir_.Names());
}

// The target changes only at the end, to the whole new text, with its
// permissions; a failure or a last-moment refusal leaves no trace.
TEST(AtomicFileTest, ReplacesWholeFileKeepsPermissionsAndLeavesNothingOnFailure) {
  TempDir dir;
  const std::string path = dir.File("lab.json");
  WriteFile(path, "old");
  std::filesystem::permissions(path, std::filesystem::perms(0640));
  std::string error;
  bool asked = false;
  auto refuse = [&](std::string* e) {
    asked = true;
    *e = "changed meanwhile";
    return false;
  };
  EXPECT_FALSE(WriteFileAtomically(path, "new", &error, refuse));
  EXPECT_TRUE(asked);
  EXPECT_EQ("changed meanwhile", error);
  EXPECT_EQ("old", ReadFile(path));
  ASSERT_TRUE(WriteFileAtomically(path, "new text", &error)) << error;
  EXPECT_EQ("new text", ReadFile(path));
  EXPECT_EQ(std::filesystem::perms(0640), std::filesystem::status(path).permissions());
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir.Names());  // no temporary left

  EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/dir.json"), "x", &error));
  EXPECT_NE(std::string::npos, error.find("cannot create a temporary file")) << error;
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir.Names());
  EXPECT_TRUE(SameFile(path, dir.File("./lab.json")));
  EXPECT_FALSE(SameFile(path, dir.File("missing.json")));
}

// A writer that opens the file by name writes the very file that becomes
// the output, however large: nothing is read back or copied.
TEST(AtomicFileTest, AnOutputWrittenByNameIsWrittenOnceAndNamedInErrors) {
  TempDir dir;
  const std::string path = dir.File("out.xlsx");
  WriteFile(path, "old");
  std::string error;
  std::optional<FileId> written;
  auto large = [&](const std::string& temp, std::string*) {
    std::filesystem::resize_file(temp, (300LL << 20));  // sparse: costs no disk
    written = FileIdOf(temp);
    return true;
  };
  ASSERT_TRUE(WriteOutputFile(path, large, &error)) << error;
  EXPECT_EQ(written, FileIdOf(path));
  EXPECT_EQ(300LL << 20, static_cast<long long>(std::filesystem::file_size(path)));
  auto fail = [&](const std::string& temp, std::string* e) {
    WriteFile(temp, "part");
    *e = temp + ": cannot write the workbook";
    return false;
  };
  EXPECT_FALSE(WriteOutputFile(path, fail, &error));
  EXPECT_EQ(path + ": cannot write the workbook", error);
  EXPECT_EQ(written, FileIdOf(path));
  EXPECT_EQ(std::vector<std::string>{"out.xlsx"}, dir.Names());
}

// Small pieces are gathered and large ones written straight through: the
// file holds them in order. A writer dropped before Commit leaves no trace.
TEST(AtomicFileTest, AWriterFedInPiecesReplacesOnCommitOnly) {
  TempDir dir;
  const std::string path = dir.File("lab.json");
  WriteFile(path, "old");
  std::string error, expected;
  {
    AtomicFileWriter file(path);
    ASSERT_TRUE(file.Open(&error)) << error;
    for (size_t size : {1, 70000, 3, 65535, 65536, 2}) {
      const std::string piece(size, static_cast<char>('a' + expected.size() % 26));
      ASSERT_TRUE(file.Write(piece, &error)) << error;
      expected += piece;
    }
    EXPECT_EQ("old", ReadFile(path));
    ASSERT_TRUE(file.Commit(&error)) << error;
  }
  EXPECT_EQ(expected, ReadFile(path));
  {
    AtomicFileWriter file(path);
    ASSERT_TRUE(file.Open(&error)) << error;
    ASSERT_TRUE(file.Write(std::string(100000, 'x'), &error)) << error;
    EXPECT_EQ(2u, dir.Names().size());  // the temporary file beside it
  }
  EXPECT_EQ(expected, ReadFile(path));
  EXPECT_EQ(std::vector<std::string>{"lab.json"}, dir.Names());
}

}  // namespace
}  // namespace korund::host
