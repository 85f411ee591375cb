// The fit against a textbook regression, degenerate data and the "X" exclusion.

#include <cmath>
#include <utility>

#include <gmock/gmock.h>

#include "testing/fatigue_test_support.h"

namespace korund::fatigue {
namespace {

struct Reference {
  double m, c, dm, dc, r;
};
// Least squares of log10 y on log10 x by the formulas about the means.
Reference FitLogLog(const std::vector<double>& x, const std::vector<double>& y) {
  const double n = static_cast<double>(x.size());
  double xbar = 0, ybar = 0, sxx = 0, syy = 0, sxy = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    xbar += std::log10(x[i]) / n;
    ybar += std::log10(y[i]) / n;
  }
  for (size_t i = 0; i < x.size(); ++i) {
    const double dx = std::log10(x[i]) - xbar, dy = std::log10(y[i]) - ybar;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  const double m = sxy / sxx, s2 = (syy - m * sxy) / (n - 2);
  return {m, ybar - m * xbar, std::sqrt(s2 / sxx), std::sqrt(s2 * (1 / n + xbar * xbar / sxx)),
          sxy / std::sqrt(sxx * syy)};
}

class FitTest : public FatigueTest {
 protected:
  std::string Run(const std::vector<double>& x, const std::vector<double>& y) {
    Input(1, kColRawX, x);
    Input(1, kColRawY, y);
    Load();
    return Analyse(1);
  }
  void ExpectNear(double expected, int32_t row, int16_t s = 1) {
    EXPECT_NEAR(expected, Num(s, kColValues, row), 1e-9 * std::fabs(expected)) << "row " << row;
  }
  void ExpectUnknown(int16_t s, std::initializer_list<int32_t> rows) {
    for (int32_t row : rows) EXPECT_EQ("--", Text(s, kColValues, row)) << s << " row " << row;
  }
};

TEST_F(FitTest, MatchesAnIndependentLogLogRegression) {
  // Dynamic fatigue with n = 20: log S = 0.7 + log(rate) / 21, scattered.
  std::vector<double> x, y;
  for (int k = 0; k < 30; ++k) {
    x.push_back(std::pow(10.0, k / 6 - 2));
    y.push_back(std::pow(10.0, 0.7 + (k / 6 - 2) / 21.0 + 0.01 * std::sin(7.0 * k)));
  }
  const Reference f = FitLogLog(x, y);
  EXPECT_EQ("Set 1:\t30 measurements at 5 rates", Run(x, y));
  // clang-format off
  const std::pair<int32_t, double> expected[] = {
      {1, 30}, {2, 1 / f.m - 1}, {3, 1 / (f.m + 2 * f.dm) - 1}, {4, 1 / (f.m - 2 * f.dm) - 1},
      {5, f.m}, {6, f.dm}, {7, f.c}, {8, f.dc}, {9, f.r * f.r}, {12, 1 / (f.m + 1.96 * f.dm) - 1},
      {13, 1 / (f.m - 1.96 * f.dm) - 1}, {16, (f.c + 3) * std::log(10.0)},
      {17, 2 * f.dc * std::log(10.0)}};
  // clang-format on
  for (const auto& [row, value] : expected) ExpectNear(value, row);
  // The line spans the data and 10 % of the log range beyond each end.
  EXPECT_NEAR(1, Num(1, kColLineX, 2) / std::pow(10.0, 2.4), 1e-12);
  EXPECT_NEAR(1, Num(1, kColLineY, 1) / std::pow(10.0, f.c - 2.4 * f.m), 1e-9);
}

TEST_F(FitTest, WorkedExampleSlopeAndErrorGiveNineteenAndItsBounds) {
  // Log rates -1 and +1 with residuals +-d: slope 0.05 and dm = d / sqrt(2) = 0.002.
  const double d = 0.002 * std::sqrt(2.0);
  Run({0.1, 0.1, 10, 10}, {std::pow(10.0, 0.45 + d), std::pow(10.0, 0.45 - d),
                           std::pow(10.0, 0.55 + d), std::pow(10.0, 0.55 - d)});
  EXPECT_NEAR(19.0, Num(1, kColValues, 2), 1e-8);
  EXPECT_NEAR(17.52, Num(1, kColValues, 3), 0.005);  // 1 / 0.054 - 1
  EXPECT_NEAR(20.74, Num(1, kColValues, 4), 0.005);  // 1 / 0.046 - 1
  const std::string line = ReportLines().back();     // n=19 ± 1.61 [17.52 - 20.74]
  EXPECT_NEAR(1.61, std::stod(line.substr(line.find("\xC2\xB1 ") + 3)), 0.005) << line;
}

TEST_F(FitTest, FewPointsNoSpreadOrNoSlopeLeaveUnknownsButNothingNonFinite) {
  const std::vector<double> xs[] = {{1, 10}, {1}, {2, 2, 2}, {0.5, 1, 2}};
  const std::vector<double> ys[] = {{3, 4}, {3}, {3, 4, 5}, {2, 3, 2}};
  for (int16_t s = 1; s <= 4; ++s) {
    Input(s, kColRawX, xs[s - 1]);
    Input(s, kColRawY, ys[s - 1]);
  }
  Load();
  // Two points: a line, but no errors.
  EXPECT_EQ("Set 1:\t2 measurements at 2 rates", Analyse(1));
  const double m = std::log10(4.0 / 3.0);
  ExpectNear(m, 5);
  ExpectNear(1 / m - 1, 2);
  ExpectUnknown(1, {3, 4, 6, 8, 12, 13, 17});
  EXPECT_TRUE(Get(SetColumn(1, kColValues), 16).IsNumber() && Num(1, kColLineX, 2) > 0);
  EXPECT_EQ("n=" + FormatNumber(Num(1, kColValues, 2)) + " \xC2\xB1 -- [-- - --]",
            ReportLines().back());
  // One point, or no spread in rate: every result unknown, and no line.
  EXPECT_EQ("Set 2:\t1 measurements at 1 rates", Analyse(2));
  EXPECT_EQ("n=-- \xC2\xB1 -- [-- - --]", ReportLines().back());
  EXPECT_EQ("Set 3:\t3 measurements at 1 rates", Analyse(3));
  for (int16_t s : {2, 3}) {
    ExpectUnknown(s, {2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 16, 17});
    EXPECT_EQ("", Text(s, kColLineX, 1));
  }
  // Zero slope (log 0.5 = -log 2 exactly): no parameter, but finite bounds.
  Analyse(4);
  EXPECT_EQ(0.0, Num(4, kColValues, 5));
  ExpectUnknown(4, {2});
  const double dm = Num(4, kColValues, 6);
  ExpectNear(1 / (2 * dm) - 1, 3, 4);
  ExpectNear(1 / (-2 * dm) - 1, 4, 4);
  EXPECT_EQ(0u, ReportLines().back().rfind("n=-- \xC2\xB1 ", 0));
  std::string cells;  // numbers as their texts, so both kinds are seen
  for (int32_t c = 1; c <= sheet.TEST_MaxCol(); ++c) {
    for (int32_t r = 1; r <= sheet.TEST_MaxRow(); ++r) cells += ToText(Get(c, r)) + "|";
  }
  EXPECT_THAT(cells, ::testing::Not(::testing::ContainsRegex("NaN|Inf")));
}

TEST_F(FitTest, GroupsMarkedXAreLeftOutByTheirMeanRate) {
  Input(1, kColUse, {"x", Value(), "X"});
  EXPECT_EQ("Set 1:\t4 measurements at 4 rates",
            Run({0.1, 0.1, 0.1, 2, 2, 5, 5, 20, 20}, {3, 3.1, 3.2, 3.5, 3.4, 3.6, 3.7, 4, 4.1}));
  EXPECT_NE(0.1, Num(1, kColGroupX, 1));  // 10^(mean log10 0.1) is not 0.1 to the bit
  EXPECT_EQ((Strings{"X 0.1", "X 0.1", "X 0.1", "2", "2", "X 5", "X 5", "20", "20"}),
            Texts(1, kColSortX, 9));
  EXPECT_EQ("X 3.2", Text(1, kColSortY, 1));
  ExpectNear(FitLogLog({2, 2, 20, 20}, {3.5, 3.4, 4, 4.1}).m, 5);
}

}  // namespace
}  // namespace korund::fatigue
