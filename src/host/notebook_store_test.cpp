#include "host/notebook_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "host/atomic_file.h"
#include "host/file_lock.h"
#include "notebook/notebook.h"
#include "testing/memory_file_system.h"
#include "testing/test_files.h"

namespace korund::host {
namespace {

using korund::testing::MemoryFileSystem;

// The store on a disk in memory: the calls a write makes and what each
// failing call leaves behind.
class NotebookStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { disk_.files[kPath] = "old"; }

  // Locks the notebook, replaces it with "new" and lets go: false with
  // error_ when a step failed.
  bool LockAndReplace() {
    NotebookStore store(disk_);
    return store.Lock(kPath, &error_) && store.Replace("new", &error_);
  }

  static constexpr const char* kPath = "/lab/nb.json";
  static constexpr const char* kTemp = "/lab/.nb.json.korund-tmp-000001";
  MemoryFileSystem disk_;
  std::string error_;
};

TEST_F(NotebookStoreTest, AWriteIsFlushedBeforeItReplacesTheFileAndTheFolderAfter) {
  ASSERT_TRUE(LockAndReplace()) << error_;
  const std::vector<std::string> calls = {"lock /lab/nb.json.lock",
                                          std::string("create ") + kTemp,
                                          std::string("write ") + kTemp,
                                          std::string("sync ") + kTemp,
                                          std::string("close ") + kTemp,
                                          std::string("rename ") + kTemp + " " + kPath,
                                          "sync-folder /lab",
                                          "unlock /lab/nb.json.lock"};
  EXPECT_EQ(calls, disk_.calls);
  EXPECT_EQ("new", disk_.files[kPath]);
  EXPECT_EQ(1u, disk_.files.size());

  // A notebook written as it is made takes the same steps.
  disk_.calls.clear();
  notebook::Notebook doc;
  doc.AddWorksheet("Data 1");
  ASSERT_TRUE(WriteNotebookAtomically(doc, kPath, kPath, &error_, nullptr, disk_)) << error_;
  EXPECT_EQ((std::vector<std::string>{"create", "write", "sync", "close", "rename", "sync-folder"}),
            [&] {
              std::vector<std::string> kinds;
              for (const auto& call : disk_.calls) kinds.push_back(call.substr(0, call.find(' ')));
              return kinds;
            }());
  EXPECT_NE(std::string::npos, disk_.files[kPath].find("\"Data 1\""));
}

TEST_F(NotebookStoreTest, EachFailingCallLeavesTheOldFileNoTemporaryAndNoLock) {
  const struct {
    const char* call;
    const char* says;
    const char* left;  // the notebook afterwards
  } cases[] = {
      {"lock", "cannot create the lock file /lab/nb.json.lock: Input/output error", "old"},
      {"create", "cannot create a temporary file in /lab: Input/output error", "old"},
      {"write", "cannot write: No space left on device (the file is unchanged)", "old"},
      {"sync", "cannot flush to disk: Input/output error (the file is unchanged)", "old"},
      {"close", "cannot write: Input/output error (the file is unchanged)", "old"},
      {"rename", "cannot replace the file: Input/output error (the file is unchanged)", "old"},
      // Only the folder's flush comes after the replacement, and says so.
      {"sync-folder",
       "cannot flush its folder /lab to disk: Input/output error (the file was "
       "replaced, but the change may not outlast a crash)",
       "new"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    SetUp();
    disk_.calls.clear();
    disk_.FailNext(c.call, std::string(c.call) == "write" ? ENOSPC : EIO);
    error_.clear();
    EXPECT_FALSE(LockAndReplace());
    EXPECT_EQ(std::string(kPath) + ": " + c.says, error_);
    EXPECT_EQ(c.left, disk_.files[kPath]);
    EXPECT_EQ(std::vector<std::string>{}, disk_.FilesWith("korund-tmp"));
    EXPECT_EQ(std::vector<std::string>{}, disk_.FilesWith(".lock"));
  }
}

TEST_F(NotebookStoreTest, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
  NotebookStore first(disk_), second(disk_);
  ASSERT_TRUE(first.Lock(kPath, &error_)) << error_;
  EXPECT_FALSE(second.Lock(kPath, &error_));
  EXPECT_EQ(0u, error_.find("/lab/nb.json is in use by ")) << error_;
  first.Unlock();
  EXPECT_TRUE(second.Lock(kPath, &error_)) << error_;
}

// On the real disk: a holder ended by a signal it can catch removes its
// lock file and the temporary file it was writing, and still ends by that
// signal.
TEST(SignalCleanupTest, ACaughtSignalRemovesTheLockAndTheTemporaryFile) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    testing::TempDir dir;
    const std::string path = dir.File("nb.json");
    testing::WriteFile(path, "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      FileLock lock;
      AtomicFileWriter file(path);
      std::string error;
      if (!lock.Lock(path, &error) || !file.Open(&error) || !file.Write("new", &error)) _exit(9);
      ::raise(signal);
      _exit(8);  // not reached
    }
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(signal, WTERMSIG(status));
    EXPECT_EQ(std::vector<std::string>{"nb.json"}, dir.Names());
    EXPECT_EQ("old", testing::ReadFile(path));
  }
}

}  // namespace
}  // namespace korund::host
