#include "studio/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "host/atomic_file.h"
#include "notebook/analysis_stamp.h"
#include "notebook/csv.h"
#include "notebook/import_table.h"
#include "notebook/notebook_file.h"
#include "notebook/xlsx.h"
#include "plot/plot_builder.h"
#include "studio/file_dialogs.h"
#include "studio/graph_pane.h"
#include "studio/results_panel.h"
#include "studio/worksheet_model.h"
#include "util/worksheet_layout.h"
#include "ui/help_topics.h"
#include "util/run_settings.h"

namespace korund::studio {

namespace {

constexpr int kMaxRecent = 8;
constexpr int kIndexRole = Qt::UserRole;
// Columns fitted to their contents stop here; a long title is cut with
// "..." rather than pushing the rest of the sheet away.
constexpr int kMaxColumnWidth = 320;
constexpr int kMinColumnWidth = 64;

// Room for the headers and a few sets; the rest goes to the grid and graph.
constexpr int kResultsHeight = 190;

const char* kNotebookFilters = "Notebooks (*.json);;All files (*)";
const char* kGraphFilters = "PNG image (*.png);;SVG drawing (*.svg);;PDF (*.pdf)";

QString Q(const std::string& s) { return QString::fromStdString(s); }

QMessageBox::StandardButton AskWithBox(QWidget* parent, const QString& title, const QString& text,
                                       QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton default_button) {
  QMessageBox box(QMessageBox::Question, title, text, buttons, parent);
  box.setDefaultButton(default_button);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

MainWindow::MainWindow(ui::Ui& ui, QWidget* parent) : QMainWindow(parent), ui_(ui) {
  ui_.SetHelpReader(ui::HelpReader::kStudio);
  ask_ = [this](const QString& title, const QString& text, QMessageBox::StandardButtons buttons,
                QMessageBox::StandardButton default_button) {
    return AskWithBox(this, title, text, buttons, default_button);
  };
  model_ = new WorksheetModel(doc_, this);

  tree_ = new QTreeWidget;
  tree_->setHeaderHidden(true);
  tree_->setMinimumWidth(160);
  connect(tree_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { OnTreeClicked(item); });

  grid_ = new QTableView;
  grid_->setModel(model_);
  grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid_->horizontalHeader()->setDefaultSectionSize(90);
  grid_->verticalHeader()->setDefaultSectionSize(22);
  // A fixed row height keeps scrolling through 10,000 rows immediate.
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  grid_->horizontalHeader()->setMaximumSectionSize(kMaxColumnWidth);
  // Enter after typing moves down a row, as in a spreadsheet.
  connect(grid_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
          [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
            if (hint != QAbstractItemDelegate::SubmitModelCache) return;
            const QModelIndex cur = grid_->currentIndex();
            if (cur.isValid() && cur.row() + 1 < model_->rowCount()) {
              grid_->setCurrentIndex(model_->index(cur.row() + 1, cur.column()));
            }
          });

  report_ = new QTextBrowser;
  report_->setLineWrapMode(QTextEdit::NoWrap);
  QFont mono("Monospace");
  mono.setStyleHint(QFont::TypeWriter);
  report_->setFont(mono);

  stack_ = new QStackedWidget;
  stack_->addWidget(grid_);
  stack_->addWidget(report_);

  graph_ = new GraphPane(doc_);

  auto* split = new QSplitter;
  split->addWidget(tree_);
  split->addWidget(stack_);
  split->addWidget(graph_);
  split->setStretchFactor(1, 1);
  split->setStretchFactor(2, 1);
  split->setSizes({170, 560, 540});

  // Results older than their data stay on screen, but not without a word.
  stale_banner_ = new QLabel;
  stale_banner_->setObjectName("staleBanner");
  stale_banner_->setWordWrap(true);
  stale_banner_->setStyleSheet(
      "QLabel { background: #fff3cd; color: #664d03; border-bottom: 1px solid #e0c97a; "
      "padding: 4px 8px; }");
  stale_banner_->hide();
  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(stale_banner_);
  column->addWidget(split, 1);
  setCentralWidget(central);

  results_ = new ResultsPanel(doc_, [this](const QString& title, const QString& text) {
    Say(title, text);
  });
  auto* dock = new QDockWidget(tr("Results"), this);
  dock->setObjectName("resultsDock");
  dock->setWidget(results_);
  dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  // Below the grid and the graph, where a wide table has room.
  addDockWidget(Qt::BottomDockWidgetArea, dock);
  resizeDocks({dock}, {kResultsHeight}, Qt::Vertical);

  connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, &MainWindow::SaveSelection);
  connect(model_, &QAbstractItemModel::modelReset, this, &MainWindow::RestoreSelection);
  BuildMenus();
  connect(&doc_, &Document::structureChanged, this, [this] {
    RebuildTree();
    ShowItem(shown_report_ >= 0 ? shown_report_ : doc_.current());
  });
  connect(&doc_, &Document::currentChanged, this, [this] {
    SelectCurrentInTree();
    ShowItem(doc_.current());
  });
  connect(&doc_, &Document::stateChanged, this, &MainWindow::UpdateTitle);
  connect(&doc_, &Document::structureChanged, this, &MainWindow::UpdateStaleBanner);
  connect(&doc_, &Document::currentChanged, this, &MainWindow::UpdateStaleBanner);
  connect(&doc_, &Document::cellsChanged, this, &MainWindow::UpdateStaleBanner);
  RebuildTree();
  ShowItem(doc_.current());
  UpdateTitle();
  UpdateStaleBanner();
  resize(1280, 760);
}

MainWindow::~MainWindow() {
  // The views and the model read the document, which goes before the
  // QWidget base class would delete them.
  delete takeCentralWidget();  // the grid, the graph
  delete results_;
  delete model_;
}

void MainWindow::SaveSelection() {
  saved_ = {};
  saved_.sheet = model_->sheet();
  const QModelIndex cur = grid_->currentIndex();
  saved_.current_row = cur.row();
  saved_.current_column = cur.column();
  for (const QItemSelectionRange& r : grid_->selectionModel()->selection()) {
    saved_.ranges.push_back({r.top(), r.left(), r.bottom(), r.right()});
  }
}

void MainWindow::RestoreSelection() {
  if (saved_.sheet != model_->sheet() || saved_.current_row < 0) return;
  const QModelIndex cur = model_->index(saved_.current_row, saved_.current_column);
  grid_->selectionModel()->setCurrentIndex(cur, QItemSelectionModel::NoUpdate);
  QItemSelection sel;
  for (const auto& [top, left, bottom, right] : saved_.ranges) {
    sel.select(model_->index(top, left), model_->index(bottom, right));
  }
  grid_->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
}

void MainWindow::BuildMenus() {
  // Themed icons where the desktop has them, the style's own otherwise.
  auto icon = [this](const char* theme, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(theme, style()->standardIcon(fallback));
  };
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(icon("document-new", QStyle::SP_FileIcon), tr("&New"), QKeySequence::New, this,
                  [this] {
                    if (MaybeSave()) doc_.NewNotebook();
                  });
  QAction* open = file->addAction(icon("document-open", QStyle::SP_DialogOpenButton),
                                  tr("&Open..."), QKeySequence::Open, this, [this] {
                                    if (!MaybeSave()) return;
                                    const QString path = AskOpenFileName(
                                        this, tr("Open notebook"), tr(kNotebookFilters));
                                    if (!path.isEmpty()) OpenFile(path);
                                  });
  recent_menu_ = file->addMenu(tr("Open &Recent"));
  UpdateRecentMenu();
  QAction* save = file->addAction(icon("document-save", QStyle::SP_DialogSaveButton), tr("&Save"),
                                  QKeySequence::Save, this, [this] { SaveFile(); });
  // Spelled out: not every platform theme binds Save As to a key.
  file->addAction(tr("Save &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                  [this] { SaveFileAs({}); });
  file->addSeparator();
  QAction* import = file->addAction(icon("document-import", QStyle::SP_ArrowDown),
                                    tr("&Import CSV..."), this, [this] { ImportAsk(false); });
  file->addAction(tr("Import &XLSX..."), this, [this] { ImportAsk(true); });
  file->addAction(tr("&Export CSV..."), this, [this] {
    const QString path = AskSaveFileName(this, tr("Export CSV"), tr("CSV files (*.csv)"));
    if (!path.isEmpty()) ExportCsv(path);
  });
  QAction* export_graph =
      file->addAction(icon("document-export", QStyle::SP_DriveFDIcon), tr("Export &Graph..."),
                      this, [this] {
                        const QString path =
                            AskSaveFileName(this, tr("Export graph"), tr(kGraphFilters));
                        if (!path.isEmpty()) ExportGraph(path);
                      });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QAction* undo = doc_.undo_stack().createUndoAction(this, tr("&Undo"));
  undo->setShortcut(QKeySequence::Undo);
  undo->setIcon(icon("edit-undo", QStyle::SP_ArrowBack));
  QAction* redo = doc_.undo_stack().createRedoAction(this, tr("&Redo"));
  // Both habits: Ctrl+Y and Ctrl+Shift+Z, whatever the platform's own is.
  QList<QKeySequence> redo_keys = QKeySequence::keyBindings(QKeySequence::Redo);
  for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Y),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
    if (!redo_keys.contains(key)) redo_keys << key;
  }
  redo->setShortcuts(redo_keys);
  redo->setIcon(icon("edit-redo", QStyle::SP_ArrowForward));
  edit->addAction(undo);
  edit->addAction(redo);
  edit->addSeparator();
  edit->addAction(tr("&Copy"), QKeySequence::Copy, this, &MainWindow::CopySelection);
  edit->addAction(tr("&Paste"), QKeySequence::Paste, this, &MainWindow::PasteAtSelection);
  edit->addAction(tr("&Delete"), QKeySequence::Delete, this, &MainWindow::ClearSelection);
  edit->addSeparator();
  edit->addAction(tr("&Insert Rows"), this, &MainWindow::InsertRowsAtSelection);
  edit->addAction(tr("Delete Ro&ws"), this, &MainWindow::RemoveSelectedRows);
  edit->addSeparator();
  edit->addAction(tr("&Add Worksheet"), this, [this] { doc_.AddWorksheet(); });
  edit->addAction(tr("Re&name..."), this, &MainWindow::RenameCurrent);

  QMenu* analyse = menuBar()->addMenu(tr("&Analyse"));
  QList<QAction*> analyses;
  for (const AnalysisEntry& entry : AnalysisEntries()) {
    const Analysis which = entry.analysis;
    analyses << analyse->addAction(tr(entry.menu_text), this, [this, which] { Analyse(which); });
  }

  toolbar_ = addToolBar(tr("Main"));
  toolbar_->setObjectName("mainToolBar");
  toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  toolbar_->addActions({open, save, import});
  toolbar_->addSeparator();
  toolbar_->addActions(analyses);
  toolbar_->addSeparator();
  toolbar_->addActions({undo, redo});
  toolbar_->addSeparator();
  toolbar_->addAction(export_graph);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  for (const ui::HelpTopic& topic : ui::AllHelpTopics()) {
    const int id = topic.id;
    help->addAction(Q(std::string(topic.title)), this, [this, id] { ui_.ShowHelp(id); });
  }
  help->addSeparator();
  help->addAction(tr("&About KORUND Studio"), this, [this] {
    QMessageBox::about(this, tr("About KORUND Studio"),
                       tr("<h3>KORUND Studio %1</h3><p>Weibull, dynamic and static fatigue "
                          "analyses of optical-fibre strength data on notebook worksheets.</p>")
                           .arg(kVersion));
  });
}

void MainWindow::RebuildTree() {
  tree_->clear();
  QTreeWidgetItem* section = nullptr;
  const notebook::Notebook& nb = doc_.notebook();
  for (size_t i = 0; i < nb.size(); ++i) {
    const notebook::Item& item = nb.item(i);
    auto* node = new QTreeWidgetItem({Q(item.name())});
    node->setData(0, kIndexRole, static_cast<int>(i));
    switch (item.type()) {
      case notebook::ItemType::kSection:
        node->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
        tree_->addTopLevelItem(node);
        section = node;
        continue;
      case notebook::ItemType::kWorksheet:
        node->setIcon(0, style()->standardIcon(QStyle::SP_FileDialogDetailedView));
        break;
      case notebook::ItemType::kReport:
        node->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
        break;
      case notebook::ItemType::kOther:
        node->setDisabled(true);
        break;
    }
    if (section != nullptr) {
      section->addChild(node);
    } else {
      tree_->addTopLevelItem(node);
    }
  }
  tree_->expandAll();
  SelectCurrentInTree();
}

void MainWindow::SelectCurrentInTree() {
  const int want = shown_report_ >= 0 ? shown_report_ : doc_.current();
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    if ((*it)->data(0, kIndexRole).toInt() == want) {
      tree_->setCurrentItem(*it);
      return;
    }
  }
}

void MainWindow::OnTreeClicked(QTreeWidgetItem* node) {
  const int index = node->data(0, kIndexRole).toInt();
  const notebook::Item& item = doc_.notebook().item(index);
  if (item.type() == notebook::ItemType::kWorksheet) {
    shown_report_ = -1;
    doc_.SetCurrent(index);
    ShowItem(index);
  } else if (item.type() == notebook::ItemType::kReport) {
    ShowItem(index);
  }
}

void MainWindow::ShowItem(int index) {
  const notebook::Notebook& nb = doc_.notebook();
  if (index >= 0 && static_cast<size_t>(index) < nb.size() &&
      nb.item(index).type() == notebook::ItemType::kReport) {
    shown_report_ = index;
    // Reports keep carriage returns as line ends.
    QString text = Q(nb.item(index).text());
    text.replace("\r\n", "\n").replace('\r', '\n');
    report_->setPlainText(text);
    stack_->setCurrentWidget(report_);
  } else {
    shown_report_ = -1;
    stack_->setCurrentWidget(grid_);
  }
}

void MainWindow::UpdateTitle() {
  const QString name = doc_.path().empty() ? tr("Untitled") : QFileInfo(Q(doc_.path())).fileName();
  setWindowTitle(name + "[*] - KORUND Studio");
  setWindowModified(doc_.modified());
}

void MainWindow::UpdateStaleBanner() {
  const int sheet = doc_.current();
  std::string note;
  if (sheet >= 0 && static_cast<size_t>(sheet) < doc_.notebook().size()) {
    note = StudioStaleNote(doc_.notebook().item(sheet));
  }
  stale_banner_->setText(Q(note));
  stale_banner_->setVisible(!note.empty());
}

void MainWindow::Say(const QString& title, const QString& text) {
  ask_(title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MainWindow::MaybeSave() {
  if (!doc_.modified()) return true;
  const auto answer =
      ask_(tr("KORUND Studio"), tr("The notebook has unsaved changes. Save them?"),
           QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return SaveFile();
  return answer == QMessageBox::Discard;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (MaybeSave()) {
    event->accept();
  } else {
    event->ignore();
  }
}

bool MainWindow::OpenFile(const QString& path) {
  std::string error;
  if (!doc_.Open(path.toStdString(), &error)) {
    Say(tr("Cannot open notebook"), Q(error));
    return false;
  }
  shown_report_ = -1;
  ShowItem(doc_.current());
  FitColumns();
  AddRecent(path);
  statusBar()->showMessage(tr("Opened %1").arg(path), 4000);
  return true;
}

Document::ConfirmOverwrite MainWindow::ConfirmOverwrite() {
  return [this](const std::string& p) {
    return ask_(tr("Notebook changed on disk"),
                tr("%1 was changed by another program since it was opened here. "
                   "Overwrite those changes?")
                    .arg(Q(p)),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  };
}

bool MainWindow::SaveFile() {
  if (doc_.path().empty()) return SaveFileAs({});
  std::string error;
  if (!doc_.Save("", ConfirmOverwrite(), &error)) {
    if (!error.empty()) Say(tr("Cannot save notebook"), Q(error));
    return false;
  }
  statusBar()->showMessage(tr("Saved"), 3000);
  return true;
}

bool MainWindow::SaveFileAs(const QString& given) {
  QString path = given;
  if (path.isEmpty()) {
    path = AskSaveFileName(this, tr("Save notebook"), tr("Notebooks (*.json)"));
    if (path.isEmpty()) return false;
  }
  std::string error;
  if (!doc_.Save(path.toStdString(), ConfirmOverwrite(), &error)) {
    if (!error.empty()) Say(tr("Cannot save notebook"), Q(error));
    return false;
  }
  AddRecent(path);
  return true;
}

void MainWindow::AddRecent(const QString& path) {
  QSettings settings;
  QStringList files = settings.value("recentFiles").toStringList();
  const QString absolute = QFileInfo(path).absoluteFilePath();
  files.removeAll(absolute);
  files.prepend(absolute);
  while (files.size() > kMaxRecent) files.removeLast();
  settings.setValue("recentFiles", files);
  UpdateRecentMenu();
}

void MainWindow::UpdateRecentMenu() {
  recent_menu_->clear();
  const QStringList files = QSettings().value("recentFiles").toStringList();
  for (const QString& f : files) {
    recent_menu_->addAction(f, this, [this, f] {
      if (MaybeSave()) OpenFile(f);
    });
  }
  recent_menu_->setEnabled(!files.isEmpty());
}

bool MainWindow::SelectionRect(int* c0, int* c1, int* r0, int* r1) const {
  const QModelIndexList selected = grid_->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) {
    const QModelIndex cur = grid_->currentIndex();
    if (!cur.isValid()) return false;
    *c0 = *c1 = cur.column();
    *r0 = *r1 = cur.row() + 1;
    return true;
  }
  *c0 = *r0 = INT32_MAX;
  *c1 = *r1 = -1;
  for (const QModelIndex& i : selected) {
    *c0 = std::min(*c0, i.column());
    *c1 = std::max(*c1, i.column());
    *r0 = std::min(*r0, i.row() + 1);
    *r1 = std::max(*r1, i.row() + 1);
  }
  return true;
}

void MainWindow::CopySelection() {
  int c0, c1, r0, r1;
  if (model_->sheet() < 0 || !SelectionRect(&c0, &c1, &r0, &r1)) return;
  const notebook::Worksheet& ws = *doc_.notebook().item(model_->sheet()).worksheet();
  // A whole column copies its used rows, not the spare ones below.
  int used = 0;
  for (int c = c0; c <= c1; ++c) used = std::max(used, static_cast<int>(ws.UsedRows(c)));
  r1 = std::max(r0, std::min(r1, used));
  QApplication::clipboard()->setText(Q(BlockAsTsv(ws, c0, c1, r0, r1)));
}

void MainWindow::PasteAtSelection() {
  int c0, c1, r0, r1;
  if (model_->sheet() < 0 || !SelectionRect(&c0, &c1, &r0, &r1)) return;
  CellBlock block;
  std::string error;
  if (!BlockFromTsv(QApplication::clipboard()->text().toStdString(), &block, &error)) {
    Say(tr("Cannot paste"), Q(error));
    return;
  }
  doc_.SetCells(model_->sheet(), c0, r0, block, tr("Paste"));
}

void MainWindow::ClearSelection() {
  if (model_->sheet() < 0) return;
  const QItemSelection sel = grid_->selectionModel()->selection();
  doc_.undo_stack().beginMacro(tr("Clear cells"));
  for (const QItemSelectionRange& r : sel) {
    doc_.ClearCells(model_->sheet(), r.left(), r.right(), r.top() + 1, r.bottom() + 1);
  }
  doc_.undo_stack().endMacro();
}

void MainWindow::InsertRowsAtSelection() {
  int c0, c1, r0, r1;
  if (model_->sheet() < 0 || !SelectionRect(&c0, &c1, &r0, &r1)) return;
  doc_.InsertRows(model_->sheet(), r0, r1 - r0 + 1);
}

void MainWindow::RemoveSelectedRows() {
  int c0, c1, r0, r1;
  if (model_->sheet() < 0 || !SelectionRect(&c0, &c1, &r0, &r1)) return;
  doc_.RemoveRows(model_->sheet(), r0, r1 - r0 + 1);
}

void MainWindow::RenameCurrent() {
  QTreeWidgetItem* node = tree_->currentItem();
  if (node == nullptr) return;
  const int index = node->data(0, kIndexRole).toInt();
  bool ok = false;
  const QString name = QInputDialog::getText(this, tr("Rename"), tr("New name:"), QLineEdit::Normal,
                                             Q(doc_.notebook().item(index).name()), &ok);
  if (ok && !doc_.RenameItem(index, name.trimmed().toStdString())) {
    Say(tr("Rename"), tr("\"%1\" is empty or the name of another item.").arg(name));
  }
}

AnalysisOutcome MainWindow::Analyse(Analysis analysis) {
  AnalysisOutcome outcome;
  const int sheet = doc_.current();
  if (sheet < 0) {
    Say(tr("Analyse"), tr("The notebook has no worksheet."));
    return outcome;
  }
  notebook::Notebook after;
  ui_.TakeDiagnostics();  // only this run's notes are shown
  outcome = RunAnalysis(analysis, doc_.notebook(), doc_.notebook().item(sheet).name(), ui_, &after);
  if (outcome.completed) {
    QString what;
    for (const AnalysisEntry& entry : AnalysisEntries()) {
      if (entry.analysis == analysis) what = tr(entry.done_text);
    }
    doc_.ReplaceNotebook(after, what);
    FitColumns();
    // Notes on the data stay until the next message: they may explain a
    // result that looks wrong.
    const std::vector<std::string> notes = ui_.TakeDiagnostics();
    results_->SetDataNotes(doc_.notebook().item(sheet).name(), notes);
    if (notes.empty()) {
      statusBar()->showMessage(what + tr(" finished"), 4000);
    } else {
      QStringList lines;
      for (const std::string& note : notes) lines << Q(note);
      statusBar()->showMessage(what + tr(" finished — ") + lines.join("; "));
      statusBar()->setToolTip(lines.join("\n"));
    }
  } else {
    statusBar()->showMessage(tr("The analysis was stopped; nothing changed."), 4000);
  }
  return outcome;
}

int ProposedImportColumn(const notebook::Worksheet& ws) {
  auto empty = [&ws](int32_t column) { return ws.UsedRows(column) == 0; };
  const std::optional<plot::PlotKind> kind = plot::DetectPlotKind(ws);
  if (!kind || *kind == plot::PlotKind::kWeibull) {
    for (int32_t n = 1; n <= layout::weibull::kSets; ++n) {
      if (empty(layout::weibull::RawColumn(n))) return layout::weibull::RawColumn(n);
    }
  } else {
    namespace fl = layout::fatigue;
    for (int32_t s = 1; s <= fl::kSets; ++s) {
      const int32_t first = fl::SetColumn(s, fl::kColId);
      if (empty(first) && empty(fl::SetColumn(s, fl::kColRawY)) &&
          empty(fl::SetColumn(s, fl::kColRawX))) {
        return first;
      }
    }
  }
  int32_t after_used = 1;
  for (const auto& [number, column] : ws.columns()) {
    if (number > 0 && ws.UsedRows(number) > 0) after_used = std::max(after_used, number + 1);
  }
  return after_used;
}

void MainWindow::FitColumns() {
  grid_->resizeColumnsToContents();
  // Empty columns keep room to type into.
  for (int c = 0; c < model_->columnCount(); ++c) {
    if (grid_->columnWidth(c) < kMinColumnWidth) grid_->setColumnWidth(c, kMinColumnWidth);
  }
}

void MainWindow::ImportAsk(bool xlsx) {
  const QString path = AskOpenFileName(this, xlsx ? tr("Import XLSX") : tr("Import CSV"),
                                       xlsx ? tr("Workbooks (*.xlsx);;All files (*)")
                                            : tr("CSV files (*.csv *.txt);;All files (*)"));
  if (path.isEmpty() || model_->sheet() < 0) return;
  bool ok = false;
  const int column =
      QInputDialog::getInt(this, xlsx ? tr("Import XLSX") : tr("Import CSV"), tr("First column:"),
                           ProposedImportColumn(*doc_.notebook().item(model_->sheet()).worksheet()),
                           1, notebook::kMaxColumnNumber, 1, &ok);
  if (!ok) return;
  xlsx ? ImportXlsx(path, column) : ImportCsv(path, column);
}

bool MainWindow::ImportXlsx(const QString& path, int column) {
  return ImportFile(path, column, notebook::ImportFormat::kXlsx);
}

bool MainWindow::ImportCsv(const QString& path, int column) {
  return ImportFile(path, column, notebook::ImportFormat::kCsv);
}

bool MainWindow::ImportFile(const QString& path, int column, notebook::ImportFormat format) {
  const int sheet = model_->sheet();
  if (sheet < 0) return false;
  notebook::ImportSettings settings;
  settings.format = format;
  settings.guess_header = true;
  notebook::ImportedTable table;
  std::string error;
  const bool read = notebook::ImportFile(path.toStdString(), settings, column, &table, &error);
  QString notes;
  for (const std::string& note : table.notes) notes += Q(note) + "\n";
  if (!read) {
    Say(tr("Cannot import"), (Q(error) + "\n" + notes).trimmed());
    return false;
  }
  notebook::Notebook after = doc_.notebook();
  notebook::PutImportedColumns(*after.item(sheet).worksheet(), column, std::move(table.columns));
  doc_.ReplaceNotebook(
      after, format == notebook::ImportFormat::kXlsx ? tr("Import XLSX") : tr("Import CSV"));
  if (!notes.isEmpty()) Say(tr("Imported with notes"), notes.trimmed());
  return true;
}

bool MainWindow::ExportCsv(const QString& path) {
  const int sheet = model_->sheet();
  if (sheet < 0) return false;
  std::string csv, error;
  notebook::WriteWorksheetCsv(*doc_.notebook().item(sheet).worksheet(), 1,
                              notebook::kMaxColumnNumber, notebook::CsvColumns::kUsed, ',',
                              [&csv](std::string_view line) {
                                csv += line;
                                return true;
                              });
  if (!doc_.path().empty() && host::SameFile(path.toStdString(), doc_.path())) {
    Say(tr("Cannot export"), tr("That is the notebook itself."));
    return false;
  }
  if (!host::WriteFileAtomically(path.toStdString(), csv, &error)) {
    Say(tr("Cannot export"), Q(error));
    return false;
  }
  return true;
}

bool MainWindow::ExportGraph(const QString& path) {
  std::string error;
  if (!graph_->Export(path.toStdString(), &error)) {
    Say(tr("Cannot export the graph"), Q(error));
    return false;
  }
  statusBar()->showMessage(tr("Graph written to %1").arg(path), 4000);
  return true;
}

}  // namespace korund::studio
