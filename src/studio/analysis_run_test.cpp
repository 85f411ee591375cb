// Each analysis run from the studio through the Qt back end, its dialogs
// answered by their default buttons, against korund's batch run of the same
// example notebook: the worksheets must hold the same cells.
#include "studio/analysis_run.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "gui/form_dialog.h"
#include "gui/qt_ui.h"
#include "notebook/notebook_file.h"
#include "testing/studio_test_support.h"

namespace korund::studio {
namespace {

// Presses each box's default button and OK in the options dialog, or Cancel
// wherever there is one when `cancel` is set; records the titles shown.
void Answer(gui::QtUi& ui, std::vector<std::string>* shown, bool cancel = false) {
  ui.SetShownHook([shown, cancel](QWidget& w) {
    shown->push_back(w.windowTitle().toStdString());
    if (auto* box = qobject_cast<QMessageBox*>(&w)) {
      if (cancel && box->button(QMessageBox::Cancel) != nullptr) {
        box->button(QMessageBox::Cancel)->click();
        return;
      }
      box->defaultButton() != nullptr ? box->defaultButton()->click()
                                      : box->button(QMessageBox::Ok)->click();
    } else if (auto* form = dynamic_cast<gui::FormDialog*>(&w)) {
      if (cancel) {
        qobject_cast<QPushButton*>(form->Widget("cmdCancel"))->click();
      } else {
        QTest::keyClick(form, Qt::Key_Return);
      }
    } else {
      w.close();
    }
  });
}

class AnalysisRunTest : public ::testing::TestWithParam<std::pair<const char*, Analysis>> {
 protected:
  void SetUp() override { TestApp(); }
  QTemporaryDir dir_;
};

TEST_P(AnalysisRunTest, StudioRunHoldsTheCellsOfKorundsBatchRun) {
  const auto [example, analysis] = GetParam();
  const char* word = analysis == Analysis::kWeibull   ? "weibull"
                     : analysis == Analysis::kDynamic ? "dynamic"
                                                      : "static";
  const std::string copy = dir_.filePath("batch.json").toStdString();
  std::filesystem::copy_file(ExamplePath(example), copy);
  ASSERT_EQ(0, RunKorundBatch(word, copy)) << word;
  notebook::Notebook batch, before, after;
  std::string error;
  ASSERT_TRUE(notebook::LoadNotebookFile(copy, &batch, nullptr, &error)) << error;
  ASSERT_TRUE(notebook::LoadNotebookFile(ExamplePath(example), &before, nullptr, &error));

  gui::QtUi ui;
  std::vector<std::string> shown;
  Answer(ui, &shown);
  const AnalysisOutcome outcome = RunAnalysis(analysis, before, "Data 1", ui, &after);
  ASSERT_TRUE(outcome.completed) << outcome.message;
  ASSERT_EQ(2u, shown.size());  // the options dialog, then FINISHED
  EXPECT_EQ("FINISHED", shown[1]);
  // Compared as saved: what korund wrote back against what the studio saves.
  std::string text;
  notebook::Notebook saved;
  ASSERT_TRUE(notebook::SerializeNotebook(after, "studio", &text, &error)) << error;
  ASSERT_TRUE(notebook::ParseNotebook(text, "studio", &saved, &error)) << error;
  const std::string expected = SheetText(*batch.FindWorksheet("Data 1")->worksheet());
  EXPECT_EQ(expected, SheetText(*saved.FindWorksheet("Data 1")->worksheet()));
  EXPECT_EQ(ReadFile(copy), text);  // the whole notebook, byte for byte
  EXPECT_NE(expected, SheetText(*before.FindWorksheet("Data 1")->worksheet()));
  EXPECT_EQ(batch.size(), after.size());
}

TEST_P(AnalysisRunTest, CancelledRunChangesNothing) {
  const auto [example, analysis] = GetParam();
  notebook::Notebook before, after;
  std::string error;
  ASSERT_TRUE(notebook::LoadNotebookFile(ExamplePath(example), &before, nullptr, &error));
  after.AddSection("untouched");
  gui::QtUi ui;
  std::vector<std::string> shown;
  Answer(ui, &shown, /*cancel=*/true);
  const AnalysisOutcome outcome = RunAnalysis(analysis, before, "Data 1", ui, &after);
  EXPECT_FALSE(outcome.completed);
  EXPECT_EQ(ExitReason::kStopped, outcome.reason);
  EXPECT_EQ(1u, after.size());
  EXPECT_EQ("untouched", after.item(0).name());
}

INSTANTIATE_TEST_SUITE_P(Examples, AnalysisRunTest,
                         ::testing::Values(std::make_pair("weibull-demo.json", Analysis::kWeibull),
                                           std::make_pair("dynamic-demo.json", Analysis::kDynamic),
                                           std::make_pair("static-demo.json", Analysis::kStatic)));

TEST(AnalysisRunMissingSheetTest, AWorksheetThatIsNotThereEndsTheRunWithoutChanges) {
  TestApp();
  notebook::Notebook before, after;
  before.AddSection("Section 1");
  before.AddWorksheet("Data 1");
  gui::QtUi ui;
  std::vector<std::string> shown;
  Answer(ui, &shown, /*cancel=*/true);  // the Retry/Cancel box
  const AnalysisOutcome outcome = RunAnalysis(Analysis::kWeibull, before, "Nope", ui, &after);
  EXPECT_FALSE(outcome.completed);
  EXPECT_EQ(0u, after.size());
  // As korund: the Retry/Cancel box, then the box that ends the run.
  EXPECT_EQ((std::vector<std::string>{"NO WORKSHEET", "PLUGIN TERMINATING"}), shown);
}

}  // namespace
}  // namespace korund::studio
