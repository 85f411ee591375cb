// Both programs, run as processes, on the notebook files a hostile or careless
// user hands them: each row sets the file up, runs korund, korund-notebook
// select (which writes under the lock) and korund-notebook list (which only
// reads), and checks the status, the words on standard error, that a refusal
// leaves the notebook as it was, and that no run leaves a lock or temporary
// file behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "testing/process_run.h"
#include "testing/test_files.h"

namespace {

namespace fs = std::filesystem;

using korund::host::testing::ReadFile;
using korund::host::testing::WriteFile;

const std::string kHead = R"({"format": "korund-notebook", "version": 1, "current": "Data 1", )";

// A notebook whose worksheet "Data 1" has these columns.
std::string Notebook(const std::string& columns, const std::string& extra = "") {
  return korund::testing::NotebookText(columns, "", extra);
}

const std::string kGood = Notebook(R"("1": {"cells": ["set A", 3.1, 3.4, 2.9, 3.3]})");

// `count` copies of `item` joined by commas.
std::string Repeated(const std::string& item, int count) {
  std::string out;
  out.reserve((item.size() + 1) * static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) out += (i > 0 ? "," : "") + item;
  return out;
}

// What a program is expected to do: its status and words on standard error.
struct Expect {
  int status;
  std::string words;
};

struct Case {
  const char* name;
  std::function<void(const fs::path& dir, const fs::path& notebook)> setup;
  Expect korund, select, list;
  bool root_bypasses = false;  // permissions the superuser is not held to
};

class HostileFilesTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::error_code ec;
    fs::permissions(root_ / "nb", fs::perms::owner_all, fs::perm_options::add, ec);
  }

  // The folder's entries, one a line: name, then what it is (links with
  // their targets) and, with `contents`, a regular file's bytes.
  static std::string Snapshot(const fs::path& dir, bool contents = true) {
    std::vector<fs::path> entries;
    for (const auto& e : fs::directory_iterator(dir)) entries.push_back(e.path());
    std::sort(entries.begin(), entries.end());
    std::string out;
    for (const fs::path& p : entries) {
      const fs::file_status st = fs::symlink_status(p);
      out += p.filename().string() + ": ";
      if (fs::is_symlink(st)) {
        out += "-> " + fs::read_symlink(p).string();
      } else if (fs::is_regular_file(st)) {
        out += contents ? "file " + ReadFile(p) : "file";
      } else {
        out += "type " + std::to_string(static_cast<int>(st.type()));
      }
      out += "\n";
    }
    return out;
  }

  korund::host::testing::TempDir temp_;
  fs::path root_ = temp_.File("");
};

TEST_F(HostileFilesTest, EveryBadFileIsRefusedByBothProgramsLeavingNothingBehind) {
  auto text = [](const std::string& contents) {
    return [contents](const fs::path&, const fs::path& nb) { WriteFile(nb, contents); };
  };
  // kGood written, then `then` changes the file or its folder.
  auto good = [](auto then) {
    return [then](const fs::path& dir, const fs::path& nb) {
      WriteFile(nb, kGood);
      then(dir, nb);
    };
  };
  const Expect ok{0, ""};
  // A row a case, its three expectations together.
  // clang-format off
  const Case cases[] = {
      {"byte-order mark", text("\xEF\xBB\xBF" + kGood), ok, ok, ok},
      {"empty file", text(""), {1, "(the file is empty)"}, {1, "(the file is empty)"},
       {1, "(the file is empty)"}},
      {"a folder", [](const fs::path&, const fs::path& nb) { fs::create_directory(nb); },
       {1, "nb.json: not a regular file"}, {1, "not a regular file"}, {1, "not a regular file"}},
      {"a FIFO", [](const fs::path&, const fs::path& nb) { ::mkfifo(nb.c_str(), 0600); },
       {1, "nb.json: not a regular file"}, {1, "not a regular file"}, {1, "not a regular file"}},
      // Through a link the file it names is read and replaced; the link stays.
      {"symlinked notebook",
       [](const fs::path& dir, const fs::path& nb) {
         WriteFile(dir / "real.json", kGood);
         fs::create_symlink("real.json", nb);
       },
       ok, ok, ok},
      {"symlinked lock file",
       good([](auto& d, auto& f) { fs::create_symlink(d / "planted", f.string() + ".lock"); }),
       {1, "nb.json.lock: it is a symbolic link"}, {1, "it is a symbolic link"}, ok},
      {"unreadable file", good([](auto&, auto& f) { fs::permissions(f, fs::perms::owner_write); }),
       {1, "nb.json: Permission denied"}, {1, "Permission denied"}, {1, "Permission denied"},
       true},
      {"read-only file", good([](auto&, auto& nb) { fs::permissions(nb, fs::perms(0444)); }),
       {1, "nb.json: the file is read-only; nothing was changed"}, {1, "read-only"}, ok},
      {"read-only folder", good([](auto& d, auto&) { fs::permissions(d, fs::perms(0555)); }),
       {1, "cannot create the lock file"}, {1, "cannot create the lock file"}, ok, true},
      // Many small objects must cost linear time: each program ends well
      // inside the harness's timeout.
      {"quadratic shape: many empty objects kept",
       text(Notebook(R"("1": {"cells": [3.1, 3.4, 2.9]})",
                     R"("kept": [)" + Repeated("{}", 150000) + "], ")),
       ok, ok, ok},
      {"quadratic shape: many empty items",
       text(kHead + R"("items": [)" + Repeated("{}", 150000) + "]}"),
       {1, "item 1 has no \"type\""}, {1, "item 1 has no \"type\""}, {1, "item 1 has no \"type\""}},
      // Two sets of a million: the results would not fit, which korund says
      // before it loads the worksheet into memory.
      {"memory-heavy shape",
       text(Notebook(R"("1": {"cells": [)" + Repeated("2", 1000000) + R"(]}, "2": {"cells": [)" +
                     Repeated("3", 1000000) + "]}")),
       {1, "the analysis was not started and nothing was changed"}, ok, ok},
      {"a column past the row limit",
       text(Notebook(R"("1": {"cells": [)" + Repeated("null", 1000000) + ", 1]}")),
       {1, "column 1 has 1000001 rows (the limit is 1000000)"}, {1, "rows (the limit is"},
       {1, "rows (the limit is"}},
  };
  // clang-format on
  const bool root = ::geteuid() == 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (root && c.root_bypasses) {
      std::cerr << "[ SKIPPED  ] \"" << c.name << "\": the superuser is not held to permissions\n";
      continue;
    }
    const fs::path dir = root_ / "nb";
    const fs::path nb = dir / "nb.json";
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add);
    if (fs::exists(dir)) fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir);
    fs::create_directory(dir);
    c.setup(dir, nb);
    const std::pair<const char*, const Expect*> runs[] = {
        {"korund weibull --batch --notebook nb/nb.json", &c.korund},
        {"korund-notebook select nb/nb.json 'Data 1'", &c.select},
        {"korund-notebook list nb/nb.json", &c.list}};
    for (const auto& [command, expect] : runs) {
      SCOPED_TRACE(command);
      const std::string before = Snapshot(dir);
      const std::string entries = Snapshot(dir, false);
      const std::string program = std::string(command).substr(0, std::string(command).find(' '));
      const korund::testing::ProcessRun run = korund::testing::RunIn(
          root_.string(), korund::testing::BuiltProgram(program) + " " +
                              std::string(command).substr(program.size() + 1));
      EXPECT_EQ(expect->status, run.status) << run.err;
      EXPECT_NE(std::string::npos, run.err.find(expect->words)) << run.err;
      if (run.status != 0) {
        EXPECT_EQ(before, Snapshot(dir));  // the notebook as it was, nothing added
      } else {
        // A write-back changes the notebook's bytes only: the same entries,
        // a link still a link, no lock or temporary file beside them.
        EXPECT_EQ(entries, Snapshot(dir, false));
      }
    }
  }
}

}  // namespace
