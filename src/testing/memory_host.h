// testing/: the test-support library, linked only by test programs: the
// counting in-memory host (this file), the scripted UI, a fake options form,
// temporary files and the fixture of one notebook with one worksheet.
//
// Test support: the host seam over a notebook held by the test, with the
// real in-memory session underneath and counters on top. Tests build the
// notebook through the model, read what the program did through the
// counters, and make the host fail through the switches.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/notebook_session.h"
#include "notebook/notebook.h"

namespace korund::host {

// A worksheet's table that counts the calls made through the seam.
class MemoryTable : public DataTable {
 public:
  explicit MemoryTable(notebook::Worksheet& sheet) : table_(sheet) {}

  Block Read(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void Write(const Block& block, int32_t left, int32_t top) override;
  void UsedSize(int32_t& columns, int32_t& rows) override;
  Value Cell(int32_t column, int32_t row) override;
  void SetCell(int32_t column, int32_t row, const Value& v) override;
  void SetTitle(int32_t column, const std::string& title) override;
  int64_t StoredRows(int32_t column) override { return table_.StoredRows(column); }

  // Direct access without counting, in host indices (column -1 holds the
  // row titles, row -1 the titles).
  Value Get(int32_t column, int32_t row) { return table_.Cell(column, row); }
  void Set(int32_t column, int32_t row, const Value& v) { table_.SetCell(column, row, v); }
  std::string Title(int32_t column) { return ToText(table_.Cell(column, -1)); }

  int reads = 0, writes = 0, size_calls = 0, cell_reads = 0, cell_writes = 0, title_writes = 0;
  std::vector<int32_t> titles_written;  // host columns, in order

 private:
  WorksheetTable table_;
};

// Connect fails `failures_left` times, then hands out applications on the
// notebook. A host that is not `running` is never reached. The session's
// current worksheet is the notebook's current one (the first worksheet when
// none is set); opening a worksheet makes it the notebook's current one.
class MemoryHost : public Host {
 public:
  std::unique_ptr<Application> Connect(std::string* error) override;

  // The counting table of a worksheet item of `notebook`.
  MemoryTable& Table(notebook::Item& worksheet);

  notebook::Notebook notebook;
  bool running = true;
  int failures_left = 0;
  int connects = 0;
  std::map<int, bool> properties;  // set through any application
  int releases = 0;
  bool release_fails = false;  // Release reports a failed write-back
  // The most cells the notebook may hold; small values test the limit.
  int64_t max_cells = notebook::kMaxCellsPerNotebook;

 private:
  std::map<const notebook::Item*, std::unique_ptr<MemoryTable>> tables_;
};

}  // namespace korund::host
