// Test fixture for the fatigue tests: an in-memory notebook with one
// worksheet, a scripted UI and a run context, plus helpers that read the
// worksheet back as the run left it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/message_dialog.h"
#include "fatigue/fatigue_run.h"
#include "host/memory_host.h"
#include "ui/scripted_ui.h"
#include "util/run_settings.h"
#include "worksheet/run_context.h"
#include "worksheet/sheet.h"

namespace korund::fatigue {

class FatigueTest : public ::testing::Test {
 protected:
  FatigueTest();

  // Fills offset k of data set s from row 1 down (before Load).
  void Input(int16_t s, int32_t k, std::initializer_list<Value> cells);
  void Input(int16_t s, int32_t k, const std::vector<double>& cells);
  // One cell of the notebook, 1-based (before Load).
  void Cell(int32_t column, int32_t row, const Value& v);
  // Attaches to the notebook; Load also loads the worksheet as the guard does.
  void Open();
  void Load();

  // A fresh run over the loaded sheet with the names of FatigueMode.
  FatigueRun& NewRun();
  // Analyses one set through the three stages; returns the summary.
  std::string Analyse(int16_t s);

  Value Get(int32_t column, int32_t row) { return sheet.spGetCell(column, row); }
  Value At(int16_t s, int32_t k, int32_t row) { return Get(SetColumn(s, k), row); }
  std::string Text(int16_t s, int32_t k, int32_t row) { return ToText(At(s, k, row)); }
  double Num(int16_t s, int32_t k, int32_t row);
  double NumAt(int32_t column, int32_t row);
  // Rows 1..last of a set's column as texts.
  std::vector<std::string> Texts(int16_t s, int32_t k, int32_t last);
  // The report lines of the last analysed set (CR LF removed).
  std::vector<std::string> ReportLines() const;

  host::MemoryHost host;
  host::MemoryTable* table = nullptr;
  ui::ScriptedUi ui;
  dialogs::MessageDialog msg{ui};
  RunSettings settings;
  worksheet::Sheet sheet{ui, msg, settings};
  RunContext ctx{settings, ui, msg, sheet};
  std::unique_ptr<FatigueRun> run;
};

// Splits text at a separator string.
std::vector<std::string> Split(const std::string& text, const std::string& sep);

// No cell of the loaded sheet holds a text that looks like NaN or infinity.
void ExpectNoNonFinite(worksheet::Sheet& sheet);

}  // namespace korund::fatigue
