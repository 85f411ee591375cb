// The built korund run as a script would: exit statuses, streams, transcripts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "testing/process_run.h"
#include "testing/test_files.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) { return korund::host::testing::ReadFile(p.string()); }

class KorundProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("KORUND_TEST_BINARY_DIR");
    ASSERT_NE(nullptr, bin) << "KORUND_TEST_BINARY_DIR is not set";
    korund = fs::path(bin) / "bin" / "korund";
  }

  // Runs korund in its own folder, which is also its home; standard input is
  // /dev/null and there is no display (so batch), and no notebook comes from
  // the environment.
  int Run(const std::string& args) {
    fs::remove(dir / "t.jsonl");
    const korund::testing::ProcessRun run =
        korund::testing::RunIn(dir.string(), "'" + korund.string() + "' " + args);
    out = run.out;
    err = run.err;
    return run.status;
  }
  std::string Transcript() {  // the transcript's boxes as "TITLE -> ANSWER" lines
    std::string boxes;
    for (const korund::testing::Json& box :
         korund::testing::TranscriptBoxes(Slurp(dir / "t.jsonl"))) {
      boxes += box["title"].Text() + " -> " + box["answer"].Dump() + "\n";
    }
    return boxes;
  }

  korund::host::testing::TempDir temp;
  fs::path korund, dir = temp.File("");
  std::string out, err;
};

TEST_F(KorundProcessTest, RunsThatEndBeforeAnAnalysisGiveTheirStatus) {
  EXPECT_EQ(2, Run("fatigue --transcript t.jsonl"));
  EXPECT_EQ("PLUG-IN TERMINATING -> \"OK\"\n", Transcript());
  EXPECT_NE(std::string::npos,
            err.find("[PLUG-IN TERMINATING]\nFitType 0 not defined in Sub ReadCommandLine"));

  EXPECT_EQ(2, Run(""));  // the usage line, after recording where the program is
  EXPECT_EQ("", out);
  EXPECT_EQ(0u, err.find("usage: korund weibull|dynamic|static")) << err;
  EXPECT_EQ("[SigmaPlot]\nAppPath=" + fs::canonical(korund).string() + "\n",
            Slurp(dir / "config" / "Quellmark" / "SigmaPlot.ini"));

  EXPECT_EQ(1, Run("weibull --transcript t.jsonl"));  // no notebook
  EXPECT_EQ("NO WORKSHEET -> \"Cancel\"\nPLUGIN TERMINATING -> \"OK\"\n", Transcript());
  // The box that names the host is followed by what happened here.
  EXPECT_NE(std::string::npos,
            err.find("open in SigmaPlot\n  -> Cancel\nkorund: no notebook given (use --notebook FILE "
                     "or KORUND_NOTEBOOK)\n[PLUGIN TERMINATING]"))
      << err;
  std::ofstream(dir / "nb.json") << korund::testing::NotebookText(R"("1": {"cells": [3.1]})");
  EXPECT_EQ(1, Run("weibull --notebook nb.json --worksheet Data1"));
  EXPECT_NE(std::string::npos,
            err.find("\nkorund: nb.json: there is no worksheet named \"Data1\"; its worksheets: "
                     "\"Data 1\"\n"))
      << err;

  EXPECT_EQ(1, Run("weibull --transcript no/such/t.jsonl"));
  EXPECT_EQ(0, Run("--version"));
  EXPECT_EQ("2.00\n", out);
}

TEST_F(KorundProcessTest, LockedWorksheetStopsBatchRunsUnlessUnlockIsGiven) {
  const std::string notebook = R"({"format": "korund-notebook", "version": 1, "current": "D",
    "items": [{"type": "section", "name": "S"}, {"type": "worksheet", "name": "D", "columns":
      {"1": {"cells": ["set A", 3.1, 3.4, 2.9, 3.3]}, "56": {"cells": [null, null, -1]}}}]})";
  std::ofstream(dir / "nb.json") << notebook;
  EXPECT_EQ(3, Run("weibull --notebook nb.json --answer 'WORKSHEET IS LOCKED=&Unlock' "
                   "--transcript t.jsonl"));
  EXPECT_EQ(notebook, Slurp(dir / "nb.json"));
  EXPECT_EQ("WORKSHEET IS LOCKED -> \"&Stop\"\n", Transcript());

  EXPECT_EQ(0, Run("weibull --notebook nb.json --unlock"));
  EXPECT_NE(notebook, Slurp(dir / "nb.json"));
  EXPECT_NE(std::string::npos, out.find("[FINISHED]\nWeibull analysis complete:"));
}

// Qt lives in a module beside the program: a run without dialog windows or
// graphs never loads it, and one that needs it says so when it is missing.
TEST_F(KorundProcessTest, TheQtPartIsLoadedOnlyByRunsThatNeedIt) {
  const std::string needed = "readelf -d '" + korund.string() + "' > '" +
                             (dir / "needed.txt").string() + "' 2>/dev/null";
  if (std::system(needed.c_str()) == 0) {
    const std::string libraries = Slurp(dir / "needed.txt");
    EXPECT_NE(std::string::npos, libraries.find("NEEDED")) << libraries;
    EXPECT_EQ(std::string::npos, libraries.find("Qt")) << libraries;
  }
  auto qt_run = [&](const fs::path& program) {
    const korund::testing::ProcessRun run = korund::testing::RunIn(
        dir.string(), "env DISPLAY=:99 QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR= '" +
                          program.string() + "' --ui qt");
    err = run.err;
    return run.status;
  };
  EXPECT_EQ(2, qt_run(korund));  // the module made its Qt application; no word, the usage line
  EXPECT_EQ(std::string::npos, err.find("not available")) << err;

  // A copy of the program without its module still runs in batch.
  const fs::path alone = dir / "alone" / "korund";
  fs::create_directories(alone.parent_path());
  fs::copy_file(korund, alone);
  fs::permissions(alone, fs::perms::owner_exec, fs::perm_options::add);
  EXPECT_EQ(1, qt_run(alone));
  EXPECT_NE(std::string::npos, err.find("korund: the dialog windows are not available: cannot load "))
      << err;
  const std::string batch = "'" + alone.string() + "' --version > '" + (dir / "v.txt").string() + "'";
  EXPECT_EQ(0, std::system(batch.c_str()));
  EXPECT_EQ("2.00\n", Slurp(dir / "v.txt"));
}

}  // namespace
