#include "fatigue/fatigue_test_support.h"

#include <cmath>

#include "fatigue/fatigue_driver.h"
#include "util/plot_styles.h"

namespace korund::fatigue {

FatigueTest::FatigueTest() {
  host.notebook.AddSection("Section 1");
  table = host.notebook.AddWorksheet("Data 1").table.get();
  InitPlotStyles(settings);
  settings.FitType = kFitDynamic;
  settings.FatigueMode = 0;
  settings.RateFactor = 1.2;
  settings.SetToCopy = 1;
}

void FatigueTest::Input(int16_t s, int32_t k, std::initializer_list<Value> cells) {
  int32_t row = 0;
  for (const Value& v : cells) table->Set(SetColumn(s, k) - 1, row++, v);
}

void FatigueTest::Input(int16_t s, int32_t k, const std::vector<double>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    table->Set(SetColumn(s, k) - 1, static_cast<int32_t>(i), Value(cells[i]));
  }
}

void FatigueTest::Cell(int32_t column, int32_t row, const Value& v) {
  table->Set(column - 1, row - 1, v);
}

void FatigueTest::Open() { ASSERT_FALSE(sheet.spOpenWorksheet(host, "")); }

void FatigueTest::Load() {
  Open();
  sheet.spLoadSheet(kColParms, 25);
}

FatigueRun& FatigueTest::NewRun() {
  run = std::make_unique<FatigueRun>(ctx);
  SetQuantityNames(*run);
  return *run;
}

std::string FatigueTest::Analyse(int16_t s) {
  if (!run) NewRun();
  run->ReportText.Clear();
  std::string summary;
  AnalyseDataSet(*run, s, summary);
  return summary;
}

double FatigueTest::Num(int16_t s, int32_t k, int32_t row) {
  return NumAt(SetColumn(s, k), row);
}

double FatigueTest::NumAt(int32_t column, int32_t row) {
  const Value v = Get(column, row);
  EXPECT_TRUE(v.IsNumber()) << "cell (" << column << ", " << row << ") holds \"" << ToText(v)
                            << "\"";
  return v.IsNumber() ? v.Number() : NAN;
}

std::vector<std::string> FatigueTest::Texts(int16_t s, int32_t k, int32_t last) {
  std::vector<std::string> out;
  for (int32_t row = 1; row <= last; ++row) out.push_back(Text(s, k, row));
  return out;
}

std::vector<std::string> FatigueTest::ReportLines() const {
  std::vector<std::string> lines = Split(run->ReportText.ToString(), "\r\n");
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::vector<std::string> Split(const std::string& text, const std::string& sep) {
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(sep, start);
    if (at == std::string::npos) {
      out.push_back(text.substr(start));
      return out;
    }
    out.push_back(text.substr(start, at - start));
    start = at + sep.size();
  }
}

void ExpectNoNonFinite(worksheet::Sheet& sheet) {
  for (int32_t c = 1; c <= sheet.MaxCol(); ++c) {
    for (int32_t r = 1; r <= sheet.MaxRow(); ++r) {
      const Value v = sheet.spGetCell(c, r);
      if (v.IsNumber()) {
        EXPECT_TRUE(std::isfinite(v.Number())) << "cell (" << c << ", " << r << ")";
      } else {
        const std::string& t = v.Text();
        EXPECT_EQ(std::string::npos, t.find("NaN")) << "cell (" << c << ", " << r << ")";
        EXPECT_EQ(std::string::npos, t.find("Inf")) << "cell (" << c << ", " << r << ")";
      }
    }
  }
}

}  // namespace korund::fatigue
