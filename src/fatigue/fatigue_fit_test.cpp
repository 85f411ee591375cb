// The fatigue fit: the regression of log y on log x against a textbook
// reference, the parameter and its bounds, the degenerate outcomes and the
// user's "X" exclusion.

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fatigue/fatigue_test_support.h"

namespace korund::fatigue {
namespace {

using Strings = std::vector<std::string>;

// Least squares by the textbook formulas about the means.
struct Reference {
  double m, c, dm, dc, r;
};
Reference FitLogLog(const std::vector<double>& x, const std::vector<double>& y) {
  const double n = static_cast<double>(x.size());
  std::vector<double> lx, ly;
  double xbar = 0, ybar = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    lx.push_back(std::log10(x[i]));
    ly.push_back(std::log10(y[i]));
    xbar += lx.back() / n;
    ybar += ly.back() / n;
  }
  double sxx = 0, syy = 0, sxy = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    sxx += (lx[i] - xbar) * (lx[i] - xbar);
    syy += (ly[i] - ybar) * (ly[i] - ybar);
    sxy += (lx[i] - xbar) * (ly[i] - ybar);
  }
  Reference f{};
  f.m = sxy / sxx;
  f.c = ybar - f.m * xbar;
  f.r = sxy / std::sqrt(sxx * syy);
  double rss = 0;
  for (size_t i = 0; i < x.size(); ++i) rss += std::pow(ly[i] - f.m * lx[i] - f.c, 2);
  const double s2 = rss / (n - 2);
  f.dm = std::sqrt(s2 / sxx);
  f.dc = std::sqrt(s2 * (1 / n + xbar * xbar / sxx));
  return f;
}

class FitTest : public FatigueTest {
 protected:
  std::string Run(const std::vector<double>& x, const std::vector<double>& y) {
    Input(1, kColRawX, x);
    Input(1, kColRawY, y);
    Load();
    return Analyse(1);
  }
  // The report line that starts with "n=" ("" if there is none).
  std::string ParameterLine() {
    for (const std::string& line : ReportLines()) {
      if (line.rfind("n=", 0) == 0) return line;
    }
    return "";
  }
  void ExpectNear(double expected, int32_t row, double rel = 1e-9) {
    EXPECT_NEAR(expected, Num(1, kColValues, row), rel * std::fabs(expected)) << "row " << row;
  }
  bool Empty(int32_t column, int32_t row) { return ToText(Get(column, row)).empty(); }
};

TEST_F(FitTest, MatchesAnIndependentLogLogRegression) {
  // Dynamic fatigue with n = 20: log S = c + log(rate)/(n + 1), with scatter.
  std::mt19937 gen(7);
  std::normal_distribution<double> noise(0.0, 0.01);
  std::vector<double> x, y;
  for (double rate : {0.01, 0.1, 1.0, 10.0, 100.0}) {
    for (int k = 0; k < 6; ++k) {
      x.push_back(rate);
      y.push_back(std::pow(10.0, 0.7 + std::log10(rate) / 21 + noise(gen)));
    }
  }
  const Reference ref = FitLogLog(x, y);
  EXPECT_EQ("Set 1:\t30 measurements at 5 rates", Run(x, y));

  EXPECT_EQ((Strings{"N", "nd", "nd.lower", "nd.upper", "slope", "\xC2\xB1,  SEE", "intcpt",
                     "\xC2\xB1", "R\xC2\xB2", "", "IEC60793-1-33", "ndL", "ndU", "", "",
                     "Intcpt", "\xC2\xB1" "95%"}),
            Texts(1, kColLabels, 17));
  const double ln10 = std::log(10.0);
  const std::vector<std::pair<int32_t, double>> expected = {
      {1, 30},
      {2, 1 / ref.m - 1},
      {3, 1 / (ref.m + 2 * ref.dm) - 1},
      {4, 1 / (ref.m - 2 * ref.dm) - 1},
      {5, ref.m},
      {6, ref.dm},
      {7, ref.c},
      {8, ref.dc},
      {9, ref.r * ref.r},
      {12, 1 / (ref.m + 1.96 * ref.dm) - 1},
      {13, 1 / (ref.m - 1.96 * ref.dm) - 1},
      {16, (ref.c + 3) * ln10},
      {17, 2 * ref.dc * ln10}};
  for (const auto& [row, value] : expected) ExpectNear(value, row);
  EXPECT_TRUE(Empty(SetColumn(1, kColValues), 10));

  // The line spans the data and 10 % of the log range beyond each end.
  EXPECT_NEAR(std::pow(10.0, -2.4), Num(1, kColLineX, 1), 1e-12);
  EXPECT_NEAR(std::pow(10.0, 2.4), Num(1, kColLineX, 2), 1e-6);
  EXPECT_NEAR(std::pow(10.0, ref.c - 2.4 * ref.m), Num(1, kColLineY, 1), 1e-9);
  EXPECT_NEAR(std::pow(10.0, ref.c + 2.4 * ref.m), Num(1, kColLineY, 2), 1e-9);

  const Strings lines = ReportLines();
  ASSERT_EQ(14u, lines.size());  // 3 head lines, 5 groups, 5 fit lines, n
  EXPECT_EQ("Linear regression (\xC2\xB1 std err):", lines[8]);
  EXPECT_EQ("slope\t" + FormatNumber(Num(1, kColValues, 5)) + "\xC2\xB1 " +
                FormatNumber(Num(1, kColValues, 6)),
            lines[9]);
  EXPECT_EQ(0u, lines[12].rfind("xbar\t", 0));
}

TEST_F(FitTest, WorkedExampleSlopeAndErrorGiveNineteenAndItsBounds) {
  // Four points at log rates -1 and +1 with residuals +-d orthogonal to the
  // line: slope 0.05 exactly as designed and dm = d / sqrt(2) = 0.002.
  const double d = 0.002 * std::sqrt(2.0);
  const std::vector<double> x = {0.1, 0.1, 10, 10};
  std::vector<double> y;
  for (int i = 0; i < 4; ++i) {
    const double lx = i < 2 ? -1 : 1;
    y.push_back(std::pow(10.0, 0.5 + 0.05 * lx + ((i % 2) ? -d : d)));
  }
  Run(x, y);
  EXPECT_NEAR(0.05, Num(1, kColValues, 5), 1e-12);
  EXPECT_NEAR(0.002, Num(1, kColValues, 6), 1e-12);
  EXPECT_NEAR(19.0, Num(1, kColValues, 2), 1e-8);
  EXPECT_NEAR(1 / 0.054 - 1, Num(1, kColValues, 3), 1e-8);  // 17.52
  EXPECT_NEAR(1 / 0.046 - 1, Num(1, kColValues, 4), 1e-8);  // 20.74
  EXPECT_NEAR(17.52, Num(1, kColValues, 3), 0.005);
  EXPECT_NEAR(20.74, Num(1, kColValues, 4), 0.005);

  const std::string line = ParameterLine();
  ASSERT_FALSE(line.empty());
  const Strings parts = Split(line.substr(2), " \xC2\xB1 ");
  ASSERT_EQ(2u, parts.size());
  EXPECT_NEAR(19.0, std::stod(parts[0]), 1e-8);
  EXPECT_NEAR(1.61, std::stod(parts[1]), 0.005);
  EXPECT_NE(std::string::npos, parts[1].find(" [17.5"));
  EXPECT_NE(std::string::npos, parts[1].find(" - 20.7"));
  EXPECT_EQ(']', parts[1].back());
}

TEST_F(FitTest, TwoPointsGiveALineButNoErrors) {
  EXPECT_EQ("Set 1:\t2 measurements at 2 rates", Run({1, 10}, {3, 4}));
  const double m = std::log10(4.0 / 3.0);
  ExpectNear(m, 5);
  ExpectNear(1 / m - 1, 2);
  ExpectNear(1.0, 9);
  for (int32_t row : {3, 4, 6, 8, 12, 13, 17}) {
    EXPECT_EQ("--", Text(1, kColValues, row)) << "row " << row;
  }
  EXPECT_TRUE(Get(SetColumn(1, kColValues), 16).IsNumber());
  EXPECT_TRUE(Get(SetColumn(1, kColLineX), 2).IsNumber());
  EXPECT_NE(std::string::npos, ParameterLine().find(" \xC2\xB1 -- [-- - --]"));
  ExpectNoNonFinite(sheet);
}

TEST_F(FitTest, OnePointOrNoSpreadInRateLeaveEveryResultUnknownAndNoLine) {
  Input(2, kColRawX, {2, 2, 2});
  Input(2, kColRawY, {3, 4, 5});
  EXPECT_EQ("Set 1:\t1 measurements at 1 rates", Run({1}, {3}));
  EXPECT_EQ("n=-- \xC2\xB1 -- [-- - --]", ParameterLine());
  EXPECT_EQ("Set 2:\t3 measurements at 1 rates", Analyse(2));
  for (int16_t s : {1, 2}) {
    for (int32_t row : {2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 16, 17}) {
      EXPECT_EQ("--", Text(s, kColValues, row)) << "set " << s << " row " << row;
    }
    EXPECT_TRUE(Empty(SetColumn(s, kColLineX), 1));
  }
}

TEST_F(FitTest, ZeroSlopeShowsNoParameterButFiniteBounds) {
  // log 0.5 = -log 2 exactly, and equal strengths at both ends: slope 0.
  Run({0.5, 1, 2}, {2, 3, 2});
  EXPECT_EQ(0.0, Num(1, kColValues, 5));
  EXPECT_EQ("--", Text(1, kColValues, 2));
  const double dm = Num(1, kColValues, 6);
  ASSERT_GT(dm, 0.0);
  ExpectNear(1 / (2 * dm) - 1, 3);
  ExpectNear(1 / (-2 * dm) - 1, 4);
  EXPECT_EQ(0u, ParameterLine().rfind("n=-- \xC2\xB1 ", 0));
  EXPECT_EQ(std::string::npos, run->ReportText.ToString().find("nan"));
  EXPECT_EQ(std::string::npos, run->ReportText.ToString().find("Inf"));
  ExpectNoNonFinite(sheet);
}

TEST_F(FitTest, StaticModeGivesTheNegativeSlope) {
  settings.FitType = kFitStatic;
  settings.FatigueMode = 2;
  const std::vector<double> stress = {1, 1, 1.5, 1.5, 2, 2, 3, 3};
  std::vector<double> ttf;
  for (size_t i = 0; i < stress.size(); ++i) {
    ttf.push_back(std::pow(10.0, 4 - 20 * std::log10(stress[i]) + (i % 2 ? 0.1 : -0.1)));
  }
  const Reference ref = FitLogLog(stress, ttf);
  Run(stress, ttf);
  EXPECT_EQ((Strings{"N", "ns", "ns.lower", "ns.upper"}), Texts(1, kColLabels, 4));
  EXPECT_EQ("nsL", Text(1, kColLabels, 12));
  ExpectNear(-ref.m, 2);
  ExpectNear(-(ref.m + 2 * ref.dm), 3);
  ExpectNear(-(ref.m - 2 * ref.dm), 4);
  EXPECT_NEAR(20.0, Num(1, kColValues, 2), 1e-6);
}

TEST_F(FitTest, UnknownModeIsReportedAndEndsTheSet) {
  settings.FatigueMode = 3;
  EXPECT_EQ("Fatigue mode not implemented", Run({1, 10, 100}, {3, 3.5, 4.2}));
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("Fatigue mode not implemented", ui.shown[0].text);
  EXPECT_EQ(AppTitle(), ui.shown[0].title);
  EXPECT_EQ("N", Text(1, kColLabels, 1));
  EXPECT_EQ("", Text(1, kColValues, 2));
}

TEST_F(FitTest, GroupsMarkedXAreLeftOutEvenWhenTheirMeanIsNotBitEqual) {
  Input(1, kColUse, {"x", Value(), "X"});
  const std::string summary =
      Run({0.1, 0.1, 0.1, 2, 2, 5, 5, 20, 20}, {3, 3.1, 3.2, 3.5, 3.4, 3.6, 3.7, 4, 4.1});
  // 10^(mean log10 0.1) is not 0.1 to the bit, yet the group goes.
  EXPECT_NE(0.1, Num(1, kColGroupX, 1));
  EXPECT_EQ("Set 1:\t4 measurements at 4 rates", summary);
  EXPECT_EQ((Strings{"X 0.1", "X 0.1", "X 0.1", "2", "2", "X 5", "X 5", "20", "20"}),
            Texts(1, kColSortX, 9));
  EXPECT_EQ("X 3.2", Text(1, kColSortY, 1));
  const Reference ref = FitLogLog({2, 2, 20, 20}, {3.5, 3.4, 4, 4.1});
  ExpectNear(ref.m, 5);
}

TEST_F(FitTest, MarkingAMergedGroupLeavesItsMembersButEqualRatesGo) {
  settings.GroupRates = true;
  settings.RateFactor = 1.2;
  Input(1, kColUse, {"X", "X"});
  Input(2, kColUse, {"X"});
  Input(2, kColRawX, {10});
  Input(2, kColRawY, {4});
  EXPECT_EQ("Set 1:\t2 measurements at 2 rates", Run({1.0, 1.1, 10, 10}, {3, 3.1, 4, 4.1}));
  EXPECT_EQ("Set 2 is empty", Analyse(2));
  EXPECT_EQ("", Text(2, kColLabels, 1));
}

}  // namespace
}  // namespace korund::fatigue
