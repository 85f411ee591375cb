// The plot subcommand: the description it writes for the example notebooks
// after real runs of korund, checked against the worksheets; the image files
// of the built program; and its failures, which leave nothing behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include "notebook/notebook.h"
#include "notebook/notebook_file.h"
#include "testing/json_support.h"
#include "testing/process_run.h"
#include "testing/test_files.h"
#include "tools/notebook_tool.h"

namespace korund::tools {
namespace {

namespace fs = std::filesystem;
using namespace korund::host::testing;
using korund::testing::Json;

class PlotCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("KORUND_TEST_BINARY_DIR");
    ASSERT_NE(bin, nullptr) << "run through ctest";
    bin_ = fs::path(bin) / "bin";
  }

  // Runs a program of the build in dir_; returns its status.
  int Shell(const std::string& command) { return korund::testing::RunIn(dir_.File(""), command).status; }

  // A copy of the example notebook, analysed by korund in batch mode, its
  // graph's description written by the run to WORD-run.json.
  std::string Analysed(const std::string& word) {
    const std::string copy = dir_.File(word + ".json");
    fs::copy_file(fs::path(KORUND_EXAMPLES_DIR) / (word + "-demo.json"), copy);
    EXPECT_EQ(0, Shell("'" + (bin_ / "korund").string() + "' " + word + " --batch --notebook '" +
                       copy + "' --plot '" + dir_.File(word + "-run.json") + "'"))
        << ReadFile(dir_.File("err.txt"));
    return copy;
  }

  // Runs the tool in this process; returns its standard output and error.
  std::string Tool(int status, std::vector<std::string> args) {
    args.insert(args.begin(), "korund-notebook");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream out;
    EXPECT_EQ(status, RunNotebookTool(static_cast<int>(argv.size()), argv.data(), out, out))
        << out.str();
    return out.str();
  }

  Json Description(const std::string& notebook, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"plot", notebook, "--out", dir_.File("plot.json")};
    args.insert(args.end(), extra.begin(), extra.end());
    Tool(0, args);
    return Json::Parse(ReadFile(dir_.File("plot.json")));
  }

  static notebook::Notebook Load(const std::string& path) {
    notebook::Notebook doc;
    std::string error;
    EXPECT_TRUE(notebook::LoadNotebookFile(path, &doc, nullptr, &error)) << error;
    return doc;
  }
  // Changes the notebook's worksheet "Data 1" on disk.
  static void Edit(const std::string& path, const std::function<void(notebook::Worksheet&)>& edit) {
    notebook::Notebook doc = Load(path);
    edit(*doc.FindWorksheet("Data 1")->worksheet());
    std::string text, error;
    ASSERT_TRUE(notebook::SerializeNotebook(doc, path, &text, &error)) << error;
    WriteFile(path, text);
  }

  TempDir dir_;
  fs::path bin_;
};

double Num(const Value& v) { return v.IsNumber() ? v.Number() : NAN; }

TEST_F(PlotCommandTest, WeibullExampleMatchesItsWorksheet) {
  const std::string file = Analysed("weibull");
  const Json plot = Description(file);
  EXPECT_EQ(ReadFile(dir_.File("plot.json")), ReadFile(dir_.File("weibull-run.json")));
  notebook::Notebook doc = Load(file);
  const notebook::Worksheet& sheet = *doc.FindWorksheet("Data 1")->worksheet();

  EXPECT_EQ(plot["kind"], "weibull");
  EXPECT_EQ(plot["x"]["scale"], "log");
  ASSERT_EQ(plot["series"].size(), 9u) << "three sets, then the two bounds of each";
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    const Json& series = plot["series"][n - 1];
    const Json& points = series["points"];
    ASSERT_EQ(static_cast<int>(points.size()), sheet.UsedRows(30 + n));
    for (int r = 1; r <= sheet.UsedRows(30 + n); ++r) {
      EXPECT_EQ(points[r - 1][0].Number(), Num(sheet.Cell(30 + n, r)));
      EXPECT_EQ(points[r - 1][1].Number(), Num(sheet.Cell(40 + n, r)));
    }
    EXPECT_EQ(series["fill"], series["color"]);
    // The least-squares line y = m ln x + c over the set's strengths.
    const double m = Num(sheet.Cell(20 + n, 2)), c = Num(sheet.Cell(20 + n, 6));
    const Json& line = plot["lines"][2 * (n - 1)];
    EXPECT_EQ(line["from"][0].Number(), Num(sheet.Cell(30 + n, 1)));
    EXPECT_NEAR(line["to"][1].Number(), m * std::log(line["to"][0].Number()) + c, 1e-9);
    EXPECT_EQ(line["style"], "dash");
    // The maximum-likelihood line passes the ordinate 0 at So.
    const Json& mle = plot["lines"][2 * (n - 1) + 1];
    const double mle_m = Num(sheet.Cell(20 + n, 10)), so = Num(sheet.Cell(20 + n, 15));
    EXPECT_NEAR(mle["from"][1].Number(), mle_m * (std::log(mle["from"][0].Number()) - std::log(so)),
                1e-9);
    // Its 95 % band: a lower and an upper bound along the line's range.
    for (int b = 0; b < 2; ++b) {
      const Json& band = plot["series"][3 + 2 * (n - 1) + b];
      EXPECT_EQ(band["role"], "band");
      EXPECT_EQ(band["set"].Number(), n);
      EXPECT_EQ(band["bound"], b == 0 ? "lower" : "upper");
      EXPECT_EQ(band["confidence"].Number(), 0.95);
      ASSERT_GE(band["points"].size(), 50u);
      EXPECT_NEAR(band["points"][0][1].Number(), mle["from"][1].Number(), 1e-12);
    }
  }
  EXPECT_EQ(plot["series"][0]["color"], "#0000ff");
  EXPECT_EQ(plot["series"][0]["marker"], "square");
  EXPECT_EQ(plot["series"][1]["color"], "#ff0000");
  EXPECT_EQ(plot["series"][1]["marker"], "triangle-up");
  EXPECT_EQ(plot["series"][0]["legend"].Text().rfind("Set 1: LS m = ", 0), 0u);
  EXPECT_EQ(plot["title"], "Data 1");  // the worksheet's name
  EXPECT_EQ(Description(file, {"--title", "Lot 7"})["title"], "Lot 7");

  const Json& ticks = plot["y"]["ticks"];
  ASSERT_EQ(static_cast<int>(ticks.size()), sheet.UsedRows(54));
  for (int r = 1; r <= sheet.UsedRows(54); ++r) {
    EXPECT_EQ(ticks[r - 1]["position"].Number(), Num(sheet.Cell(54, r)));
    EXPECT_EQ(ticks[r - 1]["label"], ToText(sheet.Cell(12, r)) + " %");
  }
}

// Decoding the codes, the labels and the ticks is the plot builder's; here,
// that the command's options reach it and its names for what it decoded.
TEST_F(PlotCommandTest, WeibullFollowsEditedCodesAndTheChosenSets) {
  const std::string file = Analysed("weibull");
  Edit(file, [](notebook::Worksheet& sheet) {
    sheet.SetCell(14, 2, "@rgb(10,200,30)");
    sheet.SetCell(13, 2, "@symbol(9,1,0)");
  });
  const Json plot = Description(file, {"--sets", "2", "--no-mle-line"});
  ASSERT_EQ(plot["series"].size(), 1u) << "no band without its line";
  EXPECT_EQ(plot["series"][0]["color"], "#0ac81e");
  // Too faint on white (2.2:1): drawn with an outline, the code kept.
  EXPECT_TRUE(plot["series"][0]["outline"].IsString());
  EXPECT_EQ(plot["series"][0]["marker"], "circle");
  EXPECT_EQ(plot["lines"].size(), 1u);
  EXPECT_EQ(Description(file, {"--sets", "2", "--no-bands"})["series"].size(), 1u);
  EXPECT_EQ(
      Description(file, {"--sets", "2", "--confidence", "90"})["series"][1]["confidence"].Number(),
      0.9);
}

TEST_F(PlotCommandTest, FatigueExamplesMatchTheirWorksheets) {
  for (const std::string word : {"dynamic", "static"}) {
    SCOPED_TRACE(word);
    const std::string file = Analysed(word);
    const Json plot = Description(file);
    notebook::Notebook doc = Load(file);
    const notebook::Worksheet& sheet = *doc.FindWorksheet("Data 1")->worksheet();
    EXPECT_EQ(plot["kind"], word);
    EXPECT_EQ(plot["y"]["scale"], "log");
    EXPECT_EQ(plot["x"]["title"], word == "static" ? "Applied stress (GPa)" : "Stress rate");
    ASSERT_EQ(plot["series"].size(), 4u);  // two sets: measurements, group means
    ASSERT_EQ(plot["lines"].size(), 2u);
    for (int s = 1; s <= 2; ++s) {
      const int b = 30 * s - 29;
      const Json& used = plot["series"][2 * (s - 1)];
      const Json& groups = plot["series"][2 * (s - 1) + 1];
      int untagged = 0;
      for (int r = 1; r <= sheet.UsedRows(b + 4); ++r) {
        if (sheet.Cell(b + 3, r).IsNumber() && sheet.Cell(b + 4, r).IsNumber()) ++untagged;
      }
      EXPECT_EQ(static_cast<int>(used["points"].size()), untagged);
      ASSERT_EQ(static_cast<int>(groups["points"].size()), sheet.UsedRows(b + 5));
      for (int r = 1; r <= sheet.UsedRows(b + 5); ++r) {
        EXPECT_EQ(groups["points"][r - 1][0].Number(), Num(sheet.Cell(b + 5, r)));
        EXPECT_EQ(groups["points"][r - 1][1].Number(), Num(sheet.Cell(b + 6, r)));
        EXPECT_EQ(groups["errors"][r - 1][0].Number(), Num(sheet.Cell(b + 7, r)));
        EXPECT_EQ(groups["errors"][r - 1][1].Number(), Num(sheet.Cell(b + 8, r)));
      }
      const Json& line = plot["lines"][s - 1];
      EXPECT_EQ(line["from"][0].Number(), Num(sheet.Cell(b + 18, 1)));
      EXPECT_EQ(line["to"][1].Number(), Num(sheet.Cell(b + 19, 2)));
      EXPECT_EQ(groups["legend"], "Set " + std::to_string(s));
      const std::string legend = line["legend"].Text();
      EXPECT_EQ(legend.rfind(word == "static" ? "fit: ns = " : "fit: nd = ", 0), 0u) << legend;
    }
  }
}

// The formats themselves are checked where the graphs are rendered; here,
// that the built program renders without a display at the asked size.
TEST_F(PlotCommandTest, TheProgramWritesAnImageOfTheAskedSize) {
  const std::string file = Analysed("dynamic");
  ASSERT_EQ(0, Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                     (bin_ / "korund-notebook").string() + "' plot '" + file + "' --out '" +
                     dir_.File("g.png") + "' --width 640 --height 480"))
      << ReadFile(dir_.File("err.txt"));
  const std::string png = ReadFile(dir_.File("g.png"));
  ASSERT_GT(png.size(), 24u);
  // The header's width and height, big-endian at bytes 16 and 20.
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x02\x80\0\0\x01\xe0", 8));
}

TEST_F(PlotCommandTest, FailuresWriteNothing) {
  const std::string file = Analysed("weibull");
  EXPECT_NE(Tool(1, {"plot", file, "--out", dir_.File("g.bmp")}).find(".png, .svg, .pdf or .json"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir_.File("g.bmp")));
  Tool(1, {"plot", file, "--out", dir_.File("no/such/dir/g.json")});
  EXPECT_NE(Tool(1, {"plot", file, "--kind", "static", "--out", dir_.File("g.json")})
                .find("nothing to draw"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir_.File("g.json")));
  Tool(1, {"plot", file, "--sets", "11", "--out", dir_.File("g.json")});
  Tool(2, {"plot", file, "--kind", "bogus", "--out", dir_.File("g.json")});

  const std::string fresh = dir_.File("fresh.json");
  Tool(0, {"new", fresh});
  EXPECT_NE(Tool(1, {"plot", fresh, "--out", dir_.File("g.json")}).find("no analysis results"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir_.File("g.json")));
  // An existing file is replaced whole or kept as it was.
  WriteFile(dir_.File("keep.json"), "old");
  Tool(1, {"plot", fresh, "--out", dir_.File("keep.json")});
  EXPECT_EQ(ReadFile(dir_.File("keep.json")), "old");
}

TEST_F(PlotCommandTest, NonPositiveValuesOnALogAxisAreLeftOutWithANote) {
  const std::string file = Analysed("weibull");
  Edit(file, [](notebook::Worksheet& sheet) { sheet.SetCell(31, 1, 0.0); });
  const std::string output = Tool(0, {"plot", file, "--out", dir_.File("g.json")});
  EXPECT_NE(output.find("note: 1 value that is not positive left out"), std::string::npos)
      << output;
  EXPECT_EQ(Json::Parse(ReadFile(dir_.File("g.json")))["dropped_points"], 1);
}

TEST_F(PlotCommandTest, KorundDrawsTheGraphAfterACompletedRunOnly) {
  const std::string copy = dir_.File("static.json");
  fs::copy_file(fs::path(KORUND_EXAMPLES_DIR) / "static-demo.json", copy);
  const std::string korund = "'" + (bin_ / "korund").string() + "' static --batch --notebook '" +
                             copy + "' --plot ";
  const std::string before = ReadFile(copy);
  EXPECT_EQ(1, Shell(korund + "'" + dir_.File("g.gif") + "'"));
  EXPECT_EQ(ReadFile(copy), before);
  EXPECT_NE(ReadFile(dir_.File("err.txt")).find("--plot"), std::string::npos);

  ASSERT_EQ(0, Shell("env -u DISPLAY -u WAYLAND_DISPLAY " + korund + "'" + dir_.File("g.svg") +
                     "' --plot-title 'Lot 7 at 85 C'"))
      << ReadFile(dir_.File("err.txt"));
  const std::string svg = ReadFile(dir_.File("g.svg"));
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  EXPECT_NE(svg.find("Lot 7 at 85 C"), std::string::npos);
}

}  // namespace
}  // namespace korund::tools
