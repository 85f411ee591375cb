// Fixture and reference arithmetic for the Weibull tests: an in-memory
// notebook with one worksheet, a scripted UI, and the textbook line fit.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/message_dialog.h"
#include "host/memory_host.h"
#include "ui/scripted_ui.h"
#include "util/run_settings.h"
#include "worksheet/run_context.h"
#include "worksheet/sheet.h"

namespace korund::weibull {

class WeibullTest : public ::testing::Test {
 protected:
  WeibullTest();
  // Fills a 1-based column from row 1 down; Cell sets one 1-based cell.
  void Column(int32_t column, std::initializer_list<Value> cells);
  void Cell(int32_t column, int32_t row, const Value& v) { table->Set(column - 1, row - 1, v); }
  void Open() { ASSERT_FALSE(sheet.spOpenWorksheet(host, "")); }
  void Load();  // attach and load, as the guard does
  std::string Text(int32_t column, int32_t row) { return ToText(sheet.spGetCell(column, row)); }
  double Num(int32_t column, int32_t row);  // fails the test on a non-number
  // The numbers of a column from row 1 down to the first non-number.
  std::vector<double> Numbers(int32_t column);

  host::MemoryHost host;
  host::MemoryTable* table = nullptr;
  ui::ScriptedUi ui;
  dialogs::MessageDialog msg{ui};
  RunSettings settings;
  worksheet::Sheet sheet{ui, msg, settings};
  RunContext ctx{settings, ui, msg, sheet};
};

// Least squares by the textbook formulas about the means.
struct Line {
  double m, c, r, delm, delc;
};
Line FitLine(const std::vector<double>& x, const std::vector<double>& y);

}  // namespace korund::weibull
