// The host seam over a notebook::Notebook held in memory: what both real
// hosts hand the worksheet layer. Worksheet columns and rows are the file's
// (1-based, column 0 the row titles); the seam's host indices are one less.
//
// The session has a current worksheet of its own (the one the run works
// on); opening a worksheet item changes it, the notebook's stored current
// worksheet does not change.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "host/host.h"
#include "notebook/notebook.h"

namespace korund::host {

// A worksheet's cells behind the DataTable interface.
class WorksheetTable : public DataTable {
 public:
  explicit WorksheetTable(notebook::Worksheet& sheet) : sheet_(sheet) {}

  Block Read(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void Write(const Block& block, int32_t left, int32_t top) override;
  void WriteMoved(Block&& block, int32_t left, int32_t top) override;
  void UsedSize(int32_t& columns, int32_t& rows) override;
  Value Cell(int32_t column, int32_t row) override;
  void SetCell(int32_t column, int32_t row, const Value& v) override;
  void SetTitle(int32_t column, const std::string& title) override;
  int64_t StoredRows(int32_t column) override;

 private:
  notebook::Worksheet& sheet_;
};

class NotebookSession : public NotebookDocument {
 public:
  // current: the name of the worksheet the run works on.
  NotebookSession(notebook::Notebook& notebook, std::string current);
  ~NotebookSession() override;

  int32_t ItemCount() override;
  NotebookItem* Item(int32_t index) override;
  NotebookItem* ItemByName(const std::string& name) override;
  // Adds a report named "Report N" (kItemReport) or an empty worksheet named
  // "Worksheet N" (kItemWorksheet) after the current worksheet and whatever
  // follows it in its section (before the next section), or at the end.
  void AddItem(int16_t kind) override;
  NotebookItem* CurrentDataItem() override;
  int64_t CellCount() override;
  // notebook::kMaxCellsPerNotebook.
  int64_t MaxCells() override;

  const std::string& current() const { return current_; }
  void set_current(const std::string& name) { current_ = name; }
  notebook::Notebook& notebook() { return notebook_; }

 private:
  class ItemView;
  NotebookItem* View(notebook::Item* item);

  notebook::Notebook& notebook_;
  std::string current_;
  // One view per item, made on first use; items keep their addresses.
  std::map<const notebook::Item*, std::unique_ptr<ItemView>> views_;
};

}  // namespace korund::host
