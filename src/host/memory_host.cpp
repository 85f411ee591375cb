#include "host/memory_host.h"

#include <algorithm>

namespace korund::host {

Value MemoryTable::Get(int32_t column, int32_t row) const {
  auto it = columns.find(column);
  if (it == columns.end()) return Value();
  if (row == -1) return it->second.has_title ? Value(it->second.title) : Value();
  if (row < 0 || row >= static_cast<int32_t>(it->second.cells.size())) return Value();
  return it->second.cells[row];
}

void MemoryTable::Set(int32_t column, int32_t row, const Value& v) {
  MemoryColumn& c = columns[column];
  if (row == -1) {
    c.has_title = true;
    c.title = ToText(v);
    return;
  }
  if (row < 0) return;
  if (row >= static_cast<int32_t>(c.cells.size())) {
    if (v.IsEmpty()) return;  // nothing to store beyond the end
    c.cells.resize(row + 1);
  }
  c.cells[row] = v;
  while (!c.cells.empty() && c.cells.back().IsEmpty()) c.cells.pop_back();
}

std::string MemoryTable::Title(int32_t column) const {
  auto it = columns.find(column);
  return it == columns.end() ? std::string() : it->second.title;
}

Block MemoryTable::Read(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  reads++;
  Block block;
  for (int32_t c = left; c <= right; ++c) {
    std::vector<Value> col;
    col.reserve(bottom >= top ? bottom - top + 1 : 0);
    for (int32_t r = top; r <= bottom; ++r) col.push_back(Get(c, r));
    block.push_back(std::move(col));
  }
  return block;
}

void MemoryTable::Write(const Block& block, int32_t left, int32_t top) {
  writes++;
  for (size_t c = 0; c < block.size(); ++c) {
    for (size_t r = 0; r < block[c].size(); ++r) {
      Set(left + static_cast<int32_t>(c), top + static_cast<int32_t>(r), block[c][r]);
    }
  }
}

void MemoryTable::UsedSize(int32_t& cols, int32_t& rows) {
  size_calls++;
  cols = 0;
  rows = 0;
  for (const auto& [index, column] : columns) {
    if (index < 0) continue;
    int32_t used = 0;
    for (int32_t r = static_cast<int32_t>(column.cells.size()); r > 0; --r) {
      if (!column.cells[r - 1].IsBlank()) {
        used = r;
        break;
      }
    }
    if (used > 0) {
      cols = std::max(cols, index + 1);
      rows = std::max(rows, used);
    }
  }
}

Value MemoryTable::Cell(int32_t column, int32_t row) {
  cell_reads++;
  return Get(column, row);
}

void MemoryTable::SetCell(int32_t column, int32_t row, const Value& v) {
  cell_writes++;
  Set(column, row, v);
}

void MemoryTable::SetTitle(int32_t column, const std::string& title) {
  title_writes++;
  titles_written.push_back(column);
  MemoryColumn& c = columns[column];
  c.has_title = true;
  c.title = title;
}

MemoryItem::MemoryItem(std::string item_name, int item_type)
    : name(std::move(item_name)), type(item_type) {
  if (type == kItemWorksheet) table = std::make_unique<MemoryTable>();
}

void MemoryItem::Open() {
  opened++;
  if (owner != nullptr && type == kItemWorksheet) owner->current = name;
}

bool MemoryItem::SetName(const std::string& new_name) {
  if (refuse_rename) return false;
  if (owner != nullptr) {
    MemoryItem* other = owner->Find(new_name);
    if (other != nullptr && other != this) return false;  // names are unique
  }
  name = new_name;
  return true;
}

NotebookItem* MemoryNotebook::Item(int32_t index) {
  if (index < 0 || index >= ItemCount()) return nullptr;
  return items[index].get();
}

NotebookItem* MemoryNotebook::ItemByName(const std::string& name) { return Find(name); }

MemoryItem* MemoryNotebook::Find(const std::string& name) {
  for (auto& item : items) {
    if (item->name == name) return item.get();
  }
  return nullptr;
}

NotebookItem* MemoryNotebook::CurrentDataItem() {
  MemoryItem* item = Find(current);
  return (item != nullptr && item->type == kItemWorksheet) ? item : nullptr;
}

void MemoryNotebook::AddItem(int16_t kind) {
  std::string name;
  for (int n = 1;; ++n) {
    name = (kind == kItemReport ? "Report " : "Item ") + std::to_string(n);
    if (Find(name) == nullptr) break;
  }
  auto item = std::make_unique<MemoryItem>(name, kind);
  item->owner = this;
  // After the current worksheet and whatever follows it in its section.
  size_t pos = items.size();
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i]->name == current) {
      pos = i + 1;
      while (pos < items.size() && items[pos]->type != kItemSection) ++pos;
      break;
    }
  }
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(pos), std::move(item));
}

MemoryItem& MemoryNotebook::AddSection(const std::string& name) {
  items.push_back(std::make_unique<MemoryItem>(name, kItemSection));
  items.back()->owner = this;
  return *items.back();
}

MemoryItem& MemoryNotebook::AddWorksheet(const std::string& name) {
  items.push_back(std::make_unique<MemoryItem>(name, kItemWorksheet));
  items.back()->owner = this;
  if (current.empty()) current = name;
  return *items.back();
}

MemoryItem& MemoryNotebook::AddReport(const std::string& name, const std::string& text) {
  items.push_back(std::make_unique<MemoryItem>(name, kItemReport));
  items.back()->owner = this;
  items.back()->text = text;
  return *items.back();
}

Notebook* MemoryApplication::ActiveNotebook() { return &host_->notebook; }

void MemoryApplication::SetProperty(int dispatch_id, bool value) {
  host_->properties[dispatch_id] = value;
}

bool MemoryApplication::Release(std::string* error) {
  host_->releases++;
  if (host_->release_fails) {
    if (error != nullptr) *error = "the notebook could not be written back";
    return false;
  }
  return true;
}

std::unique_ptr<Application> MemoryHost::Connect(std::string* error) {
  connects++;
  if (!running || failures_left > 0) {
    if (failures_left > 0) failures_left--;
    if (error != nullptr) *error = "the host is not running";
    return nullptr;
  }
  return std::make_unique<MemoryApplication>(this);
}

}  // namespace korund::host
