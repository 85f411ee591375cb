// Runs the built korund in batch mode on small notebooks and checks the
// exit status, the cells written back and the transcript.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class AnalysisProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("KORUND_TEST_BINARY_DIR");
    ASSERT_NE(bin, nullptr) << "run through ctest";
    korund_ = fs::path(bin) / "bin" / "korund";
    dir_ = fs::temp_directory_path() /
           ("korund-process-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    notebook_ = dir_ / "lab.json";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A notebook with one section and one worksheet holding `columns`.
  void WriteNotebook(const json& columns, const json& extra_items = json::array()) {
    json items = json::array({{{"type", "section"}, {"name", "Section 1"}},
                              {{"type", "worksheet"}, {"name", "Data 1"}, {"columns", columns}}});
    for (const auto& item : extra_items) items.push_back(item);
    std::ofstream(notebook_) << json{{"format", "korund-notebook"}, {"version", 1},
                                     {"current", "Data 1"}, {"items", items}}
                                    .dump(1);
  }

  std::string ReadFile(const fs::path& p) const {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Runs korund with the notebook, batch mode and a transcript; returns the
  // exit status.
  int Run(const std::string& args) {
    const std::string cmd = "HOME='" + dir_.string() + "' XDG_CONFIG_HOME='" + dir_.string() +
                            "' '" + korund_.string() + "' " + args + " --batch --notebook '" +
                            notebook_.string() + "' --transcript '" +
                            (dir_ / "t.jsonl").string() + "' >'" + (dir_ / "out").string() +
                            "' 2>'" + (dir_ / "err").string() + "'";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  json Transcript() const {
    json lines = json::array();
    std::istringstream in(ReadFile(dir_ / "t.jsonl"));
    for (std::string line; std::getline(in, line);) lines.push_back(json::parse(line));
    return lines;
  }

  // Cell (1-based column and row) of the worksheet as written back.
  json Cell(int column, int row) const {
    const json doc = json::parse(ReadFile(notebook_));
    const json& cols = doc["items"][1]["columns"];
    const std::string key = std::to_string(column);
    if (!cols.contains(key) || !cols[key].contains("cells")) return nullptr;
    const json& cells = cols[key]["cells"];
    return row <= static_cast<int>(cells.size()) ? cells[row - 1] : json(nullptr);
  }
  std::string Title(int column) const {
    const json doc = json::parse(ReadFile(notebook_));
    return doc["items"][1]["columns"][std::to_string(column)].value("title", "");
  }

  fs::path korund_, dir_, notebook_;
};

TEST_F(AnalysisProcessTest, WeibullWritesResultsAndSummary) {
  WriteNotebook({{"1", {{"cells", {"set A", 3.1, 3.4, 2.9, "MPA", 3300, 3600}}}}});
  ASSERT_EQ(Run("weibull --rank-function 0"), 0) << ReadFile(dir_ / "err");
  EXPECT_EQ(Cell(56, 2), 2);   // the options record: Weibull
  EXPECT_EQ(Cell(56, 4), 0);   // with the rank function asked for
  EXPECT_EQ(Cell(21, 1), 5);   // N: the row-1 label is not a strength
  EXPECT_EQ(Cell(31, 1), 2.9);  // sorted strengths in GPa
  EXPECT_EQ(Cell(31, 5), 3.6);
  // i/(N + 1) for the first of five: ln(ln(1/(1 - 1/6)))
  EXPECT_NEAR(Cell(41, 1).get<double>(), std::log(std::log(1.2)), 1e-15);
  EXPECT_EQ(Title(21), "set 1");
  const json t = Transcript();
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t.back()["title"], "FINISHED");
  EXPECT_EQ(t.back()["text"].get<std::string>().rfind(
                "Weibull analysis complete: \t\t\r\n\r\nSet 1:\t5 measurements\r\n", 0),
            0u);
  EXPECT_NE(ReadFile(dir_ / "out").find("Set 2:\tempty"), std::string::npos);
}

TEST_F(AnalysisProcessTest, StopLeavesTheNotebookByteForByte) {
  WriteNotebook({{"1", {{"cells", {3.1, 3.4}}}}, {"184", {{"cells", {0, 0}}}}});
  const std::string before = ReadFile(notebook_);
  EXPECT_EQ(Run("weibull --answer 'CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS=&Stop'"), 3);
  EXPECT_EQ(ReadFile(notebook_), before);
  // Row 1 numeric: the default answer continues, and the run completes.
  EXPECT_EQ(Run("weibull"), 0);
  EXPECT_NE(ReadFile(notebook_), before);
}

TEST_F(AnalysisProcessTest, DynamicFatigueFitsLogStrengthOnLogRate) {
  // Strength = 5 * rate^(1/20): slope 0.05, so nd = 19 up to the noise-free fit.
  json ids = json::array({"id"}), str = json::array({"GPA"}), rate = json::array({nullptr});
  for (double r : {0.01, 0.1, 1.0, 10.0}) {
    for (int k = 0; k < 3; ++k) {
      ids.push_back("s" + std::to_string(k));
      str.push_back(5 * std::pow(r, 0.05) * (1 + 0.01 * (k - 1)));
      rate.push_back(r);
    }
  }
  WriteNotebook({{"1", {{"cells", ids}}}, {"2", {{"cells", str}}}, {"3", {{"cells", rate}}}});
  ASSERT_EQ(Run("dynamic --mode rate"), 0) << ReadFile(dir_ / "err");
  EXPECT_EQ(Cell(184, 2), 0);
  EXPECT_EQ(Cell(12, 1), "N");
  EXPECT_EQ(Cell(13, 1), 12);
  EXPECT_EQ(Cell(12, 2), "nd");
  EXPECT_NEAR(Cell(13, 2).get<double>(), 19.0, 1e-6);
  EXPECT_EQ(Cell(10, 4), 3);  // three breaks at the fourth rate
  EXPECT_EQ(Title(2), "raw str 1");
  EXPECT_NE(ReadFile(dir_ / "out").find("Set 1:\t12 measurements at 4 rates"), std::string::npos);
}

TEST_F(AnalysisProcessTest, RejectedDialogValueEndsWithoutWriting) {
  WriteNotebook({{"2", {{"cells", {3.0, 3.1}}}}, {"3", {{"cells", {1, 10}}}}});
  const std::string before = ReadFile(notebook_);
  EXPECT_EQ(Run("dynamic --ignore-ids '#1'"), 1);
  EXPECT_EQ(ReadFile(notebook_), before);
  const json t = Transcript();
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t[0]["text"],
            "Invalid character in ignore trigger characters.\r"
            "Do not use numbers or other non-printable characters.");
}

TEST_F(AnalysisProcessTest, StaticRunAddsTheReportItsRecordAsksFor) {
  json times = json::array(), stress = json::array();
  for (double s : {2.0, 2.5, 3.0}) {
    for (int k = 1; k <= 3; ++k) {
      times.push_back(std::pow(s, -20.0) * 1e8 * k);
      stress.push_back(s);
    }
  }
  json record = json::array({2, 1, 0, nullptr, 0, 0, 1.2, 0, nullptr, "\"2.00\"", 0, 1, -1});
  WriteNotebook({{"2", {{"cells", times}}}, {"3", {{"cells", stress}}}, {"184", {{"cells", record}}}},
                json::array({{{"type", "section"}, {"name", "Section 2"}}}));
  ASSERT_EQ(Run("static"), 0) << ReadFile(dir_ / "err");
  EXPECT_EQ(Cell(12, 2), "ns");
  EXPECT_NEAR(Cell(13, 2).get<double>(), 20.0, 1e-6);  // log t falls 20 decades per decade
  const json doc = json::parse(ReadFile(notebook_));
  ASSERT_EQ(doc["items"].size(), 4u);
  EXPECT_EQ(doc["items"][2]["type"], "report");  // after the worksheet, in its section
  const std::string text = doc["items"][2]["text"];
  EXPECT_EQ(text.rfind("STATIC FATIGUE ANALYSIS\r\n\r\nDATA SET 1\r\n", 0), 0u) << text;
}

TEST_F(AnalysisProcessTest, QtWithoutADisplayEndsBeforeReadingAnything) {
  // The notebook does not exist: had it been read, the run would say so.
  const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY '" + korund_.string() +
                          "' weibull --ui qt --notebook '" + (dir_ / "none.json").string() +
                          "' >'" + (dir_ / "out").string() + "' 2>'" + (dir_ / "err").string() +
                          "'";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(1, WEXITSTATUS(status));
  EXPECT_EQ("korund: --ui qt needs a display: neither DISPLAY nor WAYLAND_DISPLAY is set\n",
            ReadFile(dir_ / "err"));
  EXPECT_EQ("", ReadFile(dir_ / "out"));
}

}  // namespace
