// Runs the built korund as a process: exit statuses, standard streams and
// transcripts as a script calling the program sees them.
#include <sys/wait.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class KorundProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("KORUND_TEST_BINARY_DIR");
    ASSERT_NE(nullptr, bin) << "KORUND_TEST_BINARY_DIR is not set";
    korund = fs::path(bin) / "bin" / "korund";
    ASSERT_TRUE(fs::exists(korund)) << korund;
    dir = fs::temp_directory_path() /
          ("korund_process_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir / "home");
    config = dir / "config";
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs korund with args, standard input from /dev/null (so batch), a home
  // and settings folder of its own and no notebook from the environment.
  int Run(const std::vector<std::string>& args) {
    std::string cmd = "cd " + Quote(dir.string()) + " && env -u KORUND_NOTEBOOK HOME=" +
                      Quote((dir / "home").string()) + " XDG_CONFIG_HOME=" +
                      Quote(config.string()) + " " + Quote(korund.string());
    for (const std::string& a : args) cmd += " " + Quote(a);
    cmd += " </dev/null >out.txt 2>err.txt";
    const int raw = std::system(cmd.c_str());
    out = Slurp(dir / "out.txt");
    err = Slurp(dir / "err.txt");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  std::vector<nlohmann::json> Transcript() {
    std::vector<nlohmann::json> lines;
    std::istringstream in(Slurp(dir / "t.jsonl"));
    std::string line;
    while (std::getline(in, line)) lines.push_back(nlohmann::json::parse(line));
    return lines;
  }

  fs::path korund, dir, config;
  std::string out, err;
};

TEST_F(KorundProcessTest, UnknownAnalysisEndsWithStatusTwoAndTheBox) {
  EXPECT_EQ(2, Run({"fatigue", "--transcript", "t.jsonl"}));
  auto lines = Transcript();
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("msgbox", lines[0]["kind"]);
  EXPECT_EQ("PLUG-IN TERMINATING", lines[0]["title"]);
  EXPECT_EQ("FitType 0 not defined in Sub ReadCommandLine", lines[0]["text"]);
  EXPECT_EQ("OK", lines[0]["answer"]);
  EXPECT_THAT(err, HasSubstr("[PLUG-IN TERMINATING]\nFitType 0 not defined"));
  EXPECT_EQ("", out);
}

TEST_F(KorundProcessTest, EmptyCommandLineEndsSilentlyAfterRecordingAppPath) {
  EXPECT_EQ(2, Run({}));
  EXPECT_EQ("", out);
  EXPECT_EQ("", err);
  const std::string ini = Slurp(config / "Quellmark" / "SigmaPlot.ini");
  EXPECT_EQ("[SigmaPlot]\nAppPath=" + fs::canonical(korund).string() + "\n", ini);
}

TEST_F(KorundProcessTest, NoNotebookMeansNoWorksheet) {
  EXPECT_EQ(1, Run({"weibull", "--transcript", "t.jsonl"}));
  auto lines = Transcript();
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("NO WORKSHEET", lines[0]["title"]);
  EXPECT_EQ(nlohmann::json({"Retry", "Cancel"}), lines[0]["buttons"]);
  EXPECT_EQ("Cancel", lines[0]["answer"]);
  EXPECT_EQ("PLUGIN TERMINATING", lines[1]["title"]);
  EXPECT_EQ("Failed to open SigmaPlot worksheet.", lines[1]["text"]);
  EXPECT_THAT(err, HasSubstr("no notebook given (use --notebook FILE or KORUND_NOTEBOOK)"));
}

TEST_F(KorundProcessTest, LockedWorksheetStopsBatchRunsUnlessUnlockIsGiven) {
  const std::string notebook = R"({"format": "korund-notebook", "version": 1, "current": "Data 1",
    "items": [{"type": "section", "name": "Section 1"},
              {"type": "worksheet", "name": "Data 1",
               "columns": {"1": {"cells": ["set A", 3.1, 3.4, 2.9, 3.3]},
                           "56": {"cells": [null, null, -1]}}}]})";
  std::ofstream(dir / "nb.json") << notebook;

  EXPECT_EQ(3, Run({"weibull", "--notebook", "nb.json", "--answer",
                    "WORKSHEET IS LOCKED=&Unlock", "--transcript", "t.jsonl"}));
  EXPECT_EQ(notebook, Slurp(dir / "nb.json"));
  auto lines = Transcript();
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ("WORKSHEET IS LOCKED", lines[0]["title"]);
  EXPECT_EQ("&Stop", lines[0]["answer"]);

  EXPECT_EQ(0, Run({"weibull", "--notebook", "nb.json", "--unlock"}));
  EXPECT_NE(notebook, Slurp(dir / "nb.json"));
  EXPECT_THAT(out, HasSubstr("[FINISHED]\nWeibull analysis complete:"));
}

TEST_F(KorundProcessTest, VersionAndUsage) {
  EXPECT_EQ(0, Run({"--version"}));
  EXPECT_EQ("2.00\n", out);
  EXPECT_EQ(0, Run({"--help"}));
  EXPECT_THAT(out, HasSubstr("Exit status"));
  EXPECT_EQ(1, Run({"weibull", "--transcript", (dir / "no" / "such" / "t.jsonl").string()}));
}

}  // namespace
