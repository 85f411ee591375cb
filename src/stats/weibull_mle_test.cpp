#include "stats/weibull_mle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "stats/gamma.h"
#include "stats/weibull_mle_internal.h"
#include "ui/scripted_ui.h"

namespace korund::stats {
namespace {

ValueArray Column(const std::vector<double>& cells) {
  ValueArray a{Value(static_cast<double>(cells.size()))};
  for (double c : cells) a.emplace_back(c);
  return a;
}

// Strengths drawn from a Weibull distribution (GPa-like values).
std::vector<double> WeibullSample(int n, double modulus, double scale, unsigned seed) {
  std::mt19937 rng(seed);
  std::weibull_distribution<double> w(modulus, scale);
  std::vector<double> s(n);
  for (double& v : s) v = w(rng);
  return s;
}

struct Mle {
  ValueArray values;
  Labels labels;
  int16_t count = 0;
  ui::ScriptedUi ui;
  double operator[](int row) const { return values[row].Number(); }
};

void Estimate(Mle& r, ValueArray& data, float confidence = 95) {
  statWeibMLE(data, static_cast<int32_t>(data.size() - 1), false, r.values, r.labels, r.count,
              confidence, r.ui);
}

enum Row { kMle = 1, kIter, kM, kMLo, kMHi, kSo, kSoLo, kSoHi, kDisp, kDispLo, kDispHi, kConf };

// The likelihood equation and its derivative, in long double, straight from
// the strengths.
struct Likelihood {
  std::vector<long double> lx;  // ln(s / mean)
  long double g(long double m) const {
    long double sl = 0, s0 = 0, s1 = 0;
    for (long double l : lx) sl += l, s0 += std::exp(m * l), s1 += l * std::exp(m * l);
    return sl / lx.size() + 1 / m - s1 / s0;
  }
  long double dg(long double m) const {
    long double s0 = 0, s1 = 0, s2 = 0;
    for (long double l : lx) {
      s0 += std::exp(m * l), s1 += l * std::exp(m * l), s2 += l * l * std::exp(m * l);
    }
    return -(s2 * s0 - s1 * s1) / (s0 * s0) - 1 / (m * m);
  }
};

Likelihood LikelihoodOf(const std::vector<double>& s) {
  long double mean = 0;
  for (double v : s) mean += v;
  mean /= s.size();
  Likelihood L;
  for (double v : s) L.lx.push_back(std::log(v / mean));
  return L;
}

// Least-squares slope of ln ln(1/(1 - i/(N+1))) on ln x: the starting value.
long double StartingSlope(std::vector<double> s) {
  std::sort(s.begin(), s.end());
  const Likelihood L = LikelihoodOf(s);
  const size_t n = s.size();
  long double mx = 0, my = 0;
  std::vector<long double> y(n);
  for (size_t i = 0; i < n; ++i) {
    y[i] = std::log(std::log(1 / (1 - (i + 1.0L) / (n + 1))));
    mx += L.lx[i], my += y[i];
  }
  mx /= n, my /= n;
  long double sxy = 0, sxx = 0;
  for (size_t i = 0; i < n; ++i) sxy += (L.lx[i] - mx) * (y[i] - my), sxx += (L.lx[i] - mx) * (L.lx[i] - mx);
  return sxy / sxx;
}

TEST(WeibullMle, EstimateSolvesTheLikelihoodEquation) {
  for (int n : {5, 10, 30, 200}) {
    const std::vector<double> s = WeibullSample(n, 6, 3.5, 100 + n);
    ValueArray data = Column(s);
    Mle r;
    Estimate(r, data);
    ASSERT_TRUE(r.values[kMle].IsNumber()) << n;
    EXPECT_EQ(r.count, 12);
    EXPECT_GE(r[kIter], 1);
    EXPECT_LT(r[kIter], 30);
    // The stopping rule bounds the last Newton step |g/g'| by 1e-6 of the
    // starting slope; the step after the estimate is that small, so g is too.
    const Likelihood L = LikelihoodOf(s);
    const long double m = r[kMle];
    const long double t = StartingSlope(s) * 1e-6L;
    const long double step = std::fabs(L.g(m) / L.dg(m));
    EXPECT_LE(step, 1.0001L * t) << n;
    // The estimate is the point the last step started from, not where it
    // landed: one more step still moves it by far more than rounding.
    EXPECT_GT(step, 1e-13L * m) << n;
    // So is the closed-form maximum-likelihood scale for that modulus.
    long double sum = 0;
    for (double v : s) sum += std::pow(static_cast<long double>(v), m);
    EXPECT_NEAR(r[kSo], static_cast<double>(std::pow(sum / n, 1 / m)), 1e-12 * r[kSo]) << n;
    EXPECT_TRUE(r.ui.shown.empty());
  }
}

TEST(WeibullMle, LabelsAndDerivedRows) {
  ValueArray data = Column(WeibullSample(10, 4, 2, 1));
  Mle r;
  Estimate(r, data, 95);
  const char* labels[] = {"mle", "iter", "m",       "m-",      "m+",   "So",
                          "So-", "So+",  "disp", "disp lo", "disp hi", "conf"};
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(r.labels[row], labels[row - 1]);
  const double m = r[kMle];
  // N = 10 at 95 %: factors from the published fits.
  EXPECT_NEAR(r[kM] / m, 1 - std::pow(10.0, 0.21048) * std::pow(10.0, -1.05187), 1e-14);
  EXPECT_NEAR(r[kM] / m, 0.856, 0.001);
  EXPECT_NEAR(r[kMHi] / m, 1.452, 0.001);
  EXPECT_NEAR(r[kMLo] / m, 0.497, 0.001);
  EXPECT_NEAR(std::log(r[kSoHi] / r[kSo]) * m, 0.828, 0.001);
  EXPECT_NEAR(std::log(r[kSoLo] / r[kSo]) * m, -0.810, 0.001);
  EXPECT_EQ(r[kDisp], WeibullDispersion(r[kM]));
  EXPECT_EQ(r[kDispLo], WeibullDispersion(r[kMHi]));
  EXPECT_EQ(r[kDispHi], WeibullDispersion(r[kMLo]));
  EXPECT_EQ(r[kConf], 95);
}

TEST(WeibullMle, ConfidenceIsSinglePrecision) {
  ValueArray a = Column(WeibullSample(12, 5, 3, 2)), b = a, c = a;
  Mle r90, r95, rodd;
  Estimate(r90, a, 90);
  Estimate(r95, b, 95);
  Estimate(rodd, c, 92.3f);
  EXPECT_EQ(rodd[kConf], static_cast<double>(92.3f));
  EXPECT_NE(rodd[kConf], 92.3);
  // 90 % bounds lie inside the 95 % ones.
  EXPECT_GT(r90[kMLo], r95[kMLo]);
  EXPECT_LT(r90[kMHi], r95[kMHi]);
  EXPECT_GT(r90[kSoLo], r95[kSoLo]);
  EXPECT_LT(r90[kSoHi], r95[kSoHi]);
  EXPECT_EQ(r90[kMle], r95[kMle]);
}

TEST(WeibullMle, SmallSamplesClampTheLowerModulusBound) {
  ValueArray two = Column({2.0, 3.0});
  Mle r2;
  Estimate(r2, two);
  EXPECT_EQ(r2[kMLo], 0.1);  // m/(1 + 1/D2) < 0 at N = 2
  ValueArray three = Column({2.0, 3.0, 2.6});
  Mle r3;
  Estimate(r3, three);
  EXPECT_NEAR(r3[kMLo] / r3[kMle], 0.102, 0.001);
}

TEST(WeibullMle, SortedAndUnsortedInputGiveTheSameResult) {
  std::vector<double> s = WeibullSample(25, 7, 4, 3);
  ValueArray shuffled = Column(s);
  std::sort(s.begin(), s.end());
  ValueArray sorted = Column(s);
  Mle a, b;
  Estimate(a, shuffled);
  Estimate(b, sorted);
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(a.values[row], b.values[row]) << row;
  for (int i = 1; i <= 25; ++i) EXPECT_EQ(shuffled[i], sorted[i]);  // left sorted
}

TEST(WeibullMle, ScalingTheDataScalesOnlyTheStrengths) {
  const std::vector<double> s = WeibullSample(15, 5, 3, 4);
  ValueArray base = Column(s);
  Mle r;
  Estimate(r, base);
  for (double factor : {4.0, 1000.0, 1e-3}) {
    std::vector<double> scaled;
    for (double v : s) scaled.push_back(v * factor);
    ValueArray data = Column(scaled);
    Mle q;
    Estimate(q, data);
    for (int row : {kMle, kM, kMLo, kMHi, kDisp, kDispLo, kDispHi}) {
      EXPECT_NEAR(q[row], r[row], 1e-12 * r[row]) << factor << " row " << row;
    }
    for (int row : {kSo, kSoLo, kSoHi}) {
      EXPECT_NEAR(q[row], r[row] * factor, 1e-12 * r[row] * factor) << factor << " row " << row;
    }
    if (factor == 4.0) {  // a power of two changes no bit of x = s / mean
      for (int row = 1; row <= 5; ++row) EXPECT_EQ(q.values[row], r.values[row]);
    }
  }
}

TEST(WeibullMle, InvalidDataMarksTheLabelsAndLeavesValues) {
  for (Value bad : {Value(0), Value(-1.5), Value("2.5"), Value()}) {
    ValueArray data = Column({3, 2, 1});
    data[2] = bad;
    Mle r;
    r.values = ValueArray(13, Value("old"));
    Estimate(r, data);
    EXPECT_EQ(r.count, 12);
    for (int row = 1; row <= 12; ++row) {
      EXPECT_EQ(r.labels[row], "<=0");
      EXPECT_EQ(r.values[row], Value("old"));
    }
    EXPECT_EQ(data[1], Value(3));  // not sorted
  }
}

TEST(WeibullMle, NumericBreakdownsGiveCovergenceWithoutABox) {
  const std::vector<std::vector<double>> cases = {
      {2.5, 2.5, 2.5, 2.5},       // equal data: no starting slope
      {1e308, 1.5e308, 1.2e308},  // the sum overflows
      {3.0},                      // one strength
      {std::nan(""), 1, 2},       // not a number
  };
  for (const auto& s : cases) {
    ValueArray data = Column(s);
    Mle r;
    Estimate(r, data);
    EXPECT_EQ(r.count, 12);
    for (int row = 1; row <= 12; ++row) EXPECT_EQ(r.values[row], Value("covergence")) << row;
    EXPECT_EQ(r.labels[1], "mle");
    EXPECT_TRUE(r.ui.shown.empty());
  }
}

TEST(WeibullMle, FailureToConvergeIsReportedOnceAndMarksEveryValue) {
  const ValueArray strengths = Column(WeibullSample(20, 8, 5, 6));
  ValueArray data = strengths;
  Mle ok;
  Estimate(ok, data);
  const int steps = static_cast<int>(ok[kIter]);
  ASSERT_GT(steps, 1);

  // Convergence seen only once the limit is reached still counts as failure.
  Mle failed;
  data = strengths;
  internal::WeibMLEWithStepLimit(data, 20, false, failed.values, failed.labels, failed.count, 95,
                                 failed.ui, static_cast<int16_t>(steps));
  ASSERT_EQ(failed.ui.shown.size(), 1u);
  EXPECT_EQ(failed.ui.shown[0].text,
            "Failed to converge in " + std::to_string(steps) + " iterations in statWeibMLE");
  EXPECT_EQ(failed.ui.shown[0].flags, 48);
  EXPECT_EQ(failed.ui.shown[0].title, "WEIBULL MLE FAILURE");
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(failed.values[row], Value("covergence")) << row;
  EXPECT_EQ(failed.labels[12], "conf");

  Mle enough;
  data = strengths;
  internal::WeibMLEWithStepLimit(data, 20, false, enough.values, enough.labels, enough.count, 95,
                                 enough.ui, static_cast<int16_t>(steps + 1));
  EXPECT_TRUE(enough.ui.shown.empty());
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(enough.values[row], ok.values[row]) << row;
}

TEST(WeibullMle, ShortResultArraysAreEnlarged) {
  ValueArray data = Column({2.0, 3.0, 2.5, 2.8});
  ValueArray values;
  Labels labels(3);
  int16_t count = 0;
  ui::ScriptedUi ui;
  statWeibMLE(data, 4, false, values, labels, count, 95, ui);
  ASSERT_EQ(values.size(), 13u);
  ASSERT_EQ(labels.size(), 13u);
  EXPECT_EQ(labels[12], "conf");
  EXPECT_TRUE(values[12].IsNumber());
}

}  // namespace
}  // namespace korund::stats
