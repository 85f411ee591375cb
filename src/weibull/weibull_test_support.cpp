#include "weibull/weibull_test_support.h"

#include <cmath>

#include "util/plot_styles.h"

namespace korund::weibull {

WeibullTest::WeibullTest() {
  host.notebook.AddSection("Section 1");
  table = host.notebook.AddWorksheet("Data 1").table.get();
  InitPlotStyles(settings);
}

void WeibullTest::Column(int32_t column, std::initializer_list<Value> cells) {
  int32_t row = 1;
  for (const Value& v : cells) Cell(column, row++, v);
}

void WeibullTest::Load() {
  Open();
  sheet.spLoadSheet(56, 38);
}

double WeibullTest::Num(int32_t column, int32_t row) {
  const Value v = sheet.spGetCell(column, row);
  EXPECT_TRUE(v.IsNumber()) << "(" << column << ", " << row << ") holds \"" << ToText(v) << "\"";
  return v.IsNumber() ? v.Number() : NAN;
}

std::vector<double> WeibullTest::Numbers(int32_t column) {
  std::vector<double> out;
  for (int32_t row = 1; sheet.spGetCell(column, row).IsNumber(); ++row) {
    out.push_back(sheet.spGetCell(column, row).Number());
  }
  return out;
}

Line FitLine(const std::vector<double>& x, const std::vector<double>& y) {
  const double n = static_cast<double>(x.size());
  double xbar = 0, ybar = 0, sxx = 0, syy = 0, sxy = 0, rss = 0;
  for (size_t i = 0; i < x.size(); ++i) xbar += x[i] / n, ybar += y[i] / n;
  for (size_t i = 0; i < x.size(); ++i) {
    sxx += (x[i] - xbar) * (x[i] - xbar);
    syy += (y[i] - ybar) * (y[i] - ybar);
    sxy += (x[i] - xbar) * (y[i] - ybar);
  }
  Line line{sxy / sxx, 0, sxy / std::sqrt(sxx * syy), 0, 0};
  line.c = ybar - line.m * xbar;
  for (size_t i = 0; i < x.size(); ++i) rss += std::pow(y[i] - line.m * x[i] - line.c, 2);
  line.delm = std::sqrt(rss / (n - 2) / sxx);
  line.delc = std::sqrt(rss / (n - 2) * (1 / n + xbar * xbar / sxx));
  return line;
}

}  // namespace korund::weibull
