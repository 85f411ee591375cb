#include "weibull/weibull_engine.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "util/terminate.h"
#include "weibull/weibull_test_support.h"

namespace korund::weibull {
namespace {

class EngineTest : public WeibullTest {
 protected:
  std::string Analyse(int16_t n) {
    std::string summary;
    AnalyseWeibullSet(ctx, n, summary);
    return summary;
  }
  // Writes "set" and the strengths into column n, loads and analyses it.
  void Set(int16_t n, const std::vector<double>& s, int16_t fopt = 1) {
    Cell(n, 1, "set");
    for (size_t i = 0; i < s.size(); ++i) Cell(n, static_cast<int32_t>(i) + 2, s[i]);
    settings.FOpt = fopt;
    Load();
    Analyse(n);
  }
  void ExpectDashes(int32_t col, std::initializer_list<int> rows) {
    for (int row : rows) EXPECT_EQ("--", Text(col, row)) << "row " << row;
  }
  // No number the engine wrote for set n is NaN or infinite.
  void ExpectAllFinite(int16_t n) {
    for (int32_t col : {20 + n, 30 + n, 40 + n}) {
      for (int32_t row = 1; row <= sheet.MaxRow(); ++row) {
        const Value v = sheet.spGetCell(col, row);
        EXPECT_TRUE(!v.IsNumber() || std::isfinite(v.Number())) << col << "," << row;
      }
    }
  }
};

TEST_F(EngineTest, OneAndTwoStrengthsFillOnlyWhatTheyCan) {
  Column(1, {"one", 2.5});
  Column(2, {"two", 4.0, 3.0});
  settings.FOpt = 1;
  Load();
  EXPECT_EQ("Set 1:\t1 measurements", Analyse(1));
  EXPECT_EQ(1, Num(21, 1));
  EXPECT_EQ(2.5, Num(21, 23));
  ExpectDashes(21, {2, 3, 4, 5, 6, 7, 8, 10, 17, 18, 20, 21, 22, 25, 26, 27, 28, 30, 31, 33, 38});
  EXPECT_EQ("", Text(21, 9));
  EXPECT_DOUBLE_EQ(std::log(std::log(2.0)), Num(41, 1));

  EXPECT_EQ("Set 2:\t2 measurements", Analyse(2));
  const double y1 = std::log(-std::log(0.75)), y2 = std::log(-std::log(0.25));
  const double m = (y2 - y1) / (std::log(4.0) - std::log(3.0));
  EXPECT_NEAR(m, Num(22, 2), 1e-12 * m);
  EXPECT_NEAR(std::exp(std::log(3.0) - y1 / m), Num(22, 4), 1e-12);
  ExpectDashes(22, {3, 5, 7, 25, 26, 30, 31});  // i15 = 0 blocks both two-point rows
  for (int row : {6, 8, 10, 17, 18, 27, 28, 33, 38}) Num(22, row);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(EngineTest, ResultRowsAgreeWithIndependentFormulas) {
  const std::vector<double> raw = {5.62, 5.21, 5.90, 4.88, 5.45, 5.71, 5.33, 6.02, 5.10, 5.55};
  Set(1, raw);
  std::vector<double> s = raw, x, y;
  std::sort(s.begin(), s.end());
  EXPECT_EQ(s, Numbers(31));
  const int n = 10;
  for (int i = 1; i <= n; ++i) {
    x.push_back(std::log(s[i - 1]));
    y.push_back(std::log(-std::log(1 - (i - 0.5) / n)));
    EXPECT_NEAR(y.back(), Num(41, i), 1e-14);
  }
  const Line line = FitLine(x, y);
  EXPECT_NEAR(line.m, Num(21, 2), 1e-10);
  EXPECT_NEAR(2 * line.delm, Num(21, 3), 1e-10);
  EXPECT_NEAR(std::exp(-line.c / line.m), Num(21, 4), 1e-10);
  EXPECT_NEAR(line.c, Num(21, 6), 1e-9);
  EXPECT_NEAR(2 * line.delc, Num(21, 7), 1e-9);
  EXPECT_NEAR(line.r, Num(21, 8), 1e-12);

  // The estimator's modulus solves the likelihood equation; its scale is the
  // power mean of the strengths, which is also what "B: So" computes.
  const double mle = Num(21, 10);
  double s0 = 0, s1 = 0, sl = 0;
  for (double v : s) s0 += std::pow(v, mle), s1 += std::log(v) * std::pow(v, mle), sl += std::log(v);
  EXPECT_NEAR(0.0, 1 / mle + sl / n - s1 / s0, 1e-6);
  const double so = std::pow(s0 / n, 1 / mle);
  const double mu = mle * (1 - std::pow(10, 0.21048) * std::pow(n, -1.05187));
  EXPECT_NEAR(so, Num(21, 15), 1e-9);
  EXPECT_NEAR(mu, Num(21, 12), 1e-12);
  EXPECT_EQ(95, Num(21, 18));
  EXPECT_NEAR(so * std::pow(std::log(1 / 0.85), 1 / mu), Num(21, 20), 1e-9);
  EXPECT_NEAR(so * std::pow(std::log(2.0), 1 / mu), Num(21, 21), 1e-9);
  EXPECT_NEAR((s[4] + s[5]) / 2, Num(21, 23), 1e-15);
  EXPECT_EQ(mle, Num(21, 27));
  EXPECT_NEAR(so, Num(21, 28), 1e-9);
  // At 90 % the same point estimates sit inside narrower bounds.
  EXPECT_NEAR(mu, Num(21, 33), 1e-12);
  EXPECT_NEAR(so, Num(21, 36), 1e-9);
  EXPECT_TRUE(Num(21, 13) < Num(21, 35) && Num(21, 35) < mu && mu < Num(21, 34) &&
              Num(21, 34) < Num(21, 14));
  EXPECT_TRUE(Num(21, 16) < Num(21, 38) && Num(21, 37) < Num(21, 17));
}

TEST_F(EngineTest, TwoPointEstimatesUseTheDocumentedPositions) {
  // N = 20: i15 = 3 (bracket 4), i85 = 17 (18), i50 = 10 (11); typed descending.
  std::vector<double> s;
  for (int i = 20; i >= 1; --i) s.push_back(4.0 + 0.1 * i + 0.003 * i * i);
  Set(1, s);
  std::reverse(s.begin(), s.end());
  auto X = [&](int i) { return std::log(s[i - 1]); };
  auto Y = [&](int i) { return std::log(-std::log(1 - (i - 0.5) / 20)); };
  auto L = [&](int a, int b) { return std::log(std::sqrt(s[a - 1] * s[b - 1])); };
  const double ma = (Y(17) - Y(3)) / (X(17) - X(3));
  const double md = 2.46 / (L(17, 18) - L(3, 4));
  EXPECT_NEAR(ma, Num(21, 25), 1e-12 * ma);
  EXPECT_NEAR(std::exp(X(10) + 0.366512 / ma), Num(21, 26), 1e-12);
  EXPECT_NEAR(md, Num(21, 30), 1e-12 * md);
  EXPECT_NEAR(std::exp(L(10, 11) + 0.3665 / md), Num(21, 31), 1e-12);
  // F(3) = 0.125, F(4) = 0.175: halfway between S(3) and S(4).
  EXPECT_NEAR(s[2] + 0.5 * (s[3] - s[2]), Num(21, 22), 1e-12);
}

TEST_F(EngineTest, ElevenStrengthsWithTheOtherRankFunction) {
  // N = 11: i15 = 2 (3), i85 = 9 (10), i50 = i50b = 6; F(i) = i/12.
  std::vector<double> s;
  for (int i = 1; i <= 11; ++i) s.push_back(3.0 + 0.2 * i * std::sqrt(i));
  Column(2, {"five", 3.1, 3.3, 3.2, 3.6, 3.4});
  Set(1, s, 0);
  auto L = [&](int a, int b) { return std::log(std::sqrt(s[a - 1] * s[b - 1])); };
  const double md = 2.46 / (L(9, 10) - L(2, 3));
  EXPECT_NEAR(md, Num(21, 30), 1e-12 * md);
  EXPECT_NEAR(std::exp(std::log(s[5]) + 0.3665 / md), Num(21, 31), 1e-12);
  EXPECT_NEAR(s[0] + (0.15 - 1 / 12.0) * (s[1] - s[0]) / (2 / 12.0 - 1 / 12.0), Num(21, 22), 1e-12);
  Analyse(2);  // N = 5: F(1) = 1/6 > 0.15, no interpolation
  EXPECT_EQ("--", Text(22, 22));
  EXPECT_EQ(3.3, Num(22, 23));
}

TEST_F(EngineTest, UnitWordsScaleTheValuesBelowThem) {
  struct Case {
    std::initializer_list<Value> cells;
    std::vector<double> strengths;
  };
  const Case cases[] = {
      {{"MPA", 3000, 3500}, {3.0, 3.5}},
      {{"t", 3.0, "MPA", 3500}, {3.0, 3.5}},
      {{"FACTOR", 2, 1.5}, {3.0}},  // the 2 is the factor, not data
      {{"ksi", 290, " KPSI ", 435}, {2.0, 3.0}},  // ksi -> GPa, not GPa -> ksi
      {{"MPA", 4000, "gpa", 5}, {4.0, 5.0}},
      {{"t", 2.0, 3.0, "FACTOR"}, {2.0, 3.0}},
      {{"FACTOR", "abc", 2.5}, {2.5}},
      {{"MPA", "FACTOR", "GPA", 2000}, {2.0}},  // FACTOR consumes the cell below
      {{"t", "2.5", " 3.5 ", "4,5", Value(), 1.0, "MPA"}, {1.0, 2.5, 3.5}},
  };
  for (int16_t n = 1; n <= 9; ++n) Column(n, cases[n - 1].cells);
  Load();
  for (int16_t n = 1; n <= 9; ++n) {
    Analyse(n);
    const std::vector<double> got = Numbers(30 + n);
    ASSERT_EQ(cases[n - 1].strengths.size(), got.size()) << "set " << n;
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(cases[n - 1].strengths[i], got[i], 1e-12);
  }
}

TEST_F(EngineTest, UnusableColumnsAreEmptySets) {
  Column(2, {"t", 3.0, "MPA", 0, 2500});
  Column(3, {"only", "words", Value(), "here"});
  Load();
  EXPECT_EQ("Set 2:\tempty", Analyse(2));
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("BAD DATA", ui.shown[0].title);
  EXPECT_EQ("Column 2 has a value less than or equal to zero. This column will be ignored",
            ui.shown[0].text);
  EXPECT_EQ(std::vector<std::string>{"&Ok"}, ui.shown[0].buttons);
  EXPECT_EQ("(<= 0)", Text(32, 1));
  EXPECT_EQ("", Text(32, 2));
  EXPECT_EQ("", Text(42, 1));
  ExpectDashes(22, {1, 23, 38});
  EXPECT_EQ("Set 3:\tempty", Analyse(3));
  EXPECT_EQ("Set 4:\tempty", Analyse(4));
  EXPECT_EQ("No Data", Text(33, 1));
  EXPECT_EQ("No Data", Text(34, 1));
  EXPECT_EQ(1u, ui.shown.size());
  EXPECT_EQ("x4", sheet.BufferedTitle(34));
}

TEST_F(EngineTest, DivisionsByZeroAndOverflowLeaveDashes) {
  Column(1, {"all equal", 3.0, 3.0, 3.0, 3.0, 3.0});
  Column(2, {"t", 1.0, 2.0});  // S(3) .. S(18) equal
  for (int row = 4; row <= 19; ++row) Cell(2, row, 3.0);
  Column(3, {"t", 1e200, 2e200, 3e200, 4e200, "FACTOR", 1e300, 1e10});
  settings.FOpt = 1;
  Load();
  for (int16_t n = 1; n <= 3; ++n) Analyse(n), ExpectAllFinite(n);
  ExpectDashes(21, {2, 4, 8, 10, 18, 20, 25, 26, 27, 28, 30, 31, 33, 38});
  EXPECT_EQ(3.0, Num(21, 22));
  EXPECT_EQ(3.0, Num(21, 23));
  ExpectDashes(22, {25, 26, 30, 31});
  for (int row : {2, 10, 20, 22, 27, 28, 33}) Num(22, row);
  EXPECT_EQ(4, Num(23, 1));  // the overflowing product is no strength
  ExpectDashes(23, {30, 31});
}

TEST_F(EngineTest, Row1NumberAsksAndStopEndsTheRun) {
  Column(1, {2.0, 3.0, 4.0});
  Column(2, {2.0, 3.0, 4.0});
  ui.Answer("ROW 1 CONTAINS NUMERIC DATA", "&Continue");
  ui.Answer("ROW 1 CONTAINS NUMERIC DATA", "&Stop");
  Load();
  Analyse(1);
  EXPECT_EQ((std::vector<double>{2.0, 3.0, 4.0}), Numbers(31));
  try {
    Analyse(2);
    FAIL() << "no stop";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kStopped, e.reason());
  }
  ASSERT_EQ(2u, ui.shown.size());
  EXPECT_EQ((std::vector<std::string>{"&Continue", "&Stop"}), ui.shown[1].buttons);
  EXPECT_EQ(
      "Column 2, row 1 is a number.\r\rCheck that you intend this cell to contain valid data. "
      "Earlier versions of the Weibull analysis software assumed that row 1 contained a "
      "description of the data and ignored that cell even if it contained numeric data. If row 1 "
      "contains valid data this worksheet is not backwards compatible with the earlier software. "
      "Alternatively, if this worksheet was used with the earlier software, row 1 might contain "
      "a number which is not valid data. \r\rThis warning is for backwards compatibility but "
      "will be omitted from future versions of this Weibull analysis pulgin.\r\rDo you want to "
      "continue using row 1 as valid data or stop processing?",
      ui.shown[1].text);
  EXPECT_EQ("", Text(32, 1));
}

TEST_F(EngineTest, ProgressStartsAtTenPerSetAndAdvancesNine) {
  Set(2, {3.0, 4.0, 5.0});
  EXPECT_EQ((std::vector<int>{20, 22, 24, 26, 27, 28, 29}), ui.progress.history);
}

TEST_F(EngineTest, TenThousandStrengthsWithNoise) {
  std::mt19937 gen(2024);
  std::weibull_distribution<double> dist(5.0, 4.0);
  Cell(1, 1, "long");
  for (int row = 2; row <= 10001; ++row) Cell(1, row, dist(gen));
  Cell(1, 5000, "re-spliced here");
  Load();
  Analyse(1);
  const std::vector<double> got = Numbers(31);
  ASSERT_EQ(9999u, got.size());
  EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
  EXPECT_NEAR(5.0, Num(21, 10), 0.25);
  EXPECT_NEAR(4.0, Num(21, 15), 0.05);
  ExpectAllFinite(1);
}

}  // namespace
}  // namespace korund::weibull
