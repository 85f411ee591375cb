#include "testing/memory_host.h"

namespace korund::host {

Block MemoryTable::Read(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  reads++;
  return table_.Read(left, top, right, bottom);
}

void MemoryTable::Write(const Block& block, int32_t left, int32_t top) {
  writes++;
  table_.Write(block, left, top);
}

void MemoryTable::UsedSize(int32_t& columns, int32_t& rows) {
  size_calls++;
  table_.UsedSize(columns, rows);
}

Value MemoryTable::Cell(int32_t column, int32_t row) {
  cell_reads++;
  return table_.Cell(column, row);
}

void MemoryTable::SetCell(int32_t column, int32_t row, const Value& v) {
  cell_writes++;
  table_.SetCell(column, row, v);
}

void MemoryTable::SetTitle(int32_t column, const std::string& title) {
  title_writes++;
  titles_written.push_back(column);
  table_.SetTitle(column, title);
}

MemoryTable& MemoryHost::Table(notebook::Item& worksheet) {
  auto& table = tables_[&worksheet];
  if (!table) table = std::make_unique<MemoryTable>(*worksheet.worksheet());
  return *table;
}

namespace {

// An item of the session whose table is the host's counting one.
class CountedItem : public NotebookItem {
 public:
  CountedItem(NotebookItem& inner, MemoryHost& host) : inner_(inner), host_(host) {}
  std::string Name() const override { return inner_.Name(); }
  int ItemType() const override { return inner_.ItemType(); }
  void Open() override {
    inner_.Open();
    if (inner_.ItemType() == kItemWorksheet) host_.notebook.set_current(inner_.Name());
  }
  bool SetName(const std::string& name) override { return inner_.SetName(name); }
  std::string Text() const override { return inner_.Text(); }
  void SetText(const std::string& text) override { inner_.SetText(text); }
  DataTable* Table() override {
    if (inner_.Table() == nullptr) return nullptr;
    notebook::Item* item = host_.notebook.Find(inner_.Name());
    return item != nullptr && item->worksheet() != nullptr ? &host_.Table(*item) : nullptr;
  }

 private:
  NotebookItem& inner_;
  MemoryHost& host_;
};

class CountedDocument : public NotebookDocument {
 public:
  CountedDocument(MemoryHost& host, const std::string& current)
      : host_(host), session_(host.notebook, current) {}
  int32_t ItemCount() override { return session_.ItemCount(); }
  NotebookItem* Item(int32_t index) override { return Wrap(session_.Item(index)); }
  NotebookItem* ItemByName(const std::string& name) override {
    return Wrap(session_.ItemByName(name));
  }
  void AddItem(int16_t kind) override { session_.AddItem(kind); }
  NotebookItem* CurrentDataItem() override {
    return Wrap(session_.CurrentDataItem());
  }
  int64_t CellCount() override { return session_.CellCount(); }
  int64_t MaxCells() override { return host_.max_cells; }

 private:
  NotebookItem* Wrap(NotebookItem* inner) {
    if (inner == nullptr) return nullptr;
    auto& wrapped = items_[inner];
    if (!wrapped) wrapped = std::make_unique<CountedItem>(*inner, host_);
    return wrapped.get();
  }

  MemoryHost& host_;
  NotebookSession session_;
  std::map<NotebookItem*, std::unique_ptr<CountedItem>> items_;
};

class MemoryApplication : public Application {
 public:
  MemoryApplication(MemoryHost& host, const std::string& current)
      : host_(host), document_(host, current) {}
  NotebookDocument* ActiveNotebook() override { return &document_; }
  void SetProperty(Property property, bool value) override {
    host_.properties[static_cast<int>(property)] = value;
  }
  bool Release(std::string* error) override {
    host_.releases++;
    if (host_.release_fails) {
      if (error != nullptr) *error = "the notebook could not be written back";
      return false;
    }
    return true;
  }

 private:
  MemoryHost& host_;
  CountedDocument document_;
};

}  // namespace

std::unique_ptr<Application> MemoryHost::Connect(std::string* error) {
  connects++;
  if (!running || failures_left > 0) {
    if (failures_left > 0) failures_left--;
    if (error != nullptr) *error = "the host is not running";
    return nullptr;
  }
  std::string current = notebook.current().value_or("");
  if (current.empty()) {
    for (size_t i = 0; i < notebook.size(); ++i) {
      if (notebook.item(i).type() == notebook::ItemType::kWorksheet) {
        current = notebook.item(i).name();
        break;
      }
    }
  }
  return std::make_unique<MemoryApplication>(*this, current);
}

}  // namespace korund::host
