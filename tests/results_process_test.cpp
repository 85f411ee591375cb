// Analyses copies of the example notebooks with the built korund, then
// checks that korund-notebook results reports exactly their result columns.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class ResultsProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("KORUND_TEST_BINARY_DIR");
    ASSERT_NE(bin, nullptr) << "run through ctest";
    bin_ = fs::path(bin) / "bin";
    dir_ = fs::temp_directory_path() /
           ("korund-results-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string ReadFile(const fs::path& p) const {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Copies the example, gives the columns the labels asked for, and
  // analyses it in batch mode.
  fs::path Analysed(const std::string& example, const std::string& word,
                    const std::map<std::string, std::string>& labels) {
    json doc = json::parse(ReadFile(fs::path(KORUND_EXAMPLES) / example));
    for (const auto& [column, label] : labels) doc["items"][1]["columns"][column]["label"] = label;
    const fs::path copy = dir_ / example;
    std::ofstream(copy) << doc.dump(1);
    EXPECT_EQ(0, Shell("HOME='" + dir_.string() + "' XDG_CONFIG_HOME='" + dir_.string() + "' '" +
                       (bin_ / "korund").string() + "' " + word + " --batch --notebook '" +
                       copy.string() + "' >/dev/null 2>'" + (dir_ / "err").string() + "'"))
        << ReadFile(dir_ / "err");
    return copy;
  }
  json Results(const fs::path& notebook, const std::string& options = "") {
    const fs::path out = dir_ / "results.json";
    EXPECT_EQ(0,
              Shell("'" + (bin_ / "korund-notebook").string() + "' results '" + notebook.string() +
                    "' --format json --digits 15 " + options + " >'" + out.string() + "'"));
    return json::parse(ReadFile(out));
  }
  // The worksheet's cell as a number, or null.
  static json Cell(const json& doc, int column, int row) {
    const json& columns = doc["items"][1]["columns"];
    const std::string key = std::to_string(column);
    if (!columns.contains(key) || !columns[key].contains("cells")) return nullptr;
    const json& cells = columns[key]["cells"];
    if (row > static_cast<int>(cells.size()) || !cells[row - 1].is_number()) return nullptr;
    return cells[row - 1];
  }
  static void ExpectSame(const json& cell, const json& reported, const std::string& where) {
    if (cell.is_null()) {
      EXPECT_TRUE(reported.is_null()) << where;
      return;
    }
    ASSERT_TRUE(reported.is_number()) << where;
    const double x = cell.get<double>();
    EXPECT_NEAR(x, reported.get<double>(), std::abs(x) * 1e-14) << where;
  }

  fs::path bin_, dir_;
};

TEST_F(ResultsProcessTest, WeibullTableIsTheResultColumnsOfTheExample) {
  const fs::path nb = Analysed("weibull-demo.json", "weibull", {{"2", "Fibre B"}});
  const json doc = json::parse(ReadFile(nb));
  const json table = Results(nb);
  EXPECT_EQ("weibull", table["kind"]);
  const int rows[] = {1, 2, 4, 12, 13, 14, 15, 16, 17, 20, 21, 25, 26, 30, 31, 35, 34, 38, 37};
  ASSERT_EQ(std::size(rows) + 1, table["columns"].size());
  ASSERT_EQ(3u, table["rows"].size()) << table.dump();
  const char* names[] = {"Set 1", "Fibre B", "Set 3"};
  for (int n = 1; n <= 3; ++n) {
    const json& row = table["rows"][n - 1];
    EXPECT_EQ(names[n - 1], row[0]);
    for (size_t i = 0; i < std::size(rows); ++i) {
      ExpectSame(Cell(doc, 20 + n, rows[i]), row[i + 1],
                 "set " + std::to_string(n) + " row " + std::to_string(rows[i]));
    }
    EXPECT_FALSE(row[4].is_null()) << "the MLE modulus is there";
  }
}

TEST_F(ResultsProcessTest, FatigueTablesAreTheResultColumnsOfTheExamples) {
  for (const auto& [example, word, parameter] :
       {std::tuple{"dynamic-demo.json", "dynamic", "nd"}, {"static-demo.json", "static", "ns"}}) {
    SCOPED_TRACE(example);
    const fs::path nb = Analysed(example, word, {{"32", "Coated"}});
    const json doc = json::parse(ReadFile(nb));
    const json table = Results(nb);
    EXPECT_EQ(word, table["kind"]);
    EXPECT_EQ(parameter, table["columns"][2]);
    const int rows[] = {1, 2, 3, 4, 12, 13, 5, 7, 9};
    ASSERT_EQ(2u, table["rows"].size()) << table.dump();
    EXPECT_EQ("Set 1", table["rows"][0][0]);
    EXPECT_EQ("Coated", table["rows"][1][0]);
    for (int s = 1; s <= 2; ++s) {
      const json& row = table["rows"][s - 1];
      for (size_t i = 0; i < std::size(rows); ++i) {
        ExpectSame(Cell(doc, 30 * s - 29 + 12, rows[i]), row[i + 1],
                   "set " + std::to_string(s) + " row " + std::to_string(rows[i]));
      }
    }
  }
}

TEST_F(ResultsProcessTest, FormatsAndFailures) {
  const fs::path nb = Analysed("weibull-demo.json", "weibull", {});
  const std::string tool =
      "'" + (bin_ / "korund-notebook").string() + "' results '" + nb.string() + "' ";
  EXPECT_EQ(0,
            Shell(tool + "--format md --glossary --digits 3 >'" + (dir_ / "t.md").string() + "'"));
  const std::string md = ReadFile(dir_ / "t.md");
  EXPECT_EQ(0u, md.find("| Set | N | LS m | LS So (GPa) | MLE m |")) << md;
  EXPECT_NE(std::string::npos, md.find("\n- IEC m: ")) << md;
  EXPECT_EQ(0, Shell(tool + "--format xlsx --out '" + (dir_ / "t.xlsx").string() + "'"));
  EXPECT_EQ("PK", ReadFile(dir_ / "t.xlsx").substr(0, 2));
  EXPECT_EQ(1, Shell(tool + "--format xlsx 2>/dev/null"));
  EXPECT_EQ(2, Shell(tool + "--format pdf 2>/dev/null"));
  EXPECT_EQ(2, Shell(tool + "--digits 0 2>/dev/null"));
  // A worksheet no analysis has seen.
  const fs::path raw = dir_ / "raw.json";
  fs::copy_file(fs::path(KORUND_EXAMPLES) / "weibull-demo.json", raw);
  EXPECT_EQ(1, Shell("'" + (bin_ / "korund-notebook").string() + "' results '" + raw.string() +
                     "' 2>'" + (dir_ / "err").string() + "'"));
  EXPECT_NE(std::string::npos, ReadFile(dir_ / "err").find("holds no analysis results"));
}

}  // namespace
