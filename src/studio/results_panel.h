// The results panel beside the graph: the current worksheet's results
// table as korund-notebook results prints it (the same rows, names and
// rounding), refreshed after every run and edit, with the stale-results
// line above it. Copy puts the table on the clipboard tab-separated, for a
// spreadsheet; Export writes it as CSV, Markdown or a workbook.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "studio/document.h"
#include "tools/results_table.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

namespace korund::studio {

class ResultsPanel : public QWidget {
  Q_OBJECT

 public:
  // say(title, text) tells the user why an export failed.
  using Say = std::function<void(const QString& title, const QString& text)>;
  ResultsPanel(Document& doc, Say say, QWidget* parent = nullptr);

  // Reads the current worksheet's results again (at once; edits of cells
  // refresh after a short delay, as the graph does).
  void Refresh();
  // Why there is no table ("" when there is one).
  QString message() const;
  QTableWidget* table() const { return table_; }
  QLabel* stale_banner() const { return stale_banner_; }
  // The notes the last analysis made on the data of worksheet `sheet`
  // (strengths that look like MPa, too few values, ...): marked above its
  // table while that worksheet is shown, until the next analysis.
  void SetDataNotes(const std::string& sheet, const std::vector<std::string>& notes);
  QLabel* data_notes() const { return notes_; }

  // The table as shown, tab-separated, a line per row after the headers;
  // "" when there is none.
  std::string AsTsv() const;
  void Copy();
  // Writes the table to `path`, the format from its extension (.csv, .md,
  // .xlsx), atomically. False with *error when there is no table, the
  // extension is none of those, the path is the notebook itself or the file
  // cannot be written.
  bool Export(const std::string& path, std::string* error);
  // Asks for the file, then exports; failures are told through `say`.
  void ExportAsk();

 private:
  Document& doc_;
  Say say_;
  QTimer* timer_ = nullptr;
  tools::ResultsTable results_;
  bool has_table_ = false;
  QLabel* stale_banner_ = nullptr;
  QLabel* notes_ = nullptr;
  std::string notes_sheet_;
  QString notes_text_;
  QLabel* message_ = nullptr;
  QTableWidget* table_ = nullptr;
  QPushButton* copy_ = nullptr;
  QPushButton* export_ = nullptr;
};

}  // namespace korund::studio
