// Fixture of the fatigue tests: a notebook with one worksheet, a scripted UI and readers.
#pragma once

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fatigue/fatigue_driver.h"
#include "testing/test_notebook.h"
#include "util/worksheet_layout.h"

namespace korund::fatigue {

using Strings = std::vector<std::string>;

class FatigueTest : public ::testing::Test, public TestNotebook {
 protected:
  FatigueTest() {
    settings.RateFactor = 1.2;
    settings.SetToCopy = 1;
  }
  // Fills offset k of data set s from row 1 down (before Load).
  template <typename Cells>
  void Input(int16_t s, int32_t k, const Cells& cells) {
    int32_t row = 1;
    for (const auto& v : cells) Cell(SetColumn(s, k), row++, Value(v));
  }
  void Input(int16_t s, int32_t k, std::initializer_list<Value> cells) { Input<>(s, k, cells); }
  void Load() {  // attaches to the notebook and loads the sheet
    ASSERT_FALSE(sheet.spOpenWorksheet(host, ""));
    sheet.spLoadSheet(layout::fatigue::kColParms, layout::fatigue::kMinRows);
  }
  FatigueRun& NewRun() {  // a run with the names of FatigueMode
    run = std::make_unique<FatigueRun>(ctx);
    SetQuantityNames(*run);
    return *run;
  }
  std::string Analyse(int16_t s) {  // all stages in a new run; returns the summary
    std::string summary;
    AnalyseDataSet(NewRun(), s, summary);
    return summary;
  }
  Value Get(int32_t column, int32_t row) { return sheet.spGetCell(column, row); }
  std::string Text(int16_t s, int32_t k, int32_t row) { return ToText(Get(SetColumn(s, k), row)); }
  double NumAt(int32_t c, int32_t r) { return Get(c, r).IsNumber() ? Get(c, r).Number() : NAN; }
  double Num(int16_t s, int32_t k, int32_t row) { return NumAt(SetColumn(s, k), row); }
  Strings Texts(int16_t s, int32_t k, int32_t last) {  // rows 1..last
    Strings out;
    for (int32_t row = 1; row <= last; ++row) out.push_back(Text(s, k, row));
    return out;
  }
  Strings ReportLines() const {  // of the last set, CR LF removed
    Strings lines;
    std::istringstream in(run->ReportText.ToString());
    for (std::string l; std::getline(in, l);) lines.push_back(l.substr(0, l.size() - 1));
    return lines;
  }

  std::unique_ptr<FatigueRun> run;
};

}  // namespace korund::fatigue
