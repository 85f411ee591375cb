// Fixture for the Weibull tests: a notebook with one worksheet and a scripted UI.
#pragma once

#include <cmath>

#include <gmock/gmock.h>

#include "testing/test_notebook.h"
#include "util/plot_styles.h"
#include "util/worksheet_layout.h"

namespace korund::weibull {

class WeibullTest : public ::testing::Test, public TestNotebook {
 protected:
  WeibullTest() { InitPlotStyles(settings); }
  void Column(int32_t column, const std::vector<Value>& cells) {  // from row 1 down
    for (size_t i = 0; i < cells.size(); ++i) Cell(column, static_cast<int32_t>(i) + 1, cells[i]);
  }
  void Load() {
    ASSERT_FALSE(sheet.spOpenWorksheet(host, ""));
    sheet.spLoadSheet(layout::weibull::kMinColumns, layout::weibull::kMinRows);
  }
  std::string Text(int32_t column, int32_t row) { return ToText(sheet.spGetCell(column, row)); }
  double Num(int32_t col, int32_t row) {  // fails the test unless a finite number
    const Value v = sheet.spGetCell(col, row);
    EXPECT_TRUE(v.IsNumber() && std::isfinite(v.Number())) << col << "," << row << ": " << ToText(v);
    return v.IsNumber() ? v.Number() : NAN;
  }
  std::vector<double> Numbers(int32_t column) {  // from row 1 to the first non-number
    std::vector<double> out;
    for (int32_t r = 1; sheet.spGetCell(column, r).IsNumber(); ++r) out.push_back(Num(column, r));
    return out;
  }
  std::string Joined(int32_t column, int32_t last) {  // the texts of rows 1..last
    std::string out = Text(column, 1);
    for (int32_t row = 2; row <= last; ++row) out += "|" + Text(column, row);
    return out;
  }
};

}  // namespace korund::weibull
