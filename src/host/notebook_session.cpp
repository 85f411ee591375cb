#include "host/notebook_session.h"

#include "notebook/analysis_stamp.h"
#include "util/run_settings.h"

namespace korund::host {

// --- WorksheetTable ---------------------------------------------------------

Block WorksheetTable::Read(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Block block;
  if (right >= left) block.reserve(static_cast<size_t>(right) - left + 1);
  for (int32_t c = left; c <= right; ++c) {
    std::vector<Value> column;
    int32_t r = top;
    for (; r <= bottom && r < 0; ++r) column.push_back(Cell(c, r));  // the title row
    if (r <= bottom) sheet_.ReadCells(c + 1, r + 1, static_cast<size_t>(bottom) - r + 1, &column);
    block.push_back(std::move(column));
  }
  return block;
}

void WorksheetTable::Write(const Block& block, int32_t left, int32_t top) {
  for (size_t c = 0; c < block.size(); ++c) {
    const int32_t column = left + static_cast<int32_t>(c);
    if (top >= 0) {
      sheet_.SetCells(column + 1, top + 1, block[c]);
      continue;
    }
    for (size_t r = 0; r < block[c].size(); ++r) {
      SetCell(column, top + static_cast<int32_t>(r), block[c][r]);
    }
  }
}

void WorksheetTable::WriteMoved(Block&& block, int32_t left, int32_t top) {
  if (top < 0) return Write(block, left, top);
  for (size_t c = 0; c < block.size(); ++c) {
    sheet_.SetCells(left + static_cast<int32_t>(c) + 1, top + 1, std::move(block[c]));
  }
}

void WorksheetTable::UsedSize(int32_t& columns, int32_t& rows) { sheet_.UsedSize(&columns, &rows); }

Value WorksheetTable::Cell(int32_t column, int32_t row) {
  if (row == -1) {
    const notebook::Column* c = sheet_.FindColumn(column + 1);
    return c != nullptr && c->title ? Value(*c->title) : Value();
  }
  return sheet_.Cell(column + 1, row + 1);
}

void WorksheetTable::SetCell(int32_t column, int32_t row, const Value& v) {
  if (row == -1) {
    sheet_.SetTitle(column + 1, ToText(v));
    return;
  }
  if (row < 0) return;
  sheet_.SetCell(column + 1, row + 1, v);
}

void WorksheetTable::SetTitle(int32_t column, const std::string& title) {
  sheet_.SetTitle(column + 1, title);
}

int64_t WorksheetTable::StoredRows(int32_t column) {
  const notebook::Column* c = sheet_.FindColumn(column + 1);
  return c == nullptr ? 0 : static_cast<int64_t>(c->cells.size());
}

// --- Items ------------------------------------------------------------------

class NotebookSession::ItemView : public NotebookItem {
 public:
  ItemView(NotebookSession& session, notebook::Item& item) : session_(session), item_(item) {
    if (notebook::Worksheet* sheet = item_.worksheet()) {
      table_ = std::make_unique<WorksheetTable>(*sheet);
    }
  }

  std::string Name() const override { return item_.name(); }
  int ItemType() const override {
    switch (item_.type()) {
      case notebook::ItemType::kSection: return kItemSection;
      case notebook::ItemType::kWorksheet: return kItemWorksheet;
      case notebook::ItemType::kReport: return kItemReport;
      case notebook::ItemType::kOther: break;
    }
    return kItemOther;
  }
  void Open() override {
    if (item_.type() == notebook::ItemType::kWorksheet) session_.set_current(item_.name());
  }
  bool SetName(const std::string& name) override {
    const notebook::Item* other = session_.notebook().Find(name);
    if (other != nullptr && other != &item_) return false;  // names are unique
    item_.set_name(name);
    return true;
  }
  std::string Text() const override { return item_.text(); }
  void SetText(const std::string& text) override { item_.set_text(text); }
  DataTable* Table() override { return table_.get(); }
  void RecordAnalysis(int32_t fit_type) override {
    const notebook::Worksheet* sheet = item_.worksheet();
    // A lifetime worksheet reads no cells of its own that could change.
    if (sheet == nullptr || fit_type == kFitLifetime) return;
    const notebook::AnalysisKind kind = fit_type == kFitDynamic  ? notebook::AnalysisKind::kDynamic
                                        : fit_type == kFitStatic ? notebook::AnalysisKind::kStatic
                                                                 : notebook::AnalysisKind::kWeibull;
    item_.set_analysis(notebook::AnalysisStamp(*sheet, kind));
  }

 private:
  NotebookSession& session_;
  notebook::Item& item_;
  std::unique_ptr<WorksheetTable> table_;
};

NotebookSession::NotebookSession(notebook::Notebook& notebook, std::string current)
    : notebook_(notebook), current_(std::move(current)) {}

NotebookSession::~NotebookSession() = default;

NotebookItem* NotebookSession::View(notebook::Item* item) {
  if (item == nullptr) return nullptr;
  auto& view = views_[item];
  if (!view) view = std::make_unique<ItemView>(*this, *item);
  return view.get();
}

int32_t NotebookSession::ItemCount() { return static_cast<int32_t>(notebook_.size()); }

NotebookItem* NotebookSession::Item(int32_t index) {
  if (index < 0 || index >= ItemCount()) return nullptr;
  return View(&notebook_.item(static_cast<size_t>(index)));
}

NotebookItem* NotebookSession::ItemByName(const std::string& name) {
  return View(notebook_.Find(name));
}

NotebookItem* NotebookSession::CurrentDataItem() { return View(notebook_.FindWorksheet(current_)); }

int64_t NotebookSession::CellCount() {
  int64_t total = 0;
  for (size_t i = 0; i < notebook_.size(); ++i) {
    if (const notebook::Worksheet* sheet = notebook_.item(i).worksheet()) {
      total += sheet->CellCount();
    }
  }
  return total;
}

int64_t NotebookSession::MaxCells() { return notebook::kMaxCellsPerNotebook; }

void NotebookSession::AddItem(int16_t kind) {
  const bool report = kind == kItemReport;
  const bool worksheet = kind == kItemWorksheet;
  std::string name;
  for (int n = 1;; ++n) {
    name = (report ? "Report " : worksheet ? "Worksheet " : "Item ") + std::to_string(n);
    if (notebook_.Find(name) == nullptr) break;
  }
  // After the current worksheet and whatever follows it in its section.
  size_t pos = notebook_.size();
  for (size_t i = 0; i < notebook_.size(); ++i) {
    if (notebook_.item(i).name() == current_) {
      pos = i + 1;
      while (pos < notebook_.size() && notebook_.item(pos).type() != notebook::ItemType::kSection) {
        ++pos;
      }
      break;
    }
  }
  const notebook::ItemType type = report      ? notebook::ItemType::kReport
                                  : worksheet ? notebook::ItemType::kWorksheet
                                              : notebook::ItemType::kOther;
  notebook_.Insert(pos, std::make_unique<notebook::Item>(type, name, "item"));
}

}  // namespace korund::host
