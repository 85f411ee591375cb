// An in-memory notebook behind the host seam. Tests build notebooks with it
// and read what the program did through its counters; the notebook-file host
// loads a file into the same model.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"

namespace korund::host {

struct MemoryColumn {
  bool has_title = false;
  std::string title;
  std::vector<Value> cells;  // row 0 downwards
};

class MemoryTable : public DataTable {
 public:
  Block Read(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void Write(const Block& block, int32_t left, int32_t top) override;
  void UsedSize(int32_t& columns, int32_t& rows) override;
  Value Cell(int32_t column, int32_t row) override;
  void SetCell(int32_t column, int32_t row, const Value& v) override;
  void SetTitle(int32_t column, const std::string& title) override;

  // Direct access for tests and the file host (no counters touched).
  // Column -1 is the row-title column; row -1 is the title row.
  Value Get(int32_t column, int32_t row) const;
  void Set(int32_t column, int32_t row, const Value& v);
  std::string Title(int32_t column) const;

  // 0-based host column -> column. Key -1 is the row-title column.
  std::map<int32_t, MemoryColumn> columns;

  // Calls made through the seam.
  int reads = 0, writes = 0, size_calls = 0, cell_reads = 0, cell_writes = 0, title_writes = 0;
  std::vector<int32_t> titles_written;  // host columns, in order
};

class MemoryItem : public NotebookItem {
 public:
  MemoryItem(std::string name, int type);
  std::string Name() const override { return name; }
  int ItemType() const override { return type; }
  void Open() override;  // a worksheet becomes the current item
  bool SetName(const std::string& new_name) override;
  std::string Text() const override { return text; }
  void SetText(const std::string& t) override { text = t; }
  DataTable* Table() override { return table.get(); }

  std::string name;
  int type;
  std::string text;                    // report items
  std::unique_ptr<MemoryTable> table;  // worksheets
  int opened = 0;
  class MemoryNotebook* owner = nullptr;
  bool refuse_rename = false;
};

class MemoryNotebook : public Notebook {
 public:
  int32_t ItemCount() override { return static_cast<int32_t>(items.size()); }
  NotebookItem* Item(int32_t index) override;
  NotebookItem* ItemByName(const std::string& name) override;
  // Adds a report item named "Report N" right after the current worksheet's
  // section contents (before the next section), or at the end.
  void AddItem(int16_t kind) override;
  NotebookItem* CurrentDataItem() override;

  MemoryItem& AddSection(const std::string& name);
  MemoryItem& AddWorksheet(const std::string& name);  // also becomes current if none is
  MemoryItem& AddReport(const std::string& name, const std::string& text);
  MemoryItem* Find(const std::string& name);

  std::vector<std::unique_ptr<MemoryItem>> items;
  std::string current;  // name of the current worksheet
};

class MemoryHost;

// Records what it is told in its host, so tests can look after release.
class MemoryApplication : public Application {
 public:
  explicit MemoryApplication(MemoryHost* host) : host_(host) {}
  Notebook* ActiveNotebook() override;
  void SetProperty(int dispatch_id, bool value) override;
  bool Release(std::string* error) override;

 private:
  MemoryHost* host_;
};

// Connect fails `failures_left` times, then hands out applications on the
// notebook. A host with no notebook is "not running".
class MemoryHost : public Host {
 public:
  std::unique_ptr<Application> Connect(std::string* error) override;

  MemoryNotebook notebook;
  bool running = true;
  int failures_left = 0;
  int connects = 0;
  std::map<int, bool> properties;  // set through any application
  int releases = 0;
  bool release_fails = false;  // Release reports a failed write-back
};

}  // namespace korund::host
