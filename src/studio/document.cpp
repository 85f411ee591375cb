#include "studio/document.h"

#include <QUndoCommand>
#include <algorithm>

#include "host/atomic_file.h"
#include "host/notebook_store.h"
#include "notebook/notebook_file.h"

namespace korund::studio {

namespace {

// Cell edits keep only the cells they touch, so typing into a large
// worksheet costs nothing in proportion to its size.
class SetCellsCommand : public QUndoCommand {
 public:
  struct Change {
    int32_t column, row;
    Value before, after;
  };
  SetCellsCommand(Document& doc, int sheet, std::vector<Change> changes, const QString& what)
      : QUndoCommand(what), doc_(doc), sheet_(sheet), changes_(std::move(changes)) {}

  void redo() override { Apply(true); }
  void undo() override { Apply(false); }

 private:
  void Apply(bool forward) {
    notebook::Worksheet& ws = *doc_.mutable_notebook().item(sheet_).worksheet();
    int32_t c0 = INT32_MAX, c1 = 0, r0 = INT32_MAX, r1 = 0;
    for (const Change& c : changes_) {
      ws.SetCell(c.column, c.row, forward ? c.after : c.before);
      c0 = std::min(c0, c.column);
      c1 = std::max(c1, c.column);
      r0 = std::min(r0, c.row);
      r1 = std::max(r1, c.row);
    }
    if (!changes_.empty()) doc_.NotifyCells(sheet_, c0, c1, r0, r1);
  }

  Document& doc_;
  int sheet_;
  std::vector<Change> changes_;
};

// Changes of shape keep the whole notebook before and after: simple, and a
// copy of even a large worksheet takes milliseconds.
class SnapshotCommand : public QUndoCommand {
 public:
  SnapshotCommand(Document& doc, notebook::Notebook before, notebook::Notebook after,
                  const QString& what)
      : QUndoCommand(what), doc_(doc), before_(std::move(before)), after_(std::move(after)) {}
  void redo() override {
    doc_.mutable_notebook() = after_;
    doc_.NotifyStructure();
  }
  void undo() override {
    doc_.mutable_notebook() = before_;
    doc_.NotifyStructure();
  }

 private:
  Document& doc_;
  notebook::Notebook before_, after_;
};

notebook::Notebook FreshNotebook() {
  notebook::Notebook nb;
  nb.AddSection("Section 1");
  nb.AddWorksheet("Data 1");
  nb.set_current("Data 1");
  return nb;
}

}  // namespace

Document::Document() : notebook_(FreshNotebook()) {
  connect(&undo_, &QUndoStack::cleanChanged, this, &Document::stateChanged);
}

Document::~Document() = default;

void Document::Reset(notebook::Notebook notebook, const std::string& path) {
  undo_.clear();
  notebook_ = std::move(notebook);
  path_ = path;
  NotifyStructure();
  emit stateChanged();
}

void Document::NewNotebook() {
  store_.Unlock();
  Reset(FreshNotebook(), "");
}

bool Document::Open(const std::string& path, std::string* error) {
  notebook::Notebook nb;
  if (!store_.Open(path, &nb, error)) return false;
  Reset(std::move(nb), path);
  return true;
}

bool Document::Save(const std::string& path, const ConfirmOverwrite& confirm, std::string* error) {
  const std::string target = path.empty() ? path_ : path;
  const bool same = !path_.empty() && host::SameFile(target, path_);
  std::string text;
  if (!notebook::SerializeNotebook(notebook_, target, &text, error)) return false;
  const bool changed = same && !store_.Unchanged();
  if (changed && !(confirm && confirm(target))) {
    error->clear();
    return false;
  }
  host::NotebookStore other;
  if (!same && !other.Lock(target, error)) return false;
  host::NotebookStore& store = same ? store_ : other;
  // Checked again just before the rename: a change made while the question
  // was open or the text was being written is not overwritten unasked.
  auto still_ours = [&](std::string* err) {
    if (!same || changed || store.Unchanged()) return true;
    *err = target + " was changed by another program while it was being saved (it is unchanged)";
    return false;
  };
  if (!store.Replace(text, error, still_ours)) return false;
  if (!same) store_ = std::move(other);  // the old file's lock goes
  path_ = target;
  undo_.setClean();
  emit stateChanged();
  return true;
}

int Document::current() const {
  const std::optional<std::string>& name = notebook_.current();
  int first = -1;
  for (size_t i = 0; i < notebook_.size(); ++i) {
    const notebook::Item& item = notebook_.item(i);
    if (item.type() != notebook::ItemType::kWorksheet) continue;
    if (first < 0) first = static_cast<int>(i);
    if (name && item.name() == *name) return static_cast<int>(i);
  }
  return first;
}

void Document::SetCurrent(int index) {
  if (index < 0 || static_cast<size_t>(index) >= notebook_.size()) return;
  const notebook::Item& item = notebook_.item(index);
  if (item.type() != notebook::ItemType::kWorksheet || index == current()) return;
  notebook_.set_current(item.name());
  emit currentChanged();
}

int Document::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < notebook_.size(); ++i) {
    if (notebook_.item(i).name() == name) return static_cast<int>(i);
  }
  return -1;
}

void Document::SetCells(int sheet, int32_t column, int32_t row, const CellBlock& block,
                        const QString& what) {
  const notebook::Worksheet& ws = *notebook_.item(sheet).worksheet();
  std::vector<SetCellsCommand::Change> changes;
  for (size_t r = 0; r < block.size(); ++r) {
    for (size_t c = 0; c < block[r].size(); ++c) {
      const int32_t col = column + static_cast<int32_t>(c);
      const int32_t rw = row + static_cast<int32_t>(r);
      if (col > notebook::kMaxColumnNumber || rw > notebook::kMaxRowsPerColumn) continue;
      Value before = ws.Cell(col, rw);
      const Value& after = block[r][c];
      // Compare kinds too: the rule that makes "" equal an empty cell would
      // hide a real change.
      if (before.kind() == after.kind() && before == after) continue;
      changes.push_back({col, rw, std::move(before), after});
    }
  }
  if (changes.empty()) return;
  undo_.push(new SetCellsCommand(*this, sheet, std::move(changes), what));
}

void Document::ClearCells(int sheet, int32_t first_column, int32_t last_column, int32_t first_row,
                          int32_t last_row) {
  const notebook::Worksheet& ws = *notebook_.item(sheet).worksheet();
  // Only up to the used rows: clearing whole columns stays cheap.
  int32_t used = 0;
  for (int32_t c = first_column; c <= last_column; ++c) used = std::max(used, ws.UsedRows(c));
  last_row = std::min(last_row, used);
  if (last_row < first_row) return;
  CellBlock block(last_row - first_row + 1,
                  std::vector<Value>(last_column - first_column + 1, Value()));
  SetCells(sheet, first_column, first_row, block, tr("Clear cells"));
}

void Document::InsertRows(int sheet, int32_t row, int32_t count) {
  notebook::Notebook after = notebook_;
  for (auto& [number, column] : after.item(sheet).worksheet()->columns()) {
    if (static_cast<size_t>(row - 1) < column.cells.size()) {
      column.cells.insert(column.cells.begin() + (row - 1), count, Value());
      column.tokens.Clear();  // they name rows that moved
    }
  }
  undo_.push(new SnapshotCommand(*this, notebook_, std::move(after), tr("Insert rows")));
}

void Document::RemoveRows(int sheet, int32_t row, int32_t count) {
  notebook::Notebook after = notebook_;
  for (auto& [number, column] : after.item(sheet).worksheet()->columns()) {
    std::vector<Value>& cells = column.cells;
    if (static_cast<size_t>(row - 1) >= cells.size()) continue;
    const size_t end = std::min(cells.size(), static_cast<size_t>(row - 1 + count));
    cells.erase(cells.begin() + (row - 1), cells.begin() + end);
    column.tokens.Clear();
  }
  undo_.push(new SnapshotCommand(*this, notebook_, std::move(after), tr("Delete rows")));
}

bool Document::RenameItem(int index, const std::string& name) {
  if (name.empty()) return false;
  const int other = IndexOf(name);
  if (other == index) return true;
  if (other >= 0) return false;
  notebook::Notebook after = notebook_;
  notebook::Item& item = after.item(index);
  if (after.current() && *after.current() == item.name()) after.set_current(name);
  item.set_name(name);
  undo_.push(new SnapshotCommand(*this, notebook_, std::move(after), tr("Rename")));
  return true;
}

int Document::AddWorksheet() {
  std::string name;
  for (int n = 1;; ++n) {
    name = "Data " + std::to_string(n);
    if (IndexOf(name) < 0) break;
  }
  notebook::Notebook after = notebook_;
  after.AddWorksheet(name);
  after.set_current(name);
  undo_.push(new SnapshotCommand(*this, notebook_, std::move(after), tr("Add worksheet")));
  return static_cast<int>(notebook_.size()) - 1;
}

void Document::ReplaceNotebook(const notebook::Notebook& after, const QString& what) {
  undo_.push(new SnapshotCommand(*this, notebook_, after, what));
}

void Document::NotifyCells(int sheet, int32_t first_column, int32_t last_column, int32_t first_row,
                           int32_t last_row) {
  emit cellsChanged(sheet, first_column, last_column, first_row, last_row);
}

void Document::NotifyStructure() { emit structureChanged(); }

}  // namespace korund::studio
