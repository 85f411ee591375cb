#include "stats/linreg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "ui/scripted_ui.h"

namespace korund::stats {
namespace {

ValueArray Column(std::initializer_list<Value> cells) {
  ValueArray a{Value(static_cast<double>(cells.size()))};
  a.insert(a.end(), cells);
  return a;
}

ValueArray Ones(size_t n) { return ValueArray(n + 1, Value(1)); }

struct Fit {
  ValueArray r;
  Labels names;
  int16_t count = 0;
  double operator[](int row) const { return r[row].Number(); }
};

Fit LinReg(const ValueArray& x, const ValueArray& y, const ValueArray& e, bool weighted,
           ui::Ui* ui = nullptr) {
  Fit f;
  statLinReg(x, y, e, weighted, static_cast<int32_t>(x.size() - 1), ui != nullptr, f.r, f.names,
             f.count, ui);
  return f;
}

void ExpectAllDashes(const Fit& f) {
  ASSERT_EQ(f.count, 12);
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(f.r[row], Value("--")) << "row " << row;
}

TEST(LinReg, ExactLine) {
  const Fit f = LinReg(Column({1, 2, 3}), Column({3, 5, 7}), Ones(3), false);
  const char* names[] = {"m", "delm", "c", "delc", "b", "delb", "xbar", "resid", "gamma", "Xsos",
                         "MSE", "N"};
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(f.names[row], names[row - 1]);
  const double expected[] = {2, 0, 1, 0, 5, 0, 2, 0, 1, 2, 0, 3};
  for (int row = 1; row <= 12; ++row) EXPECT_NEAR(f[row], expected[row - 1], 1e-14) << row;
}

TEST(LinReg, ScatteredPointsUnweighted) {
  const Fit f = LinReg(Column({1, 2, 3}), Column({1, 3, 2}), Ones(3), false);
  EXPECT_DOUBLE_EQ(f[1], 0.5);
  EXPECT_NEAR(f[2], std::sqrt(1.5 / 2 / 1), 1e-15);
  EXPECT_DOUBLE_EQ(f[3], 1);
  EXPECT_NEAR(f[4], std::sqrt((4.0 / 2 + 1.0 / 3) * 1.5), 1e-15);
  EXPECT_DOUBLE_EQ(f[5], 2);
  EXPECT_NEAR(f[6], std::sqrt(1.5 / 3), 1e-15);
  EXPECT_DOUBLE_EQ(f[7], 2);
  EXPECT_DOUBLE_EQ(f[8], 1.5);
  EXPECT_DOUBLE_EQ(f[9], 0.5);
  EXPECT_DOUBLE_EQ(f[10], 2);
  EXPECT_DOUBLE_EQ(f[11], 1.5);
  EXPECT_EQ(f[12], 3);
}

TEST(LinReg, WeightedByInverseSquareUncertainty) {
  const Fit f = LinReg(Column({1, 2, 3}), Column({1, 3, 2}), Column({0.5, 1, 2}), true);
  EXPECT_NEAR(f[1], 13.0 / 11, 1e-14);
  EXPECT_NEAR(f[3], -1.0 / 11, 1e-14);
  EXPECT_NEAR(f[5], 7.5 / 5.25, 1e-14);
  EXPECT_NEAR(f[7], 6.75 / 5.25, 1e-14);
  EXPECT_NEAR(f[8], 3 * (12.0 / 11) / 5.25, 1e-14);
  EXPECT_NEAR(f[9], 0.817303, 1e-6);
  EXPECT_NEAR(f[10], 3.530612, 1e-6);
  EXPECT_NEAR(f[11], f[8], 1e-15);
}

TEST(LinReg, ZeroOrEmptyUncertaintyMakesTheFitUnweighted) {
  const ValueArray x = Column({1, 2, 3, 4}), y = Column({1, 3, 2, 5});
  const Fit plain = LinReg(x, y, Ones(4), false);
  for (const ValueArray& e : {Column({0.5, 0, 2, 1}), Column({0.5, 1, Value(), 1})}) {
    const Fit f = LinReg(x, y, e, true);
    for (int row = 1; row <= 12; ++row) EXPECT_EQ(f.r[row], plain.r[row]) << row;
  }
  // Unweighted, e is only tested against zero: a text there is harmless.
  EXPECT_EQ(LinReg(x, y, Column({"a", "b", "c", "d"}), false).r[1], plain.r[1]);
}

TEST(LinReg, TwoPointsLeaveTheErrorRowsEmpty) {
  const Fit f = LinReg(Column({1, 3}), Column({2, 8}), Ones(2), false);
  EXPECT_DOUBLE_EQ(f[1], 3);
  EXPECT_DOUBLE_EQ(f[3], -1);
  EXPECT_NEAR(f[9], 1, 1e-15);
  EXPECT_NEAR(f[8], 0, 1e-15);
  EXPECT_EQ(f[12], 2);
  for (int row : {2, 4, 6, 11}) EXPECT_EQ(f.r[row], Value("--")) << row;
}

TEST(LinReg, DegenerateInputGivesDashesEverywhere) {
  ExpectAllDashes(LinReg(Column({}), Column({}), Ones(0), false));
  ExpectAllDashes(LinReg(Column({1}), Column({2}), Ones(1), false));
  ExpectAllDashes(LinReg(Column({2, 2, 2}), Column({1, 2, 3}), Ones(3), false));
  ExpectAllDashes(LinReg(Column({1, 2, 3}), Column({4, 4, 4}), Ones(3), false));
  // Equal values whose sums do not cancel exactly in floating point.
  // (for 0.01, sum(x^2) - sum(x)^2/n comes out at +5e-20, not 0).
  ExpectAllDashes(LinReg(Column({0.01, 0.01, 0.01}), Column({1, 2, 3}), Ones(3), false));
  ExpectAllDashes(LinReg(Column({1, 2, 3}), Column({0.01, 0.01, 0.01}), Ones(3), false));
  ExpectAllDashes(LinReg(Column({1, 2, 3, 4, 5}), Column({0.7, 0.7, 0.7, 0.7, 0.7}), Ones(5),
                         false));
}

TEST(LinReg, RunTimeFaultsStopSilentlyWithDashes) {
  ui::ScriptedUi ui;
  // A text that is not a number.
  ExpectAllDashes(LinReg(Column({1, "GPA", 3}), Column({1, 2, 3}), Ones(3), false, &ui));
  // A weight that is not a number.
  ExpectAllDashes(LinReg(Column({1, 2, 3}), Column({1, 2, 4}), Column({1, "x", 1}), true, &ui));
  // Overflow of x^2.
  ExpectAllDashes(LinReg(Column({1e200, 2e200, 3e200}), Column({1, 2, 4}), Ones(3), false, &ui));
  // A weight 1/e^2 that overflows.
  ExpectAllDashes(LinReg(Column({1, 2, 3}), Column({1, 2, 4}), Column({1e-200, 1, 1}), true, &ui));
  EXPECT_TRUE(ui.shown.empty());  // no summary after a failure

  // Arrays shorter than the count.
  Fit f;
  statLinReg(Column({1, 2, 3}), Column({1, 2}), Ones(3), false, 3, false, f.r, f.names, f.count,
             nullptr);
  ExpectAllDashes(f);
}

TEST(LinReg, NumericTextsAndEmptiesReadAsNumbers) {
  const Fit texts = LinReg(Column({"1", Value(), 3}), Column({1, 3, "2"}), Ones(3), false);
  const Fit numbers = LinReg(Column({1, 0, 3}), Column({1, 3, 2}), Ones(3), false);
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(texts.r[row], numbers.r[row]) << row;
}

TEST(LinReg, SummaryBoxShowsTheFit) {
  ui::ScriptedUi ui;
  LinReg(Column({1, 2, 3}), Column({3, 5, 7}), Column({1, 1, 1}), true, &ui);
  LinReg(Column({1, 3}), Column({2, 8}), Column({1, 0}), true, &ui);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].flags, 0);
  EXPECT_EQ(ui.shown[0].title, "");
  EXPECT_EQ(ui.shown[0].text,
            "Results are weighted\r\n"
            "y=mx+c:  m=2 \u00b10\r\n"
            "               c=1 \u00b10\r\n"
            "               b=5 \u00b10\r\n"
            "correlation=1 residual=0");
  EXPECT_EQ(ui.shown[1].text,
            "Results not weighted\r\n"
            "y=mx+c:  m=3 \u00b1--\r\n"
            "               c=-1 \u00b1--\r\n"
            "               b=5 \u00b1--\r\n"
            "correlation=1 residual=0");
}

// The textbook formulas, in long double, about the means.
TEST(LinReg, AgreesWithTextbookFormulasOnRandomData) {
  std::mt19937 rng(12345);
  std::normal_distribution<double> noise(0, 1);
  std::uniform_real_distribution<double> u(-5, 5), ue(0.2, 3);
  for (int trial = 0; trial < 50; ++trial) {
    const int n = 3 + trial % 40;
    const bool weighted = trial % 2 == 1;
    ValueArray x{Value(n)}, y{Value(n)}, e{Value(n)};
    std::vector<long double> xs, ys, ws;
    for (int i = 0; i < n; ++i) {
      xs.push_back(u(rng));
      ys.push_back(0.7 * xs.back() - 2 + noise(rng));
      const double ei = ue(rng);
      ws.push_back(weighted ? 1.0L / (static_cast<long double>(ei) * ei) : 1.0L);
      x.emplace_back(static_cast<double>(xs.back()));
      y.emplace_back(static_cast<double>(ys.back()));
      e.emplace_back(ei);
    }
    long double sw = 0, mx = 0, my = 0;
    for (int i = 0; i < n; ++i) sw += ws[i], mx += ws[i] * xs[i], my += ws[i] * ys[i];
    mx /= sw;
    my /= sw;
    long double sxx = 0, syy = 0, sxy = 0, xsos = 0;
    for (int i = 0; i < n; ++i) {
      sxx += ws[i] * (xs[i] - mx) * (xs[i] - mx);
      syy += ws[i] * (ys[i] - my) * (ys[i] - my);
      sxy += ws[i] * (xs[i] - mx) * (ys[i] - my);
      xsos += (xs[i] - mx) * (xs[i] - mx);
    }
    const long double m = sxy / sxx, c = my - m * mx;
    long double rss = 0;
    for (int i = 0; i < n; ++i) rss += ws[i] * (ys[i] - m * xs[i] - c) * (ys[i] - m * xs[i] - c);
    const long double s2 = rss / (n - 2);
    const long double expected[] = {m,     std::sqrt(s2 / sxx), c, std::sqrt(s2 * (1 / sw + mx * mx / sxx)),
                                    my,    std::sqrt(s2 / sw), mx, n * rss / sw,
                                    sxy / std::sqrt(sxx * syy), xsos, n * rss / sw / (n - 2), static_cast<long double>(n)};
    const Fit f = LinReg(x, y, e, weighted);
    for (int row = 1; row <= 12; ++row) {
      const double want = static_cast<double>(expected[row - 1]);
      EXPECT_NEAR(f[row], want, 1e-9 * (1 + std::fabs(want))) << "trial " << trial << " row " << row;
    }
  }
}

}  // namespace
}  // namespace korund::stats
