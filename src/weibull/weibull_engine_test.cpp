#include "weibull/weibull_engine.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "util/terminate.h"
#include "weibull/weibull_layout.h"
#include "weibull/weibull_test_support.h"

namespace korund::weibull {
namespace {

class EngineTest : public WeibullTest {
 protected:
  // Loads the worksheet and analyses set n with the rank function fopt.
  std::string Analyse(int16_t n = 1, int16_t fopt = 1) {
    settings.FOpt = fopt;
    Load();
    std::string summary;
    AnalyseWeibullSet(ctx, n, summary);
    return summary;
  }
  // The sorted strengths the engine wrote for set n.
  std::vector<double> Strengths(int16_t n = 1) {
    std::vector<double> s;
    for (int32_t row = 1; Get(30 + n, row).IsNumber(); ++row) s.push_back(Num(30 + n, row));
    return s;
  }
  // Every number the engine wrote for set n is finite.
  void ExpectAllFinite(int16_t n = 1) {
    for (int32_t col : {20 + n, 30 + n, 40 + n}) {
      for (int32_t row = 1; row <= sheet.MaxRow(); ++row) {
        const Value v = Get(col, row);
        if (v.IsNumber()) {
          EXPECT_TRUE(std::isfinite(v.Number())) << col << "," << row;
        }
      }
    }
  }
};

// A set of ten strengths (GPa) typed unsorted below a description.
const std::vector<double> kTen = {5.62, 5.21, 5.90, 4.88, 5.45, 5.71, 5.33, 6.02, 5.10, 5.55};

TEST_F(EngineTest, SingleStrengthFillsOnlyCountAndMedian) {
  Column(1, {"sample A", 2.5});
  EXPECT_EQ("Set 1:\t1 measurements", Analyse());
  EXPECT_EQ(1, Num(21, 1));
  EXPECT_EQ(2.5, Num(21, 23));
  for (int row : {2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 21, 22, 25, 26,
                  27, 28, 30, 31, 33, 34, 35, 36, 37, 38}) {
    EXPECT_EQ("--", Text(21, row)) << row;
  }
  for (int row : {9, 19, 24, 29, 32}) EXPECT_EQ("", Text(21, row)) << row;
  EXPECT_EQ(2.5, Num(31, 1));
  EXPECT_DOUBLE_EQ(std::log(std::log(2.0)), Num(41, 1));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(EngineTest, TwoStrengthsFitTheLineWithoutErrors) {
  Column(1, {"two", 3.0, 4.0});
  Analyse();
  // Two points: the slope is the secant of the Weibull plot.
  const double y1 = std::log(std::log(1 / (1 - 0.25))), y2 = std::log(std::log(1 / (1 - 0.75)));
  const double m = (y2 - y1) / (std::log(4.0) - std::log(3.0));
  EXPECT_NEAR(m, Num(21, 2), 1e-12 * m);
  EXPECT_NEAR(std::exp(std::log(3.0) - y1 / m), Num(21, 4), 1e-12);
  for (int row : {3, 5, 7}) EXPECT_EQ("--", Text(21, row)) << row;
  for (int row : {6, 8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 27, 28}) Num(21, row);
  EXPECT_NEAR(1.0, Num(21, 8), 1e-12);
  // i15 = 0 blocks both two-point estimates.
  for (int row : {25, 26, 30, 31}) EXPECT_EQ("--", Text(21, row)) << row;
  ExpectAllFinite();
}

TEST_F(EngineTest, ResultRowsAgreeWithTextbookFormulas) {
  Column(1, {"set"});
  for (size_t i = 0; i < kTen.size(); ++i) Cell(1, static_cast<int32_t>(i) + 2, kTen[i]);
  EXPECT_EQ("Set 1:\t10 measurements", Analyse());

  std::vector<double> s = kTen;
  std::sort(s.begin(), s.end());
  EXPECT_EQ(s, Strengths());
  const int n = 10;
  std::vector<double> x, y;
  for (int i = 1; i <= n; ++i) {
    x.push_back(std::log(s[i - 1]));
    y.push_back(std::log(-std::log(1 - Rank(i, n, true))));
    EXPECT_NEAR(y.back(), Num(41, i), 1e-14);
  }
  const Line line = FitLine(x, y);
  const double tol = 1e-10;
  EXPECT_EQ(10, Num(21, 1));
  EXPECT_NEAR(line.m, Num(21, 2), tol * line.m);
  EXPECT_NEAR(2 * line.delm, Num(21, 3), tol);
  EXPECT_NEAR(std::exp(-line.c / line.m), Num(21, 4), tol);
  EXPECT_NEAR(line.c, Num(21, 6), tol * std::fabs(line.c));
  EXPECT_NEAR(2 * line.delc, Num(21, 7), tol * line.delc);
  EXPECT_NEAR(line.r, Num(21, 8), tol);
  const double so = std::exp(-line.c / line.m);
  const double d1 = std::exp(line.xbar - (line.ybar + line.delb) / line.m) - so;
  const double d2 = std::exp(line.xbar - line.ybar / (line.m + line.delm)) - so;
  EXPECT_NEAR(2 * std::sqrt(d1 * d1 + d2 * d2), Num(21, 5), tol);

  // The maximum-likelihood modulus solves the likelihood equation, and its
  // scale is the power mean of the strengths.
  const double mle = Num(21, 10);
  double s0 = 0, s1 = 0, sl = 0;
  for (double v : s) {
    s0 += std::pow(v, mle);
    s1 += std::log(v) * std::pow(v, mle);
    sl += std::log(v);
  }
  EXPECT_NEAR(0.0, 1 / mle + sl / n - s1 / s0, 1e-6);
  const double mle_so = std::pow(s0 / n, 1 / mle);
  EXPECT_NEAR(mle_so, Num(21, 15), 1e-9);
  EXPECT_NEAR(mle * (1 - std::pow(10, 0.21048) * std::pow(n, -1.05187)), Num(21, 12), 1e-12);
  EXPECT_LT(Num(21, 13), Num(21, 12));
  EXPECT_GT(Num(21, 14), Num(21, 12));
  EXPECT_LT(Num(21, 16), mle_so);
  EXPECT_GT(Num(21, 17), mle_so);
  EXPECT_EQ(95, Num(21, 18));

  // GR-20 percentiles from the unbiased modulus and the estimator's scale.
  const double mu = Num(21, 12);
  EXPECT_NEAR(mle_so * std::pow(std::log(1 / 0.85), 1 / mu), Num(21, 20), 1e-9);
  EXPECT_NEAR(mle_so * std::pow(std::log(2.0), 1 / mu), Num(21, 21), 1e-9);
  // Median of an even count: the mean of the middle pair.
  EXPECT_NEAR((s[4] + s[5]) / 2, Num(21, 23), 1e-15);
  // B: the estimator's own modulus; its scale is the same power mean.
  EXPECT_EQ(mle, Num(21, 27));
  EXPECT_NEAR(mle_so, Num(21, 28), 1e-9);

  // 90 %: the same point estimates inside narrower bounds.
  EXPECT_NEAR(Num(21, 12), Num(21, 33), 1e-12);
  EXPECT_NEAR(mle_so, Num(21, 36), 1e-9);
  EXPECT_LT(Num(21, 34), Num(21, 14));
  EXPECT_GT(Num(21, 34), Num(21, 33));
  EXPECT_GT(Num(21, 35), Num(21, 13));
  EXPECT_LT(Num(21, 35), Num(21, 33));
  EXPECT_LT(Num(21, 37), Num(21, 17));
  EXPECT_GT(Num(21, 38), Num(21, 16));
}

TEST_F(EngineTest, TwoPointEstimatesUseTheDocumentedPositions) {
  // N = 20: i15 = 3 (bracket 4), i85 = 17 (18), i50 = 10 (11).
  std::vector<double> s;
  for (int i = 1; i <= 20; ++i) s.push_back(4.0 + 0.1 * i + 0.003 * i * i);
  Column(1, {"N=20"});
  for (int i = 0; i < 20; ++i) Cell(1, i + 2, s[19 - i]);
  Analyse();
  auto X = [&](int i) { return std::log(s[i - 1]); };
  auto Y = [&](int i) { return std::log(-std::log(1 - (i - 0.5) / 20)); };
  const double ma = (Y(17) - Y(3)) / (X(17) - X(3));
  EXPECT_NEAR(ma, Num(21, 25), 1e-12 * ma);
  EXPECT_NEAR(std::exp(X(10) + 0.366512 / ma), Num(21, 26), 1e-12);
  auto L = [&](int a, int b) { return std::log(std::sqrt(s[a - 1] * s[b - 1])); };
  const double md = 2.46 / (L(17, 18) - L(3, 4));
  EXPECT_NEAR(md, Num(21, 30), 1e-12 * md);
  EXPECT_NEAR(std::exp(L(10, 11) + 0.3665 / md), Num(21, 31), 1e-12);
  // F(3) = 0.125, F(4) = 0.175: halfway between S(3) and S(4).
  EXPECT_NEAR(s[2] + 0.5 * (s[3] - s[2]), Num(21, 22), 1e-12);
}

TEST_F(EngineTest, ElevenStrengthsBracketOnlyWhereTheRankIsFractional) {
  // N = 11: i15 = 2 (3), i85 = 9 (10), i50 = i50b = 6.
  std::vector<double> s;
  for (int i = 1; i <= 11; ++i) s.push_back(3.0 + 0.2 * i * std::sqrt(i));
  Column(1, {"N=11"});
  for (int i = 0; i < 11; ++i) Cell(1, i + 2, s[i]);
  Analyse(1, 0);
  auto L = [&](int a, int b) { return std::log(std::sqrt(s[a - 1] * s[b - 1])); };
  const double md = 2.46 / (L(9, 10) - L(2, 3));
  EXPECT_NEAR(md, Num(21, 30), 1e-12 * md);
  EXPECT_NEAR(std::exp(std::log(s[5]) + 0.3665 / md), Num(21, 31), 1e-12);
  // i/(N + 1): F(1) = 1/12 and F(2) = 1/6 bracket 0.15.
  const double f1 = 1.0 / 12, f2 = 2.0 / 12;
  EXPECT_NEAR(s[0] + (0.15 - f1) * (s[1] - s[0]) / (f2 - f1), Num(21, 22), 1e-12);
  EXPECT_NEAR(std::log(-std::log(1 - 1.0 / 12)), Num(41, 1), 1e-14);
}

TEST_F(EngineTest, NoInterpolationWhenTheFirstRankIsAbove15Percent) {
  Column(1, {"five", 3.1, 3.3, 3.2, 3.6, 3.4});
  Analyse(1, 0);  // F(1) = 1/6
  EXPECT_EQ("--", Text(21, 22));
  EXPECT_EQ(3.3, Num(21, 23));
}

TEST_F(EngineTest, UnitWordsScaleTheValuesBelowThem) {
  struct Case {
    const char* what;
    std::initializer_list<Value> cells;
    std::vector<double> strengths;
  };
  const Case cases[] = {
      {"MPA first", {"MPA", 3000, 3500}, {3.0, 3.5}},
      {"MPA between", {3.0, "MPA", 3500}, {3.0, 3.5}},
      {"FACTOR consumes its number", {"FACTOR", 2, 1.5}, {3.0}},
      {"ksi converts to GPa", {"ksi", 290, " KPSI ", 435}, {2.0, 3.0}},
      {"GPA resets", {"MPA", 4000, "gpa", 5}, {4.0, 5.0}},
      {"FACTOR at the end", {"x", 2.0, 3.0, "FACTOR"}, {2.0, 3.0}},
      {"FACTOR then text", {"FACTOR", "abc", 2.5}, {2.5}},
      {"FACTOR then unit word", {"MPA", "FACTOR", "GPA", 2000}, {2.0}},
      {"numbers as text", {"t", "2.5", " 3.5 ", "4,5"}, {2.5, 3.5}},
      {"unit word last", {"t", 4.0, 3.0, "MPA"}, {3.0, 4.0}},
      {"gaps and noise", {"t", 2.0, Value(), "broken", 1.0}, {1.0, 2.0}},
  };
  for (const Case& c : cases) {
    host::MemoryHost fresh;
    fresh.notebook.AddSection("Section 1");
    host::MemoryTable* t = fresh.notebook.AddWorksheet("Data 1").table.get();
    int32_t row = 0;
    for (const Value& v : c.cells) t->Set(0, row++, v);
    RunSettings s;
    s.FOpt = 1;
    worksheet::Sheet sh(ui, msg, s);
    ASSERT_FALSE(sh.spOpenWorksheet(fresh, ""));
    sh.spLoadSheet(56, 38);
    RunContext run{s, ui, msg, sh};
    std::string summary;
    AnalyseWeibullSet(run, 1, summary);
    std::vector<double> got;
    for (int32_t r = 1; sh.spGetCell(31, r).IsNumber(); ++r) {
      got.push_back(sh.spGetCell(31, r).Number());
    }
    ASSERT_EQ(c.strengths.size(), got.size()) << c.what;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(c.strengths[i], got[i], 1e-12) << c.what;
    }
  }
}

TEST_F(EngineTest, AValueAtOrBelowZeroRejectsTheWholeSet) {
  Column(2, {"t", 3.0, "MPA", 0, 2500});
  EXPECT_EQ("Set 2:\tempty", Analyse(2));
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("BAD DATA", ui.shown[0].title);
  EXPECT_EQ("Column 2 has a value less than or equal to zero. This column will be ignored",
            ui.shown[0].text);
  EXPECT_EQ(std::vector<std::string>{"&Ok"}, ui.shown[0].buttons);
  EXPECT_EQ("(<= 0)", Text(32, 1));
  EXPECT_EQ("", Text(32, 2));
  EXPECT_EQ("", Text(42, 1));
  EXPECT_EQ("--", Text(22, 1));
  EXPECT_EQ("--", Text(22, 23));
  EXPECT_EQ("", Text(22, 9));
}

TEST_F(EngineTest, ColumnsWithoutNumbersHaveNoData) {
  Column(3, {"only", "words", Value(), "here"});
  EXPECT_EQ("Set 3:\tempty", Analyse(3));
  EXPECT_EQ("No Data", Text(33, 1));
  EXPECT_EQ("Set 4:\tempty", [&] {
    std::string s;
    AnalyseWeibullSet(ctx, 4, s);
    return s;
  }());
  EXPECT_EQ("No Data", Text(34, 1));
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ("raw 4", sheet.BufferedTitle(4));
  EXPECT_EQ("set 4", sheet.BufferedTitle(24));
  EXPECT_EQ("x4", sheet.BufferedTitle(34));
  EXPECT_EQ("y4", sheet.BufferedTitle(44));
}

TEST_F(EngineTest, EqualStrengthsGiveDashesNotInfinities) {
  Column(1, {"all equal", 3.0, 3.0, 3.0, 3.0, 3.0});
  EXPECT_EQ("Set 1:\t5 measurements", Analyse());
  for (int row : {2, 4, 6, 8, 10, 15, 18, 20, 25, 26, 27, 28, 30, 31, 33, 38}) {
    EXPECT_EQ("--", Text(21, row)) << row;
  }
  EXPECT_EQ(3.0, Num(21, 23));
  EXPECT_EQ(3.0, Num(21, 22));
  ExpectAllFinite();
}

TEST_F(EngineTest, EqualStrengthsAtTheBracketsOnlyBlankTheTwoPointRows) {
  // N = 20; S(3) .. S(18) equal: both two-point slopes divide by zero.
  Column(1, {"t", 1.0, 2.0});
  for (int row = 4; row <= 19; ++row) Cell(1, row, 3.0);
  Cell(1, 20, 4.0);
  Cell(1, 21, 5.0);
  Analyse();
  for (int row : {25, 26, 30, 31}) EXPECT_EQ("--", Text(21, row)) << row;
  for (int row : {2, 10, 20, 22, 23, 27, 28, 33}) Num(21, row);
  ExpectAllFinite();
}

TEST_F(EngineTest, HugeStrengthsNeverWriteInfinity) {
  // Products of strengths overflow in the bracketed estimate; a factor that
  // overflows the value itself drops it.
  Column(1, {"t", 1e200, 2e200, 3e200, 4e200, "FACTOR", 1e300, 1e10});
  Analyse();
  EXPECT_EQ(4, Num(21, 1));
  EXPECT_EQ("--", Text(21, 30));
  EXPECT_EQ("--", Text(21, 31));
  ExpectAllFinite();
}

TEST_F(EngineTest, Row1NumberAsksAndStopEndsTheRun) {
  Column(1, {2.0, 3.0, 4.0});
  ui.Answer("ROW 1 CONTAINS NUMERIC DATA", "&Stop");
  settings.FOpt = 1;
  Load();
  std::string summary;
  try {
    AnalyseWeibullSet(ctx, 1, summary);
    FAIL() << "no stop";
  } catch (const TerminateProgramError& e) {
    EXPECT_EQ(ExitReason::kStopped, e.reason());
  }
  ASSERT_EQ(1u, ui.shown.size());
  const auto& box = ui.shown[0];
  EXPECT_EQ((std::vector<std::string>{"&Continue", "&Stop"}), box.buttons);
  EXPECT_EQ(48, box.flags);
  EXPECT_EQ(
      "Column 1, row 1 is a number.\r\rCheck that you intend this cell to contain valid data. "
      "Earlier versions of the Weibull analysis software assumed that row 1 contained a "
      "description of the data and ignored that cell even if it contained numeric data. If row 1 "
      "contains valid data this worksheet is not backwards compatible with the earlier software. "
      "Alternatively, if this worksheet was used with the earlier software, row 1 might contain "
      "a number which is not valid data. \r\rThis warning is for backwards compatibility but "
      "will be omitted from future versions of this Weibull analysis pulgin.\r\rDo you want to "
      "continue using row 1 as valid data or stop processing?",
      box.text);
  EXPECT_EQ("", Text(31, 1));
}

TEST_F(EngineTest, Row1NumberIsDataWhenTheUserContinues) {
  Column(1, {2.0, 3.0, 4.0});
  Analyse();
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ((std::vector<double>{2.0, 3.0, 4.0}), Strengths());
}

TEST_F(EngineTest, ProgressStartsAtTenPerSetAndAdvancesNine) {
  Column(2, {"t", 3.0, 4.0, 5.0});
  Analyse(2);
  EXPECT_EQ((std::vector<int>{20, 22, 24, 26, 27, 28, 29}), ui.progress.history);
}

TEST_F(EngineTest, TenThousandStrengthsWithNoise) {
  const std::vector<double> s = WeibullSample(10000, 5.0, 4.0, 2024);
  Column(1, {"long"});
  for (size_t i = 0; i < s.size(); ++i) Cell(1, static_cast<int32_t>(i) + 2, s[i]);
  Cell(1, 5000, "re-spliced here");
  EXPECT_EQ("Set 1:\t9999 measurements", Analyse());
  const std::vector<double> got = Strengths();
  ASSERT_EQ(9999u, got.size());
  EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
  EXPECT_NEAR(5.0, Num(21, 10), 0.25);
  EXPECT_NEAR(4.0, Num(21, 15), 0.05);
  EXPECT_NEAR(5.0, Num(21, 2), 0.5);
  ExpectAllFinite();
}

}  // namespace
}  // namespace korund::weibull
