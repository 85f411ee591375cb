// worksheet/: the analyses' only way to the worksheet. A Sheet holds the
// session with the host (attach, section lookup, report items) and the
// cell and column layer: every read and write of worksheet cells, columns and
// titles goes through a Sheet. Columns and rows are 1-based here; the layer
// passes column-1 and row-1 to the host.
//
// Two modes: direct (each call goes to the host's data table) and buffered
// (between spLoadSheet and spSaveSheet the whole worksheet and its titles are
// held in memory and written back in one piece). Booleans returned by the
// session calls mean "failed" when true.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/message_dialog.h"
#include "host/host.h"
#include "ui/ui.h"
#include "util/run_settings.h"
#include "util/value.h"

namespace korund::worksheet {

class Sheet {
 public:
  // settings receives WorksheetName and SectionName at attach.
  Sheet(ui::Ui& ui, dialogs::MessageDialog& msg, RunSettings& settings)
      : ui_(ui), msg_(msg), settings_(settings) {}

  // --- Session -----------------------------------------------------------

  // Attaches to the host and its current worksheet (or, with a name, opens
  // that item first), finds the worksheet's section. On failure shows the
  // "NO WORKSHEET" Retry/Cancel box; Retry tries again. True = failed
  // (the user cancelled).
  bool spOpenWorksheet(host::Host& host, const std::string& name);

  // Adds a report item and takes the last report between the worksheet and
  // the next section; renames it when name is not empty. True = failed.
  bool spAddReport(const std::string& name);
  // Adds an empty worksheet named `name` after the current one (and what
  // follows it in its section) and makes it the sheet's worksheet, direct
  // and unloaded; WorksheetName follows. True = failed (no notebook, or the
  // host put it elsewhere or refused the name).
  bool spAddWorksheet(const std::string& name);
  // Whether the notebook holds an item of that name.
  bool HasItem(const std::string& name);
  // One cell of another worksheet of the notebook, read from the host as
  // spGetCell reads one directly. False when there is no worksheet of that
  // name.
  bool GetCellOf(const std::string& worksheet, int32_t column, int32_t row, Value& value);

  // The report item's text (dispatch id 1001); "" without a report.
  std::string ReportText() const;
  void SetReportText(const std::string& text);

  // Ends the session: sets the application's id-21 property to false and
  // releases it, which writes the notebook back. False with *error when the
  // write-back failed.
  bool Release(std::string* error);
  // Stamps the worksheet with the analysis that ran and the cells it read
  // (after spSaveSheet, before Release).
  void RecordAnalysis();

  // --- Room for the results ----------------------------------------------

  // What a run will leave in one column (1-based; 0 the row titles): at most
  // `rows` rows, either in place of the column's cells (`replaces`) or
  // written over its first rows.
  struct PlannedColumn {
    int32_t column;
    int64_t rows;
    bool replaces;
  };
  // The rows the host's column holds (StoredRows of the seam); 0 before
  // the attach. Reads the host, not the buffer.
  int64_t StoredRows(int32_t column);
  // Called before a run, before the worksheet is loaded: false with *error
  // when the notebook would hold more cells than the host allows once the
  // planned columns hold what the plan says. A column planned twice counts
  // once, with the larger row count.
  bool CheckRoom(const std::vector<PlannedColumn>& plan, std::string* error);

  // --- Cells and columns ----------------------------------------------------

  void spRefreshSize();
  Value spGetCell(int32_t column, int32_t row);
  void spPutCell(const Value& value, int32_t column, int32_t row);
  void spPutTitle(const Value& title, int32_t column);
  // count -1 takes the count from element 0; with_title writes data[0] as
  // the column's title (needs an explicit count).
  void spPutCol(const ValueArray& data, int32_t column, int32_t count, bool with_title);
  // Reads column from first_row down to the last non-empty cell; data[0] = n.
  int32_t spGetCol(ValueArray& data, int32_t column, int32_t first_row);
  // Keeps the numeric cells (numbers and texts that read as numbers).
  int32_t spGetNumCol(ValueArray& data, int32_t column);
  void spClearCols(int32_t first_column, int32_t columns, bool set_title,
                   const std::string& title);
  void spLoadSheet(int32_t min_columns, int32_t min_rows);
  void spSaveSheet();

  // For tests: the buffer's size, whether the sheet is buffered, and a
  // column's title in the buffer ("" outside it).
  int32_t TEST_MaxCol() const { return max_col_; }
  int32_t TEST_MaxRow() const { return max_row_; }
  bool TEST_Buffered() const { return buffered_; }
  std::string TEST_BufferedTitle(int32_t column) const;

 private:
  [[noreturn]] void Unrecoverable(const std::string& where, const std::string& description,
                                  int number);

  ui::Ui& ui_;
  dialogs::MessageDialog& msg_;
  RunSettings& settings_;

  std::unique_ptr<host::Application> app_;
  host::NotebookDocument* notebook_ = nullptr;
  host::NotebookItem* worksheet_item_ = nullptr;
  host::DataTable* table_ = nullptr;
  host::NotebookItem* report_item_ = nullptr;
  int32_t worksheet_index_ = 0;
  int32_t report_index_ = -1;

  int32_t max_col_ = 0;
  int32_t max_row_ = 0;
  bool buffered_ = false;
  host::Block sheet_buffer_;  // [column-1][row-1]
  std::vector<std::string> title_buffer_;
  std::vector<std::string> saved_titles_;
};

}  // namespace korund::worksheet
