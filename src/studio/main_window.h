// The notebook window: the items in a tree, the current worksheet as an
// editable grid (or a report as text) with its graph beside it and its
// results table in a dock below, the File, Edit, Analyse and Help menus and
// a toolbar. It renders the Document and turns the user's actions into the
// document's undoable steps; the analyses run through the UI back end it is
// given.
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "notebook/import_table.h"
#include "studio/analysis_run.h"
#include "studio/document.h"
#include "ui/ui.h"

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QTableView;
class QTextBrowser;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace korund::studio {

class GraphPane;
class ResultsPanel;
class WorksheetModel;

// The column an import starts at unless the user says otherwise: the first
// empty data column of the worksheet's analysis (1 to 10 for Weibull, the
// default; the first column of the first empty data block for fatigue), or
// the column after the last used one when those are all taken.
int ProposedImportColumn(const notebook::Worksheet& ws);

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // ui: the back end the analyses' dialogs and boxes go through; it must
  // outlive the window.
  explicit MainWindow(ui::Ui& ui, QWidget* parent = nullptr);
  ~MainWindow() override;

  Document& document() { return doc_; }
  QTableView* grid() const { return grid_; }
  QTreeWidget* tree() const { return tree_; }
  QTextBrowser* report_view() const { return report_; }
  WorksheetModel* model() const { return model_; }
  GraphPane* graph() const { return graph_; }
  ResultsPanel* results() const { return results_; }
  QToolBar* toolbar() const { return toolbar_; }
  // The banner that says the current worksheet changed after its analysis.
  QLabel* stale_banner() const { return stale_banner_; }

  // Opens a notebook file; on failure says why in a box and keeps what is
  // open. True when it opened.
  bool OpenFile(const QString& path);
  // Saves to the open file (Save As when it has none). True when saved.
  bool SaveFile();
  bool SaveFileAs(const QString& path);

  // The Edit menu's steps on the grid's selection and the system clipboard.
  void CopySelection();
  void PasteAtSelection();
  void ClearSelection();
  void InsertRowsAtSelection();
  void RemoveSelectedRows();
  // Runs an analysis on the current worksheet; a completed one is one undo
  // step, a stopped one changes nothing.
  AnalysisOutcome Analyse(Analysis analysis);
  // Imports a CSV file's columns, or the first sheet of a workbook (.xlsx),
  // into the current worksheet from `column`, as korund-notebook import
  // does; a first row with words in it gives the titles and labels. Says
  // what it noticed.
  bool ImportCsv(const QString& path, int column);
  bool ImportXlsx(const QString& path, int column);
  bool ExportCsv(const QString& path);
  // Writes the graph (.png, .svg, .pdf); says why it could not.
  bool ExportGraph(const QString& path);

  // Every question the window asks (save changes, overwrite, ...) goes
  // through this; tests replace it. Returns the button pressed.
  using Asker = std::function<QMessageBox::StandardButton(
      const QString& title, const QString& text, QMessageBox::StandardButtons buttons,
      QMessageBox::StandardButton default_button)>;
  void SetAsker(Asker asker) { ask_ = std::move(asker); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void RebuildTree();
  void SelectCurrentInTree();
  void OnTreeClicked(QTreeWidgetItem* item);
  void ShowItem(int index);
  void UpdateTitle();
  void UpdateStaleBanner();
  // Asks before a save overwrites a file changed on disk.
  Document::ConfirmOverwrite ConfirmOverwrite();
  // Asks to save unsaved changes; false when the user cancelled.
  bool MaybeSave();
  void Say(const QString& title, const QString& text);
  void AddRecent(const QString& path);
  void UpdateRecentMenu();
  void RenameCurrent();
  // Asks for the file and the first column, then imports CSV or XLSX.
  void ImportAsk(bool xlsx);
  bool ImportFile(const QString& path, int column, notebook::ImportFormat format);
  // Columns as wide as their contents (after an open or a run).
  void FitColumns();
  // The selection's bounding rectangle in worksheet numbers (column, row
  // 1-based); false when nothing is selected.
  bool SelectionRect(int* c0, int* c1, int* r0, int* r1) const;

  // A reset of the grid (rows inserted, an undo) keeps the selection and
  // the cursor where they were when the same worksheet stays shown.
  struct SavedSelection {
    int sheet = -1;
    int current_row = -1, current_column = -1;
    std::vector<std::array<int, 4>> ranges;  // top, left, bottom, right
  };
  void SaveSelection();
  void RestoreSelection();

  ui::Ui& ui_;
  SavedSelection saved_;
  Document doc_;
  WorksheetModel* model_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  QTableView* grid_ = nullptr;
  QTextBrowser* report_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  GraphPane* graph_ = nullptr;
  ResultsPanel* results_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QLabel* stale_banner_ = nullptr;
  int shown_report_ = -1;  // the report shown instead of the grid, or -1
  Asker ask_;
};

}  // namespace korund::studio
