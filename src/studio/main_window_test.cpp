// The window on the offscreen platform: what it shows of a notebook, edits
// through the grid and the clipboard, analyses as undo steps, saving, and
// the speed of a large worksheet.
#include "studio/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QLabel>
#include <QStatusBar>
#include <QTreeWidget>
#include <filesystem>

#include "gui/form_dialog.h"
#include "gui/help_viewer.h"
#include "gui/qt_ui.h"
#include "notebook/notebook_file.h"
#include "notebook/xlsx.h"
#include "testing/studio_test_support.h"
#include "studio/worksheet_model.h"
#include "tools/import_command.h"

namespace korund::studio {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
    ui_ = std::make_unique<gui::QtUi>();
    window_ = std::make_unique<MainWindow>(*ui_);
    ui_->SetShownHook([this](QWidget& w) {
      shown_.push_back(w.windowTitle().toStdString());
      if (auto* box = qobject_cast<QMessageBox*>(&w)) {
        box->defaultButton() != nullptr ? box->defaultButton()->click()
                                        : box->button(QMessageBox::Ok)->click();
      } else if (auto* form = dynamic_cast<gui::FormDialog*>(&w)) {
        QTest::keyClick(form, Qt::Key_Return);
      } else {
        w.close();
      }
    });
    window_->SetAsker([this](const QString& title, const QString&, QMessageBox::StandardButtons,
                             QMessageBox::StandardButton) {
      asked_.push_back(title.toStdString());
      return answer_;
    });
  }
  // Opens a copy of an example.
  std::string OpenExample(const std::string& name) {
    const std::string copy = dir_.filePath(QString::fromStdString(name)).toStdString();
    std::filesystem::copy_file(ExamplePath(name), copy);
    EXPECT_TRUE(window_->OpenFile(QString::fromStdString(copy)));
    return copy;
  }
  QString Shown(int row, int column) {
    return window_->model()->data(window_->model()->index(row, column), Qt::DisplayRole).toString();
  }
  std::string Cells() {
    return SheetText(*window_->document().notebook().item(window_->model()->sheet()).worksheet());
  }
  void Select(int row0, int column0, int row1, int column1) {
    QTableView* g = window_->grid();
    g->setCurrentIndex(g->model()->index(row0, column0));
    g->selectionModel()->select(
        QItemSelection(g->model()->index(row0, column0), g->model()->index(row1, column1)),
        QItemSelectionModel::ClearAndSelect);
  }

  QTemporaryDir dir_;
  std::unique_ptr<gui::QtUi> ui_;
  std::unique_ptr<MainWindow> window_;
  std::vector<std::string> shown_;
  std::vector<std::string> asked_;
  QMessageBox::StandardButton answer_ = QMessageBox::Cancel;
};

TEST_F(MainWindowTest, AnOpenedExampleShowsItsItemsAndItsCurrentWorksheet) {
  OpenExample("weibull-demo.json");
  QTreeWidget* tree = window_->tree();
  ASSERT_EQ(1, tree->topLevelItemCount());
  EXPECT_EQ("Section 1", tree->topLevelItem(0)->text(0));
  EXPECT_EQ("Data 1", tree->topLevelItem(0)->child(0)->text(0));
  EXPECT_EQ("weibull-demo.json[*] - KORUND Studio", window_->windowTitle());
  EXPECT_FALSE(window_->isWindowModified());
  const notebook::Worksheet& ws = *window_->document().notebook().item(1).worksheet();
  EXPECT_EQ(QString::fromStdString(ToText(ws.Cell(1, 1))), Shown(0, 1));
}

TEST_F(MainWindowTest, EditsAndTheGridsKeysMarkTheWindowAndUndoRedoWalkThem) {
  OpenExample("weibull-demo.json");
  const std::string original = Cells();
  QTableView* g = window_->grid();
  window_->show();
  g->setCurrentIndex(g->model()->index(2, 1));
  g->edit(g->currentIndex());
  auto* editor = g->findChild<QLineEdit*>();
  ASSERT_NE(nullptr, editor);
  editor->selectAll();
  QTest::keyClicks(editor, "4.75");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the delegate commits through a queued call
  EXPECT_EQ("4.75", Shown(2, 1));
  EXPECT_TRUE(window_->isWindowModified());
  QApplication::setActiveWindow(window_.get());
  g->setFocus();
  Select(0, 1, 1, 2);
  QTest::keyClick(g, Qt::Key_Delete);
  EXPECT_EQ("", Shown(0, 1));
  EXPECT_EQ("", Shown(1, 2));
  QTest::keyClick(g, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_NE("", Shown(0, 1));
  window_->document().undo_stack().undo();
  EXPECT_EQ(original, Cells());
  EXPECT_FALSE(window_->isWindowModified());
  window_->document().undo_stack().redo();
  EXPECT_EQ("4.75", Shown(2, 1));
}

TEST_F(MainWindowTest, ARangeCopiedFromASpreadsheetPastesAtTheSelection) {
  window_->document().NewNotebook();
  QApplication::clipboard()->setText("3.1\tMPA\r\n3.4\t\r\n2.9\t3000\r\n");
  Select(4, 2, 4, 2);
  window_->PasteAtSelection();
  EXPECT_EQ("3.1", Shown(4, 2));
  EXPECT_EQ("MPA", Shown(4, 3));
  EXPECT_EQ("3000", Shown(6, 3));
  EXPECT_EQ(1, window_->document().undo_stack().count());
  // Copy gives the same text back, tab-separated.
  Select(4, 2, 6, 3);
  window_->CopySelection();
  EXPECT_EQ("3.1\tMPA\n3.4\t\n2.9\t3000\n", QApplication::clipboard()->text());
  // A list pasted on a whole selected column fills it from the top.
  QApplication::clipboard()->setText("1\n2\n3\n");
  window_->grid()->selectColumn(4);
  window_->PasteAtSelection();
  EXPECT_EQ("2 []     3.1 3.4 2.9\n3 []     MPA  3000\n4 [] 1 2 3\n", Cells());
}

TEST_F(MainWindowTest, RowsAreInsertedAndDeletedAtTheSelection) {
  window_->document().NewNotebook();
  window_->document().SetCells(1, 1, 1, {{Value(1.0)}, {Value(2.0)}, {Value(3.0)}}, "fill");
  Select(1, 1, 2, 1);
  window_->InsertRowsAtSelection();
  EXPECT_EQ("1 [] 1   2 3\n", Cells());
  window_->RemoveSelectedRows();
  EXPECT_EQ("1 [] 1 2 3\n", Cells());
}

TEST_F(MainWindowTest, AnAnalysisIsOneUndoStepAndShowsItsResults) {
  OpenExample("dynamic-demo.json");
  const std::string original = Cells();
  const AnalysisOutcome outcome = window_->Analyse(Analysis::kDynamic);
  ASSERT_TRUE(outcome.completed) << outcome.message;
  EXPECT_EQ("FINISHED", shown_.back());
  EXPECT_NE(original, Cells());
  EXPECT_TRUE(window_->isWindowModified());
  EXPECT_EQ(1, window_->document().undo_stack().count());
  EXPECT_TRUE(window_->stale_banner()->isHidden());
  // Data changed after the analysis: the results stay, with a banner.
  Document& doc = window_->document();
  doc.SetCells(doc.current(), 2, 1, {{Value(99.0)}}, "Edit");
  EXPECT_FALSE(window_->stale_banner()->isHidden());
  EXPECT_EQ("worksheet \"Data 1\" changed after its dynamic fatigue analysis; run `korund dynamic` "
            "again",
            window_->stale_banner()->text());
  doc.undo_stack().undo();
  EXPECT_TRUE(window_->stale_banner()->isHidden());
  doc.undo_stack().undo();
  EXPECT_EQ(original, Cells());
}

TEST_F(MainWindowTest, NotesOnTheDataStayInTheStatusBar) {
  OpenExample("weibull-demo.json");
  Document& doc = window_->document();
  doc.SetCells(doc.current(), 3, 1, {{Value(3100.0)}, {Value(3797.0)}, {Value(2900.0)}}, "Edit");
  ASSERT_TRUE(window_->Analyse(Analysis::kWeibull).completed);
  const QString message = window_->statusBar()->currentMessage();
  EXPECT_TRUE(message.startsWith("Weibull analysis finished — ")) << message.toStdString();
  EXPECT_TRUE(message.contains("set 3: strengths up to 3797 GPa")) << message.toStdString();
}

TEST_F(MainWindowTest, AReportItemIsShownAsText) {
  const std::string path = dir_.filePath("report.json").toStdString();
  WriteFile(path, R"({"format": "korund-notebook", "version": 1, "items": [
    {"type": "worksheet", "name": "Data 1"},
    {"type": "report", "name": "Report 1", "text": "first\rsecond"}]})");
  ASSERT_TRUE(window_->OpenFile(QString::fromStdString(path)));
  QTreeWidgetItem* report = window_->tree()->topLevelItem(1);
  ASSERT_EQ("Report 1", report->text(0));
  emit window_->tree()->itemClicked(report, 0);
  EXPECT_TRUE(window_->report_view()->isVisibleTo(window_.get()));
  EXPECT_EQ("first\nsecond", window_->report_view()->toPlainText());
  emit window_->tree()->itemClicked(window_->tree()->topLevelItem(0), 0);
  EXPECT_FALSE(window_->report_view()->isVisibleTo(window_.get()));
}

// What the document decides is its own test's; here the window asks and
// tells.
TEST_F(MainWindowTest, TheWindowAsksBeforeOverwritingAChangedFileAndSaysWhyOneDidNotOpen) {
  const std::string broken = dir_.filePath("broken.json").toStdString();
  WriteFile(broken, "[1, 2");
  EXPECT_FALSE(window_->OpenFile(QString::fromStdString(broken)));
  EXPECT_EQ(std::vector<std::string>{"Cannot open notebook"}, asked_);
  EXPECT_EQ("Untitled[*] - KORUND Studio", window_->windowTitle());

  const std::string path = OpenExample("static-demo.json");
  window_->document().SetCells(1, 30, 1, {{Value(43.0)}}, "edit");
  WriteFile(path, ReadFile(path) + "\n");  // another program touched it
  answer_ = QMessageBox::No;
  EXPECT_FALSE(window_->SaveFile());
  EXPECT_EQ(std::string::npos, ReadFile(path).find("43"));
  EXPECT_TRUE(window_->isWindowModified());
  answer_ = QMessageBox::Yes;
  EXPECT_TRUE(window_->SaveFile());
  EXPECT_NE(std::string::npos, ReadFile(path).find("43"));
  EXPECT_FALSE(window_->isWindowModified());
  EXPECT_EQ((std::vector<std::string>{"Cannot open notebook", "Notebook changed on disk",
                                      "Notebook changed on disk"}),
            asked_);
}

TEST_F(MainWindowTest, ClosingWithUnsavedChangesAsksAndCancelKeepsTheWindow) {
  window_->show();
  window_->document().SetCells(1, 1, 1, {{Value(1.0)}}, "edit");
  answer_ = QMessageBox::Cancel;
  EXPECT_FALSE(window_->close());
  EXPECT_EQ(1u, asked_.size());
  answer_ = QMessageBox::Discard;
  EXPECT_TRUE(window_->close());
}

TEST_F(MainWindowTest, CsvImportPutsColumnsAtTheChosenColumnAndExportReadsThemBack) {
  window_->document().NewNotebook();
  const std::string csv = dir_.filePath("in.csv").toStdString();
  WriteFile(csv, "strength,unit\n3.1,MPA\n3.4,\n");
  ASSERT_TRUE(window_->ImportCsv(QString::fromStdString(csv), 3));
  EXPECT_EQ("3 [strength] 3.1 3.4\n4 [unit] MPA\n", Cells());
  const std::string out = dir_.filePath("out.csv").toStdString();
  ASSERT_TRUE(window_->ExportCsv(QString::fromStdString(out)));
  EXPECT_EQ("strength,unit\r\n3.1,MPA\r\n3.4,\r\n", ReadFile(out));
}

// The studio's import and korund-notebook import --header on the same file
// give the same cells, labels and notes, or the same error, naming the file.
TEST_F(MainWindowTest, ImportsGiveTheCommandLinesCellsLabelsAndNotes) {
  notebook::Notebook source;
  notebook::Worksheet& lab = *source.AddWorksheet("Lab").worksheet();
  lab.SetTitle(1, "Lot D (GPa)");
  lab.SetCell(1, 1, 3.1);
  lab.SetCell(1, 2, Value("2,5"));
  lab.SetTitle(2, "rate");
  lab.ColumnAt(2).label = "Fibre R";
  lab.SetCell(2, 1, 0.01);
  std::string error;
  ASSERT_TRUE(notebook::WriteXlsx(source, dir_.filePath("lab.xlsx").toStdString(), &error));
  const std::string mistyped = "\" is kept as text; is it a mistyped number?\n";
  const std::string unit =
      " is put in row 1, above the data, and the data of every imported column start in row 2";
  const struct {
    const char* name;
    const char* csv;    // none for the workbook
    const char* sheet;  // cells, then labels
    std::string said;   // the notes, or the error after the file's name
  } cases[] = {
      {"unit.csv", "Lot C (MPa),rate\n3.1,1\n2.3.4,2\n",
       "1 [Lot C] MPA 3.1 2.3.4\n2 [rate]  1 2\nLot C|rate|",
       "row 3, column 1: \"2.3.4" + mistyped +
           "column 1 \"Lot C (MPa)\" is titled \"Lot C\"; the unit MPA" + unit},
      {"european.csv", "Probe;Festigkeit\r\nA;3,12\r\nB;2,95\r\n", "",
       ": line 2: 2 fields, more than the 1 of line 1; are the commas in \"A;3,12\" decimal "
       "commas? Then import with --separator ';' --decimal-comma"},
      {"lab.xlsx", nullptr, "1 [Lot D] GPA 3.1 2,5\n2 [rate]  0.01\nLot D|Fibre R|",
       "cell A3: \"2,5" + mistyped + "column 1 \"Lot D (GPa)\" is titled \"Lot D\"; the unit GPA" +
           unit},
      {"open.csv", "a,b\n\"open,\nmore", "", ": line 2: a quoted field is not closed"},
      {"none.xlsx", nullptr, "", ": cannot open: No such file"},
  };
  auto shown = [](const notebook::Worksheet& ws) {
    std::string text = SheetText(ws);
    for (const auto& [number, column] : ws.columns()) text += column.label.value_or("") + "|";
    return text;
  };
  std::string told;
  window_->SetAsker([&told](const QString&, const QString& text, QMessageBox::StandardButtons,
                            QMessageBox::StandardButton) {
    told = text.toStdString();
    return QMessageBox::Ok;
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string data = dir_.filePath(c.name).toStdString();
    if (c.csv != nullptr) WriteFile(data, c.csv);
    const std::string said = (c.said[0] == ':' ? data : "") + c.said;
    tools::ImportOptions o;
    o.file = dir_.filePath("cli.json").toStdString();
    o.data = data;
    o.header = true;
    WriteFile(o.file, R"({"format": "korund-notebook", "version": 1, "current": "Data 1",
                          "items": [{"type": "worksheet", "name": "Data 1"}]})");
    std::ostringstream out, err;
    const bool cli_done = tools::RunImport(o, out, err, &error);
    std::string cli_said = cli_done ? err.str() : error;
    for (size_t at; (at = cli_said.find("note: " + data + ": ")) != std::string::npos;) {
      cli_said.erase(at, data.size() + 8);
    }
    EXPECT_EQ(said, QString::fromStdString(cli_said).trimmed().toStdString());
    notebook::Notebook cli;
    ASSERT_TRUE(notebook::LoadNotebookFile(o.file, &cli, nullptr, &error)) << error;
    EXPECT_EQ(c.sheet, shown(*cli.item(0).worksheet()));

    window_->document().NewNotebook();
    told.clear();
    const QString path = QString::fromStdString(data);
    EXPECT_EQ(cli_done, c.csv ? window_->ImportCsv(path, 1) : window_->ImportXlsx(path, 1));
    EXPECT_EQ(said, told);
    EXPECT_EQ(c.sheet,
              shown(*window_->document().notebook().item(window_->model()->sheet()).worksheet()));
    window_->document().undo_stack().undo();
    EXPECT_EQ("", Cells());
  }
}

TEST_F(MainWindowTest, TheHelpMenuOpensEachAnalysissPage) {
  QAction* weibull = nullptr;
  for (QAction* menu : window_->menuBar()->actions()) {
    if (menu->text() != "&Help") continue;
    for (QAction* a : menu->menu()->actions()) {
      if (a->text().contains("Weibull")) weibull = a;
    }
  }
  ASSERT_NE(nullptr, weibull);
  weibull->trigger();
  auto* viewer = dynamic_cast<gui::HelpViewer*>(ui_->help_viewer());
  ASSERT_NE(nullptr, viewer);
  EXPECT_TRUE(viewer->browser()->toPlainText().contains("Weibull"));
}

// 10 columns of 10,000 values: opening, an edit and its undo, and drawing
// the grid stay well inside what feels immediate.
TEST_F(MainWindowTest, ALargeWorksheetStaysInteractive) {
  notebook::Notebook nb;
  nb.AddSection("Section 1");
  notebook::Worksheet& ws = *nb.AddWorksheet("Data 1").worksheet();
  for (int c = 1; c <= 10; ++c) {
    for (int r = 1; r <= 10000; ++r) ws.SetCell(c, r, 1.0 + r * 1e-4 + c);
  }
  nb.set_current("Data 1");
  std::string text, error;
  ASSERT_TRUE(notebook::SerializeNotebook(nb, "big", &text, &error));
  const std::string path = dir_.filePath("big.json").toStdString();
  WriteFile(path, text);
  window_->resize(1100, 700);
  window_->show();
  QElapsedTimer timer;
  timer.start();
  ASSERT_TRUE(window_->OpenFile(QString::fromStdString(path)));
  window_->grab();
  const qint64 open_ms = timer.restart();
  window_->grid()->scrollToBottom();
  window_->document().SetCells(1, 5, 9999, {{Value(7.0)}}, "edit");
  window_->grab();
  window_->document().undo_stack().undo();
  window_->grab();
  const qint64 edit_ms = timer.restart();
  std::printf("10 x 10,000 values: open and draw %lld ms; edit, undo, two redraws %lld ms\n",
              static_cast<long long>(open_ms), static_cast<long long>(edit_ms));
  EXPECT_LT(open_ms, 3000);
  EXPECT_LT(edit_ms, 1000);
  EXPECT_EQ(10000 + WorksheetModel::kSpareRows, window_->model()->rowCount());
}

}  // namespace
}  // namespace korund::studio
