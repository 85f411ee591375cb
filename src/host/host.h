// host/: the host seam, a typed mirror of the automation members of the graphing
// host that the program uses. The worksheet layer (worksheet/) is the only
// caller. Two real implementations, both over a notebook::Notebook: the
// notebook-file host of korund (file_host.h) and the in-process host of the
// desktop application (in_process_host.h); notebook_session.h holds what
// they share.
//
// Indices are the host's: columns and rows count from 0; row -1 is the
// column-title row and column -1 the row-title column.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "util/value.h"

namespace korund::host {

// A block of cells, indexed [column offset][row offset].
using Block = std::vector<std::vector<Value>>;

// Item types as the host numbers them.
inline constexpr int kItemOther = 0;
inline constexpr int kItemWorksheet = 1;  // a data item
inline constexpr int kItemSection = 3;
inline constexpr int kItemReport = 5;

// The application properties the program sets; what they mean is the
// host's business.
enum class Property : int {
  kAttached = 10,  // set true when attaching
  kRunEnded = 21,  // set false at the end of the run
};

// The worksheet's data table.
class DataTable {
 public:
  virtual ~DataTable() = default;
  // Cells left..right x top..bottom, inclusive. Cells never written read as
  // empty values.
  virtual Block Read(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  // Writes block with its (0, 0) element at (left, top).
  virtual void Write(const Block& block, int32_t left, int32_t top) = 0;
  // The same for a block the caller no longer needs, which a table may take
  // its cells from instead of copying them.
  virtual void WriteMoved(Block&& block, int32_t left, int32_t top) { Write(block, left, top); }
  // The used column and row counts (0, 0 for an empty table). The title
  // row and the row-title column do not count.
  virtual void UsedSize(int32_t& columns, int32_t& rows) = 0;
  virtual Value Cell(int32_t column, int32_t row) = 0;
  virtual void SetCell(int32_t column, int32_t row, const Value& v) = 0;
  virtual void SetTitle(int32_t column, const std::string& title) = 0;
  // The rows the column holds, counted to its last stored cell (empty cells
  // before it included); 0 for a column that holds none.
  virtual int64_t StoredRows(int32_t column) = 0;
};

class NotebookItem {
 public:
  virtual ~NotebookItem() = default;
  virtual std::string Name() const = 0;
  // kItemSection, kItemReport, kItemWorksheet, or kItemOther.
  virtual int ItemType() const = 0;
  virtual void Open() = 0;
  // Renames the item; false when the host refuses (for example a taken name).
  virtual bool SetName(const std::string& name) = 0;
  // Report items: their text. Others: "" and ignored.
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  // Worksheet items: their data table; nullptr for other items.
  virtual DataTable* Table() = 0;
  // Not a member of the graphing host: remembers, on a worksheet item, that
  // the analysis fit_type (kFitWeibull, ...) has just written its results
  // and what it read, so that later readers can tell results older than
  // their data. Other items ignore it.
  virtual void RecordAnalysis(int32_t /*fit_type*/) {}
};

// The active notebook document and its item collection.
class NotebookDocument {
 public:
  virtual ~NotebookDocument() = default;
  virtual int32_t ItemCount() = 0;
  virtual NotebookItem* Item(int32_t index) = 0;  // 0-based; nullptr when out of range
  virtual NotebookItem* ItemByName(const std::string& name) = 0;  // nullptr when none
  // Adds an item of that kind (kItemReport, kItemWorksheet) with a default
  // name; the host decides where it goes.
  virtual void AddItem(int16_t kind) = 0;
  virtual NotebookItem* CurrentDataItem() = 0;  // nullptr when none
  // The cells the whole notebook holds, counted as StoredRows counts them,
  // and the most it may hold: a notebook over that could not be saved, so a
  // run checks its results against the room left before it starts.
  virtual int64_t CellCount() = 0;
  virtual int64_t MaxCells() = 0;
};

// An attached host application. Destroying it releases the host without
// writing anything back; Release() writes back what the run changed.
class Application {
 public:
  virtual ~Application() = default;
  virtual NotebookDocument* ActiveNotebook() = 0;  // nullptr when none
  virtual void SetProperty(Property property, bool value) = 0;
  // Ends the session: writes the notebook back if anything was written.
  // False with *error set when that failed; the host's data is then kept
  // safe as the implementation documents.
  virtual bool Release(std::string* error) = 0;
};

// Creates the application object ("SigmaPlot.Application.1").
class Host {
 public:
  virtual ~Host() = default;
  // nullptr with *error set when the host cannot be reached.
  virtual std::unique_ptr<Application> Connect(std::string* error) = 0;
};

}  // namespace korund::host
