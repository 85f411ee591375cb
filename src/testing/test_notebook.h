// For tests: an in-memory notebook with one section and one worksheet, a
// scripted UI, and the run's sheet and context over them; and the analyses'
// check that results which would not fit are refused before the run.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "testing/memory_host.h"
#include "testing/scripted_ui.h"
#include "util/terminate.h"
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

// A whole run of an analysis (`guard`, its options dialog answered by the
// scripted UI) on a fresh notebook that `fill` fills and that holds a second
// worksheet, the notebook allowed max_cells (0: the real limit).
struct RoomRun {
  std::string outcome;  // as Outcome gives it
  int64_t cells = 0;    // what the notebook holds afterwards
  int reads = 0;        // block reads of the worksheet
  std::string shown;    // the last box, "title: text"
};
inline RoomRun RunWithRoom(const std::function<void(TestNotebook&)>& fill,
                           const std::function<void(RunContext&)>& guard, int64_t max_cells) {
  TestNotebook t;
  fill(t);
  t.host.notebook.AddWorksheet("Other").worksheet()->SetCell(3, 500, Value(1));
  if (max_cells > 0) t.host.max_cells = max_cells;
  RoomRun run;
  run.outcome = Outcome([&] {
    if (t.sheet.spOpenWorksheet(t.host, "")) throw std::runtime_error("no worksheet");
    guard(t.ctx);
    t.sheet.spSaveSheet();
  });
  run.cells = t.NotebookCells();
  run.reads = t.table->reads;
  if (!t.ui.shown.empty()) run.shown = t.ui.shown.back().title + ": " + t.ui.shown.back().text;
  return run;
}

// For data whose results the plan counts exactly: one cell less room than
// the run needs refuses it with `reads` block reads at most and before a
// dialog is shown, and exactly that room lets it finish.
inline void ExpectExactRoom(const std::function<void(TestNotebook&)>& fill,
                            const std::function<void(RunContext&)>& guard, int reads) {
  const RoomRun free = RunWithRoom(fill, guard, 0);
  ASSERT_EQ("", free.outcome);
  const int64_t needed = free.cells;
  const RoomRun exact = RunWithRoom(fill, guard, needed);
  EXPECT_EQ("", exact.outcome);
  EXPECT_EQ(needed, exact.cells);
  const RoomRun filled = RunWithRoom(fill, guard, 1);  // the cells as filled
  const RoomRun refused = RunWithRoom(fill, guard, needed - 1);
  EXPECT_EQ("fatal", filled.outcome);
  EXPECT_EQ("fatal", refused.outcome);
  EXPECT_EQ(filled.cells, refused.cells);
  EXPECT_EQ(reads, refused.reads);
  EXPECT_EQ(AppTitle() +
                ": ERROR\rThe results of this analysis would make the notebook hold up to " +
                std::to_string(needed) + " cells, more than the " + std::to_string(needed - 1) +
                " a notebook may hold, so the analysis was not started and nothing was "
                "changed. Analyse fewer or smaller data sets, or move other worksheets to a "
                "notebook of their own.\rPROGRAM TERMINATED",
            refused.shown);
}

}  // namespace korund
