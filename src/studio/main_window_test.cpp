// The window on the offscreen platform: what it shows of a notebook, edits
// through the grid and the clipboard, analyses as undo steps, saving, and
// the speed of a large worksheet.
#include "studio/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <filesystem>

#include "gui/form_dialog.h"
#include "gui/help_viewer.h"
#include "gui/plot_view.h"
#include "gui/qt_ui.h"
#include "notebook/notebook_file.h"
#include "notebook/xlsx.h"
#include "studio/file_dialogs.h"
#include "studio/graph_pane.h"
#include "studio/results_panel.h"
#include "studio/worksheet_model.h"
#include "testing/studio_test_support.h"
#include "tools/import_command.h"
#include "tools/results_command.h"
#include "util/run_settings.h"
#include "util/worksheet_layout.h"

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
  // It names the menu entry that runs the analysis again.
  EXPECT_EQ(
      "worksheet \"Data 1\" changed after its dynamic fatigue analysis; choose Analyse "
      "\u2192 Dynamic Fatigue again",
      window_->stale_banner()->text().toStdString());
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
  // The results panel marks them above the table of that worksheet.
  EXPECT_FALSE(window_->results()->data_notes()->isHidden());
  EXPECT_TRUE(window_->results()->data_notes()->text().contains("set 3: strengths up to 3797 GPa"));
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
  // The studio's page: the menu, not the command line, runs the analysis.
  const QString page = viewer->browser()->toPlainText();
  EXPECT_TRUE(page.contains("Run it with Analyse \u2192 Weibull")) << page.toStdString();
  EXPECT_FALSE(page.contains("korund weibull")) << page.toStdString();
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

// A session as a user drives it: open, type (Enter moves down), undo and
// redo with both habits' keys, import at the proposed column, analyse,
// export the graph, save as, reopen. The lots keep their names, the results
// show, and the graph's axis titles keep their size through redraws.
TEST_F(MainWindowTest, ASessionFromOpenToReopenKeepsNamesResultsAndFonts) {
  OpenExample("weibull-demo.json");
  window_->show();
  QApplication::setActiveWindow(window_.get());
  QTableView* g = window_->grid();
  // Columns fit their cells on open and after a run: none shows "4....".
  auto fits = [this, g](int c) {
    for (int r = 0; r < 40; ++r) {
      if (g->columnWidth(c) < g->fontMetrics().horizontalAdvance(Shown(r, c))) return false;
    }
    return true;
  };
  for (int c = 1; c <= 3; ++c) EXPECT_TRUE(fits(c)) << c;
  g->setFocus();
  g->setCurrentIndex(g->model()->index(2, 1));
  QTest::keyClick(g, Qt::Key_4);  // typing starts the editor
  auto* editor = g->findChild<QLineEdit*>();
  ASSERT_NE(nullptr, editor);
  QTest::keyClicks(editor, ".75");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ("4.75", Shown(2, 1));
  EXPECT_EQ(3, g->currentIndex().row());
  const struct {
    Qt::KeyboardModifiers modifiers;
    Qt::Key key;
    bool edited;
  } keys[] = {{Qt::ControlModifier, Qt::Key_Z, false},
              {Qt::ControlModifier, Qt::Key_Y, true},
              {Qt::ControlModifier, Qt::Key_Z, false},
              {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z, true}};
  for (const auto& k : keys) {
    QTest::keyClick(g, k.key, k.modifiers);
    EXPECT_EQ(k.edited, Shown(2, 1) == "4.75")
        << QKeySequence(k.key | k.modifiers).toString().toStdString();
  }

  const std::string csv = dir_.filePath("lot.csv").toStdString();
  WriteFile(csv, "Lot D\n4.1\n4.5\n3.9\n4.8\n5.2\n4.4\n");
  Document& doc = window_->document();
  const int column = ProposedImportColumn(*doc.notebook().item(doc.current()).worksheet());
  EXPECT_EQ(4, column);
  ASSERT_TRUE(window_->ImportCsv(QString::fromStdString(csv), column));
  ASSERT_TRUE(window_->Analyse(Analysis::kWeibull).completed);
  auto header = [this](int c) {
    return window_->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
  };
  EXPECT_EQ("4\nLot D\nraw 4", header(4));
  QTableWidget* results = window_->results()->table();
  ASSERT_EQ(4, results->rowCount());
  EXPECT_EQ("Lot D", results->item(3, 0)->text());
  for (int c = 1; c <= 33; ++c) EXPECT_TRUE(fits(c)) << c;

  GraphPane* graph = window_->graph();
  ASSERT_TRUE(graph->Redraw());
  const double title_size = graph->view()->xAxis->labelFont().pointSizeF();
  for (int i = 0; i < 3; ++i) graph->Redraw();
  EXPECT_EQ(title_size, graph->view()->xAxis->labelFont().pointSizeF());
  EXPECT_EQ(title_size, graph->view()->yAxis->labelFont().pointSizeF());

  const QString png = dir_.filePath("graph.png");
  ASSERT_TRUE(window_->ExportGraph(png));
  EXPECT_EQ(0u, ReadFile(png.toStdString()).rfind("\x89PNG", 0));
  const QString saved = dir_.filePath("saved.json");
  ASSERT_TRUE(window_->SaveFileAs(saved));
  EXPECT_FALSE(window_->isWindowModified());

  ASSERT_TRUE(window_->OpenFile(saved));
  EXPECT_EQ("4\nLot D\nraw 4", header(4));
  EXPECT_EQ("4.75", Shown(2, 1));
  EXPECT_EQ(4, window_->results()->table()->rowCount());
  EXPECT_TRUE(window_->stale_banner()->isHidden());
  EXPECT_TRUE(asked_.empty());
}

// The panel holds what korund-notebook results prints, shown, copied and
// exported; it follows edits with the stale-results line.
TEST_F(MainWindowTest, TheResultsPanelHoldsTheResultsCommandsTable) {
  const std::pair<const char*, Analysis> examples[] = {{"weibull-demo.json", Analysis::kWeibull},
                                                       {"dynamic-demo.json", Analysis::kDynamic},
                                                       {"static-demo.json", Analysis::kStatic}};
  ResultsPanel* panel = window_->results();
  for (const auto& [example, analysis] : examples) {
    SCOPED_TRACE(example);
    const std::string path = OpenExample(example);
    EXPECT_TRUE(panel->message().startsWith("No results yet: choose Analyse"));
    ASSERT_TRUE(window_->Analyse(analysis).completed);
    ASSERT_TRUE(window_->SaveFile());
    tools::ResultsOptions o;
    o.file = path;
    std::ostringstream out, err;
    std::string error;
    ASSERT_TRUE(tools::RunResults(o, out, err, &error)) << error;
    // The examples' names hold no comma, so their CSV is the TSV with commas.
    QString expected = QString::fromStdString(out.str()).replace("\r\n", "\n");
    expected.replace(',', '\t');
    EXPECT_EQ(expected.toStdString(), panel->AsTsv());
    QString shown;
    QTableWidget* t = panel->table();
    for (int r = -1; r < t->rowCount(); ++r) {
      for (int c = 0; c < t->columnCount(); ++c) {
        shown += (c > 0 ? "\t" : "") +
                 (r < 0 ? t->horizontalHeaderItem(c)->text() : t->item(r, c)->text());
      }
      shown += "\n";
    }
    EXPECT_EQ(expected, shown);
    panel->Copy();
    EXPECT_EQ(expected, QApplication::clipboard()->text());
    const std::string csv = dir_.filePath("results.csv").toStdString();
    ASSERT_TRUE(panel->Export(csv, &error)) << error;
    EXPECT_EQ(out.str(), ReadFile(csv));
  }
  const std::pair<const char*, const char*> exports[] = {
      {"r.md", "| Set |"}, {"r.xlsx", "PK"}, {"r.txt", nullptr}, {"static-demo.json", nullptr}};
  for (const auto& [name, magic] : exports) {
    std::string error;
    EXPECT_EQ(magic != nullptr, panel->Export(dir_.filePath(name).toStdString(), &error)) << name;
    if (magic != nullptr) {
      EXPECT_EQ(0u, ReadFile(dir_.filePath(name).toStdString()).rfind(magic, 0));
    }
  }
  Document& doc = window_->document();
  doc.SetCells(doc.current(), layout::fatigue::SetColumn(1, layout::fatigue::kColRawY), 1,
               {{Value(9.0)}}, "Edit");
  QTest::qWait(400);
  EXPECT_FALSE(panel->stale_banner()->isHidden());
  EXPECT_EQ(window_->stale_banner()->text(), panel->stale_banner()->text());
  doc.undo_stack().undo();
  QTest::qWait(400);
  EXPECT_TRUE(panel->stale_banner()->isHidden());
}

TEST(ImportColumnTest, ImportsStartAtTheFirstEmptyDataColumnOfTheAnalysis) {
  namespace fl = layout::fatigue;
  const struct {
    const char* name;
    std::vector<int32_t> used;
    std::optional<int32_t> fatigue_kind;
    int32_t proposed;
  } cases[] = {
      {"empty worksheet", {}, std::nullopt, 1},
      {"Weibull sets 1, 2 and 4", {1, 2, 4}, std::nullopt, 3},
      {"all ten Weibull sets", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12}, std::nullopt, 13},
      {"dynamic set 1", {1, 2, 3}, kFitDynamic, 31},
      {"static set 2's rates only", {1, fl::SetColumn(2, fl::kColRawX)}, kFitStatic, 61},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    notebook::Worksheet ws;
    for (int32_t column : c.used) ws.SetCell(column, 1, Value(1.0));
    if (c.fatigue_kind) {
      ws.SetCell(layout::FatigueRecord::kColumn, layout::FatigueRecord::kKindRow,
                 Value(static_cast<double>(*c.fatigue_kind)));
    }
    EXPECT_EQ(c.proposed, ProposedImportColumn(ws));
  }
}

TEST(FileDialogsTest, ANameWithoutAKnownExtensionGetsTheChosenFilters) {
  const QString filters = "PNG image (*.png);;SVG drawing (*.svg);;PDF (*.pdf)";
  const struct {
    const char* typed;
    const char* filter;
    const char* path;
  } cases[] = {{"/t/graph", "PNG image (*.png)", "/t/graph.png"},
               {"/t/graph", "PDF (*.pdf)", "/t/graph.pdf"},
               {"/t/graph.SVG", "PNG image (*.png)", "/t/graph.SVG"},
               {"/t/run.v2", "SVG drawing (*.svg)", "/t/run.v2.svg"},
               {"/t/graph.png", "PNG image (*.png)", "/t/graph.png"}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.path, WithFilterExtension(c.typed, c.filter, filters).toStdString()) << c.typed;
  }
}

// Without a display the studio draws offscreen by itself instead of
// ending at Qt's "could not connect to display".
TEST(StudioProcessTest, AScreenshotNeedsNoDisplay) {
  TestApp();
  QTemporaryDir dir;
  const std::string nb = dir.filePath("w.json").toStdString();
  const std::string png = dir.filePath("w.png").toStdString();
  std::filesystem::copy_file(ExamplePath("weibull-demo.json"), nb);
  ASSERT_EQ(0, RunKorundBatch("weibull", nb));
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"" +
                              std::string(std::getenv("KORUND_TEST_BINARY_DIR")) +
                              "/bin/korund-studio\" --screenshot \"" + png + "\" \"" + nb +
                              "\" >/dev/null 2>&1";
  ASSERT_EQ(0, std::system(command.c_str()));
  EXPECT_EQ(0u, ReadFile(png).rfind("\x89PNG", 0));
}

}  // namespace
}  // namespace korund::studio
