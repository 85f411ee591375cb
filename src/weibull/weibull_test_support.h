// Test fixture and reference arithmetic for the Weibull tests: an in-memory
// notebook with one worksheet, a scripted UI, and textbook formulas written
// independently of the engine.
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

  // Fills a 1-based column from row 1 down (empty values leave a gap).
  void Column(int32_t column, std::initializer_list<Value> cells);
  void Column(int32_t column, const std::vector<double>& cells);
  void Cell(int32_t column, int32_t row, const Value& v);
  // Attaches to the notebook; Load also enters buffered mode as the guard does.
  void Open();
  void Load();

  // Cells as the run left them in the loaded worksheet.
  Value Get(int32_t column, int32_t row) { return sheet.spGetCell(column, row); }
  std::string Text(int32_t column, int32_t row) { return ToText(Get(column, row)); }
  double Num(int32_t column, int32_t row);
  // Column rows first..last as texts, for whole-column comparisons.
  std::vector<std::string> Texts(int32_t column, int32_t first, int32_t last);

  host::MemoryHost host;
  host::MemoryTable* table = nullptr;
  ui::ScriptedUi ui;
  dialogs::MessageDialog msg{ui};
  RunSettings settings;
  worksheet::Sheet sheet{ui, msg, settings};
  RunContext ctx{settings, ui, msg, sheet};
};

// The straight line through (x[i], y[i]) by the textbook formulas
// m = Sxy / Sxx about the means, with the usual standard errors.
struct Line {
  double m, c, r, delm, delc, xbar, ybar, delb;
};
Line FitLine(const std::vector<double>& x, const std::vector<double>& y);

// Failure probability of rank i of n: (i - 1/2)/n, or i/(n + 1).
double Rank(int i, int n, bool half);

// Strengths drawn from a Weibull distribution (shape m, scale so) with a
// fixed seed.
std::vector<double> WeibullSample(int count, double m, double so, unsigned seed);

}  // namespace korund::weibull
