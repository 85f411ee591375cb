#include "worksheet/sheet.h"

#include <algorithm>
#include <map>

#include "ui/terminate.h"
#include "util/terminate.h"
#include "util/text.h"

namespace korund::worksheet {

namespace {

bool IsEmptyCell(const Value& v) { return Compare(v, Value("")) == 0; }

// data[0] = n and data[1..n] = the cells, trailing empty cells dropped and
// the rest of the empty ones read as "".
int32_t CellsToColumn(const Value* first, size_t n, ValueArray& data) {
  while (n > 0 && IsEmptyCell(first[n - 1])) --n;
  data.resize(n + 1);
  data[0] = Value(static_cast<double>(n));
  for (size_t i = 0; i < n; ++i) data[i + 1] = first[i].IsEmpty() ? Value("") : first[i];
  return static_cast<int32_t>(n);
}

// Basic's run-time error for an index outside an array.
constexpr int kSubscriptOutOfRange = 9;
constexpr const char* kSubscriptText = "Subscript out of range";

}  // namespace

// --- Session ---------------------------------------------------------------

bool Sheet::spOpenWorksheet(host::Host& host, const std::string& name) {
  max_col_ = 0;
  max_row_ = 0;
  // A new attach starts in direct mode; a copy of an earlier sheet is dropped.
  buffered_ = false;
  sheet_buffer_.clear();
  title_buffer_.clear();
  saved_titles_.clear();
  for (;;) {
    std::string error;
    app_ = host.Connect(&error);
    if (app_ != nullptr) {
      app_->SetProperty(host::Property::kAttached, true);
      notebook_ = app_->ActiveNotebook();
      if (notebook_ == nullptr) error = "the host has no active notebook";
    }
    if (notebook_ != nullptr && app_ != nullptr && !name.empty()) {
      host::NotebookItem* item = notebook_->ItemByName(name);
      if (item == nullptr) {
        error = "no item named \"" + name + "\"";
      } else {
        item->Open();
      }
    }
    if (error.empty()) {
      worksheet_item_ = notebook_->CurrentDataItem();
      table_ = worksheet_item_ != nullptr ? worksheet_item_->Table() : nullptr;
      if (table_ == nullptr) error = "the notebook has no current worksheet";
    }
    if (error.empty()) {
      settings_.WorksheetName = worksheet_item_->Name();
      const int32_t count = notebook_->ItemCount();
      for (int32_t i = 0; i < count; ++i) {
        host::NotebookItem* item = notebook_->Item(i);
        if (item == nullptr || item->Name() != settings_.WorksheetName) continue;
        worksheet_index_ = i;
        int32_t j = i - 1;
        while (j >= 1 && notebook_->Item(j)->ItemType() != host::kItemSection) --j;
        // A worksheet that is the very first item has nothing before it;
        // the section name then stays empty instead of failing the attach.
        if (j >= 0) settings_.SectionName = notebook_->Item(j)->Name();
        break;
      }
      return false;
    }
    // The attempt failed: drop whatever was reached and ask.
    worksheet_item_ = nullptr;
    table_ = nullptr;
    notebook_ = nullptr;
    app_.reset();
    ui_.SetBoxDetail(error);
    const int answer = ui_.MsgBox(
        "Unable to open worksheet\rMake sure the worksheet window is open in SigmaPlot",
        ui::kMbIconStop | ui::kMbRetryCancel, "NO WORKSHEET");
    if (answer != ui::kIdRetry) return true;
  }
}

bool Sheet::spAddReport(const std::string& name) {
  report_index_ = -1;
  if (notebook_ == nullptr) return true;
  notebook_->AddItem(host::kItemReport);
  const int32_t count = notebook_->ItemCount();
  bool found = false;
  for (int32_t i = 0; i < count; ++i) {
    if (notebook_->Item(i)->Name() != settings_.WorksheetName) continue;
    found = true;
    ++i;
    while (i < notebook_->ItemCount()) {
      const int type = notebook_->Item(i)->ItemType();
      if (type == host::kItemSection) break;
      if (type == host::kItemReport) report_index_ = i;
      ++i;
    }
    break;
  }
  // No report between the worksheet and the next section: the new report
  // went elsewhere, which counts as a failure rather than a wrong item.
  if (!found || report_index_ < 0) return true;
  report_item_ = notebook_->Item(report_index_);
  if (!name.empty()) report_item_->SetName(name);  // a refused name is ignored
  return false;
}

bool Sheet::spAddWorksheet(const std::string& name) {
  if (notebook_ == nullptr || buffered_) return true;
  notebook_->AddItem(host::kItemWorksheet);
  // The new worksheet is the last one between this worksheet and the next
  // section, as a new report is.
  host::NotebookItem* added = nullptr;
  const int32_t count = notebook_->ItemCount();
  for (int32_t i = 0; i < count; ++i) {
    if (notebook_->Item(i)->Name() != settings_.WorksheetName) continue;
    for (++i; i < count; ++i) {
      host::NotebookItem* item = notebook_->Item(i);
      if (item->ItemType() == host::kItemSection) break;
      if (item->ItemType() == host::kItemWorksheet) added = item;
    }
    break;
  }
  if (added == nullptr || !added->SetName(name)) return true;
  added->Open();
  host::DataTable* table = added->Table();
  if (table == nullptr) return true;
  worksheet_item_ = added;
  table_ = table;
  settings_.WorksheetName = name;
  max_col_ = 0;
  max_row_ = 0;
  return false;
}

bool Sheet::HasItem(const std::string& name) {
  return notebook_ != nullptr && notebook_->ItemByName(name) != nullptr;
}

bool Sheet::GetCellOf(const std::string& worksheet, int32_t column, int32_t row, Value& value) {
  host::NotebookItem* item = notebook_ != nullptr ? notebook_->ItemByName(worksheet) : nullptr;
  host::DataTable* table = item != nullptr ? item->Table() : nullptr;
  if (table == nullptr || column < 1 || row < 1) return false;
  value = table->Cell(column - 1, row - 1);
  if (value.IsEmpty() || (value.IsText() && value.Text() == kNaNText)) value = Value("");
  return true;
}

std::string Sheet::ReportText() const {
  return report_item_ != nullptr ? report_item_->Text() : std::string();
}

void Sheet::SetReportText(const std::string& text) {
  if (report_item_ != nullptr) report_item_->SetText(text);
}

void Sheet::RecordAnalysis() {
  if (worksheet_item_ != nullptr) worksheet_item_->RecordAnalysis(settings_.FitType);
}

bool Sheet::Release(std::string* error) {
  if (app_ == nullptr) return true;
  app_->SetProperty(host::Property::kRunEnded, false);
  const bool ok = app_->Release(error);
  report_item_ = nullptr;
  worksheet_item_ = nullptr;
  table_ = nullptr;
  notebook_ = nullptr;
  app_.reset();
  return ok;
}

// --- Room for the results -------------------------------------------------

int64_t Sheet::StoredRows(int32_t column) {
  return table_ != nullptr ? table_->StoredRows(column - 1) : 0;
}

bool Sheet::CheckRoom(const std::vector<PlannedColumn>& plan, std::string* error) {
  if (notebook_ == nullptr || table_ == nullptr) return true;
  std::map<int32_t, PlannedColumn> merged;
  for (const PlannedColumn& p : plan) {
    auto [it, fresh] = merged.emplace(p.column, p);
    if (fresh) continue;
    it->second.rows = std::max(it->second.rows, p.rows);
    it->second.replaces = it->second.replaces && p.replaces;
  }
  int64_t cells = notebook_->CellCount();
  for (const auto& [column, p] : merged) {
    const int64_t stored = StoredRows(column);
    cells += (p.replaces ? p.rows : std::max(p.rows, stored)) - stored;
  }
  const int64_t limit = notebook_->MaxCells();
  if (cells <= limit) return true;
  *error = "The results of this analysis would make the notebook hold up to " +
           std::to_string(cells) + " cells, more than the " + std::to_string(limit) +
           " a notebook may hold, so the analysis was not started and nothing was changed. "
           "Analyse fewer or smaller data sets, or move other worksheets to a notebook of "
           "their own.";
  return false;
}

// --- Cells and columns -----------------------------------------------------

void Sheet::Unrecoverable(const std::string& where, const std::string& description, int number) {
  const std::string text = "Unexpected error in module SPW.\r\r"
                           "Please send this SigmaPlot file and the following "
                           "information to Quellmark:\r\r"
                           "Error SPW001 in " + where + "\r" + description + " (" +
                           std::to_string(number) + ")";
  msg_.Go({.text = text, .buttons = {"Exit program"}, .icon = 16, .title = "UNRECOVERABLE ERROR"});
  throw TerminateProgramError(ExitReason::kFatal, "Error SPW001 in " + where);
}

void Sheet::spRefreshSize() {
  if (buffered_) return;
  max_col_ = 20;
  max_row_ = 20;
  if (table_ != nullptr) table_->UsedSize(max_col_, max_row_);
}

Value Sheet::spGetCell(int32_t column, int32_t row) {
  if (column < 0 || row < 0) ui::TerminateProgram(ui_, "Zero row or column in spGetCell");
  if (column > max_col_ || row > max_row_) return Value("");
  if (buffered_) {
    if (column == 0 || row == 0) Unrecoverable("spGetCell", kSubscriptText, kSubscriptOutOfRange);
    const auto& col = sheet_buffer_[column - 1];
    if (static_cast<size_t>(row) > col.size()) return Value("");
    const Value& v = col[row - 1];
    return v.IsEmpty() ? Value("") : v;  // an empty cell reads as the empty text
  }
  Value v = table_->Cell(column - 1, row - 1);
  if (v.IsEmpty() || (v.IsText() && v.Text() == kNaNText)) return Value("");
  return v;
}

void Sheet::spPutCell(const Value& value, int32_t column, int32_t row) {
  if (row < 0 || column < 0) ui::TerminateProgram(ui_, "Zero row or column in spPutCell");
  if (buffered_ && column >= 1) {
    if (column > max_col_ || row > max_row_ || row == 0) {
      Unrecoverable("spPutCell", kSubscriptText, kSubscriptOutOfRange);
    }
    auto& col = sheet_buffer_[column - 1];
    if (static_cast<size_t>(row) > col.size()) {
      if (value.IsEmpty()) return;
      col.resize(row);
    }
    col[row - 1] = value;
    return;
  }
  // Direct, or the row-title column: the host gets the value's text form.
  table_->SetCell(column - 1, row - 1, Value(ToText(value)));
}

void Sheet::spPutTitle(const Value& title, int32_t column) {
  const std::string text = ToText(title);
  if (buffered_) {
    if (column < 1 || column > max_col_) {
      Unrecoverable("spPutTitle", kSubscriptText, kSubscriptOutOfRange);
    }
    title_buffer_[column - 1] = text;
    return;
  }
  table_->SetTitle(column - 1, text);
}

void Sheet::spPutCol(const ValueArray& data, int32_t column, int32_t count, bool with_title) {
  if (with_title && count == -1) {
    ui_.MsgBox("Error in spPutCol - must specify count if title is being added", ui::kMbOk,
               AppTitle());
    throw TerminateProgramError(ExitReason::kFatal, "spPutCol without a count");
  }
  if (count == -1) count = data.empty() ? 0 : static_cast<int32_t>(ToNumber(data[0]).value_or(0));
  if (count < 0) count = 0;
  if (static_cast<size_t>(count) >= data.size() && count > 0) {
    Unrecoverable("spPutCol", kSubscriptText, kSubscriptOutOfRange);
  }
  if (buffered_) {
    if (count > 0 && (column < 1 || column > max_col_ || count > max_row_)) {
      Unrecoverable("spPutCol", kSubscriptText, kSubscriptOutOfRange);
    }
    if (count > 0) {
      auto& col = sheet_buffer_[column - 1];
      if (static_cast<size_t>(count) > col.size()) col.resize(count);
      for (int32_t i = 1; i <= count; ++i) col[i - 1] = data[i];
    }
  } else if (count > 0) {
    host::Block block(1);
    block[0].assign(data.begin() + 1, data.begin() + 1 + count);
    table_->Write(block, column - 1, 0);
  }
  if (with_title) spPutTitle(data.empty() ? Value("") : data[0], column);
}

int32_t Sheet::spGetCol(ValueArray& data, int32_t column, int32_t first_row) {
  if (first_row < 1) first_row = 1;
  if (buffered_) {
    // Straight from the buffer, which keeps its cells.
    if (column >= 1 && column <= max_col_) {
      const auto& col = sheet_buffer_[column - 1];
      const int32_t last = std::min(max_row_, static_cast<int32_t>(col.size()));
      if (last >= first_row) {
        return CellsToColumn(col.data() + (first_row - 1),
                             static_cast<size_t>(last - first_row + 1), data);
      }
    }
    return CellsToColumn(nullptr, 0, data);
  }
  std::vector<Value> cells;
  spRefreshSize();
  if (first_row <= max_row_) {
    host::Block block = table_->Read(column - 1, first_row - 1, column - 1, max_row_ - 1);
    if (!block.empty()) cells = std::move(block[0]);
    for (Value& v : cells) {
      if (v.IsText() && v.Text() == kNaNText) v = Value("");
    }
  }
  return CellsToColumn(cells.data(), cells.size(), data);
}

int32_t Sheet::spGetNumCol(ValueArray& data, int32_t column) {
  spGetCol(data, column, 1);
  const int32_t n = static_cast<int32_t>(ToNumber(data[0]).value_or(0));
  int32_t k = 0;
  for (int32_t i = 1; i <= n; ++i) {
    if (IsNumeric(data[i])) {
      ++k;
      data[k] = data[i];
    }
  }
  if (k > 0) data.resize(k + 1);
  data[0] = Value(k);
  return k;
}

void Sheet::spClearCols(int32_t first_column, int32_t columns, bool set_title,
                        const std::string& title) {
  if (buffered_) {
    for (int32_t c = first_column; c < first_column + columns; ++c) {
      if (c < 1 || c > max_col_) continue;  // nothing of the buffer lies there
      std::fill(sheet_buffer_[c - 1].begin(), sheet_buffer_[c - 1].end(), Value());
    }
  } else {
    spRefreshSize();
    if (columns > 0 && max_row_ > 0) {
      host::Block block(columns, std::vector<Value>(max_row_));
      table_->Write(block, first_column - 1, 0);
    }
  }
  if (set_title || !title.empty()) spPutTitle(Value(title), first_column);
}

void Sheet::spLoadSheet(int32_t min_columns, int32_t min_rows) {
  spRefreshSize();
  max_col_ = std::max(min_columns, max_col_);
  max_row_ = std::max(min_rows, max_row_);
  buffered_ = true;
  // A column of the buffer ends with its last stored cell: the rows below,
  // up to max_row_, read as empty. The buffer of a wide, long sheet would
  // otherwise be mostly empty cells.
  sheet_buffer_.assign(max_col_, std::vector<Value>());
  for (int32_t c = 0; c < max_col_; ++c) {
    // Below its stored rows a column holds only empty cells: not read.
    const int64_t rows = std::min<int64_t>(max_row_, table_->StoredRows(c));
    if (rows <= 0) continue;
    host::Block block = table_->Read(c, 0, c, static_cast<int32_t>(rows) - 1);
    if (block.empty()) continue;
    std::vector<Value>& read = block[0];
    size_t n = std::min(read.size(), static_cast<size_t>(max_row_));
    while (n > 0 && read[n - 1].IsEmpty()) --n;
    auto& column = sheet_buffer_[c];
    column.assign(std::make_move_iterator(read.begin()),
                  std::make_move_iterator(read.begin() + static_cast<std::ptrdiff_t>(n)));
    for (Value& v : column) {
      if (v.IsText() && v.Text() == kNaNText) v = Value();
    }
  }
  host::Block titles = table_->Read(0, -1, max_col_ - 1, -1);
  title_buffer_.assign(max_col_, std::string());
  for (int32_t c = 0; c < max_col_; ++c) {
    if (c < static_cast<int32_t>(titles.size()) && !titles[c].empty()) {
      const std::string t = ToText(titles[c][0]);
      title_buffer_[c] = t == kNaNText ? std::string() : t;
    }
  }
  saved_titles_ = title_buffer_;
}

void Sheet::spSaveSheet() {
  if (!buffered_) return;
  buffered_ = false;
  // Every column is written, an empty one as one empty cell, so that the
  // worksheet ends up with the same columns as if the whole rectangle had
  // been written. A column's copy is freed as soon as the notebook holds
  // it, so that the two are never both whole in memory.
  host::Block one(1);
  for (int32_t c = 0; c < static_cast<int32_t>(sheet_buffer_.size()); ++c) {
    one[0] = std::move(sheet_buffer_[c]);
    if (one[0].empty()) one[0].emplace_back();
    table_->WriteMoved(std::move(one), c, 0);
    one.assign(1, {});
  }
  host::Block().swap(sheet_buffer_);
  for (int32_t c = 0; c < max_col_; ++c) {
    if (title_buffer_[c] != saved_titles_[c]) spPutTitle(Value(title_buffer_[c]), c + 1);
  }
}

std::string Sheet::TEST_BufferedTitle(int32_t column) const {
  if (!buffered_ || column < 1 || column > static_cast<int32_t>(title_buffer_.size())) return "";
  return title_buffer_[column - 1];
}

}  // namespace korund::worksheet
