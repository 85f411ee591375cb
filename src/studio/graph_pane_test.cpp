#include "studio/graph_pane.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>
#include <filesystem>
#include <memory>

#include "gui/plot_view.h"
#include "testing/studio_test_support.h"

namespace korund::studio {
namespace {

class GraphPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
    pane_ = std::make_unique<GraphPane>(doc_);
  }
  // Opens a copy of the example, analysed by korund --batch when `word` is
  // not empty.
  void OpenExample(const std::string& example, const std::string& word) {
    const std::string copy = dir_.filePath("nb.json").toStdString();
    std::filesystem::copy_file(ExamplePath(example), copy);
    if (!word.empty()) {
      ASSERT_EQ(0, RunKorundBatch(word, copy));
    }
    std::string error;
    ASSERT_TRUE(doc_.Open(copy, &error)) << error;
  }

  QTemporaryDir dir_;
  Document doc_;
  std::unique_ptr<GraphPane> pane_;  // made once the application exists
};

TEST_F(GraphPaneTest, AWorksheetWithoutResultsSaysWhyThereIsNoGraph) {
  OpenExample("weibull-demo.json", "");
  EXPECT_FALSE(pane_->Redraw());
  // It names the menu, not the command line.
  EXPECT_EQ("No graph yet: choose Analyse \u2192 Weibull, Dynamic Fatigue or Static Fatigue.",
            pane_->message().toStdString());
  std::string error;
  EXPECT_FALSE(pane_->Export(dir_.filePath("g.png").toStdString(), &error));
}

TEST_F(GraphPaneTest, AnAnalysedWorksheetIsDrawnAndRedrawnAfterEdits) {
  OpenExample("dynamic-demo.json", "dynamic");
  EXPECT_TRUE(pane_->Redraw());
  EXPECT_GT(pane_->view()->graphCount(), 0);
  // Clearing the whole worksheet leaves nothing to draw; the pane follows
  // on its own shortly after.
  doc_.ClearCells(doc_.current(), 0, 300, 1, 1'000'000);
  QTest::qWait(400);
  EXPECT_FALSE(pane_->has_graph());
  doc_.undo_stack().undo();
  QTest::qWait(400);
  EXPECT_TRUE(pane_->has_graph());
}

TEST_F(GraphPaneTest, TheCheckBoxShowsOrHidesTheWeibullBands) {
  OpenExample("weibull-demo.json", "weibull");
  ASSERT_TRUE(pane_->Redraw());
  ASSERT_TRUE(pane_->bands_box()->isEnabled());
  const int with_bands = pane_->view()->plottableCount();
  pane_->bands_box()->setChecked(false);  // redraws at once
  // Three sets, each a fill and two bound lines.
  EXPECT_EQ(with_bands - 9, pane_->view()->plottableCount());
  pane_->bands_box()->setChecked(true);
  EXPECT_EQ(with_bands, pane_->view()->plottableCount());
}

TEST_F(GraphPaneTest, TheGraphExportsAsPngSvgAndPdf) {
  OpenExample("weibull-demo.json", "weibull");
  const std::pair<const char*, const char*> files[] = {
      {"g.png", "\x89PNG"}, {"g.svg", "<?xml"}, {"g.pdf", "%PDF"}};
  for (const auto& [name, magic] : files) {
    SCOPED_TRACE(name);
    const std::string path = dir_.filePath(name).toStdString();
    std::string error;
    ASSERT_TRUE(pane_->Export(path, &error)) << error;
    EXPECT_EQ(0u, ReadFile(path).rfind(magic, 0));
  }
  std::string error;
  EXPECT_FALSE(pane_->Export(dir_.filePath("g.gif").toStdString(), &error));
  EXPECT_NE(std::string::npos, error.find(".png")) << error;
}

}  // namespace
}  // namespace korund::studio
