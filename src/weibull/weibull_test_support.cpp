#include "weibull/weibull_test_support.h"

#include <cmath>
#include <random>

#include "util/plot_styles.h"

namespace korund::weibull {

WeibullTest::WeibullTest() {
  host.notebook.AddSection("Section 1");
  table = host.notebook.AddWorksheet("Data 1").table.get();
  InitPlotStyles(settings);
  settings.FitType = kFitWeibull;
}

void WeibullTest::Column(int32_t column, std::initializer_list<Value> cells) {
  int32_t row = 0;
  for (const Value& v : cells) table->Set(column - 1, row++, v);
}

void WeibullTest::Column(int32_t column, const std::vector<double>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    table->Set(column - 1, static_cast<int32_t>(i), Value(cells[i]));
  }
}

void WeibullTest::Cell(int32_t column, int32_t row, const Value& v) {
  table->Set(column - 1, row - 1, v);
}

void WeibullTest::Open() { ASSERT_FALSE(sheet.spOpenWorksheet(host, "")); }

void WeibullTest::Load() {
  Open();
  sheet.spLoadSheet(56, 38);
}

double WeibullTest::Num(int32_t column, int32_t row) {
  const Value v = Get(column, row);
  EXPECT_TRUE(v.IsNumber()) << "cell (" << column << ", " << row << ") holds \"" << ToText(v)
                            << "\"";
  return v.IsNumber() ? v.Number() : NAN;
}

std::vector<std::string> WeibullTest::Texts(int32_t column, int32_t first, int32_t last) {
  std::vector<std::string> out;
  for (int32_t row = first; row <= last; ++row) out.push_back(Text(column, row));
  return out;
}

Line FitLine(const std::vector<double>& x, const std::vector<double>& y) {
  const double n = static_cast<double>(x.size());
  double xbar = 0, ybar = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    xbar += x[i] / n;
    ybar += y[i] / n;
  }
  double sxx = 0, syy = 0, sxy = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    sxx += (x[i] - xbar) * (x[i] - xbar);
    syy += (y[i] - ybar) * (y[i] - ybar);
    sxy += (x[i] - xbar) * (y[i] - ybar);
  }
  Line line{};
  line.m = sxy / sxx;
  line.c = ybar - line.m * xbar;
  line.r = sxy / std::sqrt(sxx * syy);
  line.xbar = xbar;
  line.ybar = ybar;
  double rss = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double e = y[i] - (line.m * x[i] + line.c);
    rss += e * e;
  }
  const double s2 = n > 2 ? rss / (n - 2) : NAN;
  line.delm = std::sqrt(s2 / sxx);
  line.delc = std::sqrt(s2 * (1 / n + xbar * xbar / sxx));
  line.delb = std::sqrt(s2 / n);
  return line;
}

double Rank(int i, int n, bool half) { return half ? (i - 0.5) / n : i / (n + 1.0); }

std::vector<double> WeibullSample(int count, double m, double so, unsigned seed) {
  std::mt19937 gen(seed);
  std::weibull_distribution<double> dist(m, so);
  std::vector<double> out;
  for (int i = 0; i < count; ++i) out.push_back(dist(gen));
  return out;
}

}  // namespace korund::weibull
