#include "studio/results_panel.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "host/atomic_file.h"
#include "host/notebook_store.h"
#include "notebook/xlsx.h"
#include "plot/plot_builder.h"
#include "studio/analysis_run.h"
#include "studio/file_dialogs.h"
#include "tools/results_command.h"

namespace korund::studio {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The rounding korund-notebook results uses when not told otherwise.
int Digits() { return tools::ResultsOptions().digits; }

// Long enough to gather the cells of one paste or a burst of typing.
constexpr int kRefreshDelayMs = 150;

const char* kExportFilters = "CSV (*.csv);;Markdown (*.md);;Excel workbook (*.xlsx)";

}  // namespace

ResultsPanel::ResultsPanel(Document& doc, Say say, QWidget* parent)
    : QWidget(parent), doc_(doc), say_(std::move(say)) {
  stale_banner_ = new QLabel;
  stale_banner_->setObjectName("resultsStaleBanner");
  stale_banner_->setWordWrap(true);
  stale_banner_->setStyleSheet(
      "QLabel { background: #fff3cd; color: #664d03; padding: 4px 8px; }");
  notes_ = new QLabel;
  notes_->setObjectName("resultsDataNotes");
  notes_->setWordWrap(true);
  notes_->setStyleSheet("QLabel { background: #fde2e1; color: #6b1d1a; padding: 4px 8px; }");
  notes_->hide();
  message_ = new QLabel;
  message_->setWordWrap(true);
  message_->setAlignment(Qt::AlignCenter);
  message_->setMargin(12);
  table_ = new QTableWidget;
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->setWordWrap(false);
  copy_ = new QPushButton(tr("&Copy"));
  copy_->setToolTip(tr("Copy the table, tab-separated, for a spreadsheet"));
  connect(copy_, &QPushButton::clicked, this, &ResultsPanel::Copy);
  export_ = new QPushButton(tr("E&xport..."));
  export_->setToolTip(tr("Write the table as CSV, Markdown or an Excel workbook"));
  connect(export_, &QPushButton::clicked, this, &ResultsPanel::ExportAsk);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copy_);
  buttons->addWidget(export_);
  buttons->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(stale_banner_);
  column->addWidget(notes_);
  column->addWidget(message_, 1);
  column->addWidget(table_, 1);
  column->addLayout(buttons);

  connect(&doc_, &Document::structureChanged, this, &ResultsPanel::Refresh);
  connect(&doc_, &Document::currentChanged, this, &ResultsPanel::Refresh);
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  timer_->setInterval(kRefreshDelayMs);
  connect(timer_, &QTimer::timeout, this, &ResultsPanel::Refresh);
  connect(&doc_, &Document::cellsChanged, this, [this](int sheet, int, int, int, int) {
    if (sheet == doc_.current()) timer_->start();
  });
  Refresh();
}

void ResultsPanel::Refresh() {
  timer_->stop();
  const int sheet = doc_.current();
  std::string error = "no worksheet";
  std::string stale;
  results_ = {};
  has_table_ = false;
  if (sheet >= 0) {
    const notebook::Item& item = doc_.notebook().item(sheet);
    const notebook::Worksheet& ws = *item.worksheet();
    if (!plot::DetectPlotKind(ws)) {
      error = "No results yet: " + ChooseAnalysisHint() + ".";
    } else {
      has_table_ = tools::BuildResultsTable(ws, &results_, &error);
    }
    stale = StudioStaleNote(item);
    results_.stale = !stale.empty();
  }
  stale_banner_->setText(Q(stale));
  stale_banner_->setVisible(!stale.empty());
  const bool notes_shown = sheet >= 0 && !notes_text_.isEmpty() &&
                           doc_.notebook().item(sheet).name() == notes_sheet_;
  notes_->setText(notes_shown ? notes_text_ : QString());
  notes_->setVisible(notes_shown);
  message_->setText(has_table_ ? QString() : Q(error));
  message_->setVisible(!has_table_);
  table_->setVisible(has_table_);
  copy_->setEnabled(has_table_);
  export_->setEnabled(has_table_);
  table_->clear();
  if (!has_table_) {
    table_->setRowCount(0);
    table_->setColumnCount(0);
    return;
  }
  const int digits = Digits();
  table_->setColumnCount(static_cast<int>(results_.headers.size()));
  table_->setRowCount(static_cast<int>(results_.rows.size()));
  for (size_t c = 0; c < results_.headers.size(); ++c) {
    auto* header = new QTableWidgetItem(Q(results_.headers[c]));
    if (c < results_.glossary.size()) header->setToolTip(Q(results_.glossary[c]));
    table_->setHorizontalHeaderItem(static_cast<int>(c), header);
  }
  for (size_t r = 0; r < results_.rows.size(); ++r) {
    const auto& row = results_.rows[r];
    table_->setItem(static_cast<int>(r), 0, new QTableWidgetItem(Q(row.name)));
    for (size_t v = 0; v < row.values.size(); ++v) {
      auto* cell = new QTableWidgetItem(Q(tools::ResultText(row.values[v], digits)));
      cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(static_cast<int>(r), static_cast<int>(v + 1), cell);
    }
  }
  table_->resizeColumnsToContents();
}

void ResultsPanel::SetDataNotes(const std::string& sheet,
                                const std::vector<std::string>& notes) {
  notes_sheet_ = sheet;
  QStringList lines;
  for (const std::string& note : notes) lines << "\u26a0 " + Q(note);
  notes_text_ = lines.join("\n");
  Refresh();
}

QString ResultsPanel::message() const { return has_table_ ? QString() : message_->text(); }

std::string ResultsPanel::AsTsv() const {
  if (!has_table_) return "";
  std::string text;
  auto line = [&text](const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
      // A tab or a line end inside a name would split the row.
      std::string field = fields[i];
      for (char& ch : field) {
        if (ch == '\t' || ch == '\n' || ch == '\r') ch = ' ';
      }
      text += (i > 0 ? "\t" : "") + field;
    }
    text += "\n";
  };
  line(results_.headers);
  for (const auto& row : results_.rows) {
    std::vector<std::string> fields = {row.name};
    for (const auto& v : row.values) fields.push_back(tools::ResultText(v, Digits()));
    line(fields);
  }
  return text;
}

void ResultsPanel::Copy() {
  if (has_table_) QApplication::clipboard()->setText(Q(AsTsv()));
}

bool ResultsPanel::Export(const std::string& path, std::string* error) {
  if (!has_table_) {
    *error = "there is no results table to export";
    return false;
  }
  if (!doc_.path().empty() && !host::RefuseNotebookAsOutput(path, doc_.path(), error)) {
    return false;
  }
  const QString suffix = QString::fromStdString(path).section('.', -1).toLower();
  if (suffix == "xlsx") {
    const notebook::Notebook book = tools::ResultsNotebook(results_, Digits(), true);
    return host::WriteOutputFile(
        path,
        [&book](const std::string& temp, std::string* err) {
          return notebook::WriteXlsx(book, temp, err);
        },
        error);
  }
  if (suffix != "csv" && suffix != "md") {
    *error = path + ": the table is written as .csv, .md or .xlsx";
    return false;
  }
  // A CSV file stays one table for a spreadsheet; the Markdown and the
  // workbook say what each column holds.
  const std::string text = suffix == "md" ? tools::ResultsMarkdown(results_, Digits(), true)
                                          : tools::ResultsCsv(results_, Digits(), false);
  return host::WriteFileAtomically(path, text, error);
}

void ResultsPanel::ExportAsk() {
  const QString path = AskSaveFileName(this, tr("Export results"), tr(kExportFilters));
  std::string error;
  if (!path.isEmpty() && !Export(path.toStdString(), &error)) {
    say_(tr("Cannot export the results"), Q(error));
  }
}

}  // namespace korund::studio
