// For tests: an in-memory notebook with one section and one worksheet, a
// scripted UI, and the run's sheet and context over them.
#pragma once

#include "testing/memory_host.h"
#include "testing/scripted_ui.h"
#include "worksheet/run_context.h"

namespace korund {

struct TestNotebook {
  TestNotebook() {
    host.notebook.AddSection("Section 1");
    table = &host.Table(host.notebook.AddWorksheet("Data 1"));
  }
  // Sets a cell (1-based column and row) in the host, before the sheet loads it.
  void Cell(int32_t column, int32_t row, const Value& v) { table->Set(column - 1, row - 1, v); }
  // The cells all worksheets of the notebook hold, as its limit counts them.
  int64_t NotebookCells() const {
    int64_t cells = 0;
    for (size_t i = 0; i < host.notebook.size(); ++i) {
      if (const auto* w = host.notebook.item(i).worksheet()) cells += w->CellCount();
    }
    return cells;
  }

  host::MemoryHost host;
  host::MemoryTable* table = nullptr;
  ui::ScriptedUi ui;
  dialogs::MessageDialog msg{ui};
  RunSettings settings;
  worksheet::Sheet sheet{ui, msg, settings};
  RunContext ctx{settings, ui, msg, sheet};
};

}  // namespace korund
