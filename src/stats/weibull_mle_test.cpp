#include "stats/weibull_mle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "stats/gamma.h"
#include "stats/weibull_mle_internal.h"

namespace korund::stats {
namespace {

enum Row { kMle = 1, kIter, kM, kMLo, kMHi, kSo, kSoLo, kSoHi, kDisp, kDispLo, kDispHi, kConf };

// The estimate from the strengths in elements 1..n, with a Newton step limit, and its
// figures as rows 1..12 (a lost dispersion reads as the text "none").
struct Mle {
  explicit Mle(ValueArray d, float level = 95, int16_t steps = 30)
      : data(std::move(d)),
        r(internal::WeibMLEWithStepLimit(data, static_cast<int32_t>(data.size() - 1), {&level, 1},
                                         steps)
              .front()) {
    if (!r.ok()) return;
    auto opt = [](const std::optional<double>& x) { return x ? Value(*x) : Value("none"); };
    v = {Value(),     Value(r->mle),   Value(r->iterations), Value(r->m),
         Value(r->m_lo), Value(r->m_hi), Value(r->so),        Value(r->so_lo),
         Value(r->so_hi), opt(r->disp),  opt(r->disp_lo),     opt(r->disp_hi),
         Value(r->confidence)};
  }
  double operator[](int row) const { return v[row].Number(); }
  ValueArray data;
  Result<WeibullMLE> r;
  ValueArray v;
};

ValueArray Sample(int n, unsigned seed, double scale = 3.5) {
  std::mt19937 rng(seed);
  std::weibull_distribution<double> w(6, scale);
  ValueArray s{n};
  for (int i = 0; i < n; ++i) s.emplace_back(w(rng));
  return s;
}

// The Newton step g/g' of the likelihood equation at m, in long double.
long double NewtonStep(const ValueArray& s, long double m) {
  const size_t n = s.size() - 1;
  long double mean = 0, sl = 0, s0 = 0, s1 = 0, s2 = 0;
  for (size_t i = 1; i <= n; ++i) mean += s[i].Number() / n;
  for (size_t i = 1; i <= n; ++i) {
    const long double l = std::log(s[i].Number() / mean), e = std::exp(m * l);
    sl += l, s0 += e, s1 += l * e, s2 += l * l * e;
  }
  return (sl / n + 1 / m - s1 / s0) / (-(s2 * s0 - s1 * s1) / (s0 * s0) - 1 / (m * m));
}

// Every figure of b is, to the bit, that of a.
void ExpectSameFigures(const WeibullMLE& a, const WeibullMLE& b, int n) {
  for (double WeibullMLE::*field : {&WeibullMLE::mle, &WeibullMLE::m, &WeibullMLE::m_lo,
                                    &WeibullMLE::m_hi, &WeibullMLE::so, &WeibullMLE::so_lo,
                                    &WeibullMLE::so_hi, &WeibullMLE::confidence}) {
    EXPECT_EQ(std::bit_cast<uint64_t>(a.*field), std::bit_cast<uint64_t>(b.*field)) << n;
  }
  EXPECT_EQ(a.disp, b.disp) << n;
  EXPECT_EQ(a.iterations, b.iterations) << n;
}

TEST(WeibullMle, EstimateSolvesTheLikelihoodEquationWhateverTheOrderAndScale) {
  for (int n : {5, 10, 30, 200}) {
    const Mle r(Sample(n, 100 + n)), sorted(r.data), scaled(Sample(n, 100 + n, 3500));
    const long double m = r[kMle], step = std::fabs(NewtonStep(r.data, m));
    EXPECT_LT(step, 2e-6L * m) << n;   // converged to 1e-6 of the start,
    EXPECT_GT(step, 1e-13L * m) << n;  // but m is where the last step began, not where it ended
    long double sum = 0;
    for (int i = 1; i <= n; ++i) sum += std::pow(static_cast<long double>(r.data[i].Number()), m);
    EXPECT_NEAR(r[kSo], static_cast<double>(std::pow(sum / n, 1 / m)), 1e-12 * r[kSo]) << n;
    EXPECT_TRUE(std::is_sorted(r.data.begin() + 1, r.data.end())) << n;
    EXPECT_EQ(sorted.v, r.v) << n;
    EXPECT_NEAR(scaled[kMle], r[kMle], 1e-12 * r[kMle]) << n;
    EXPECT_NEAR(scaled[kSoHi], 1e3 * r[kSoHi], 1e-9 * r[kSoHi]) << n;
  }
}

TEST(WeibullMle, BoundsFollowThePublishedFits) {
  const Mle r(Sample(10, 1)), r92(Sample(10, 1), 92.3f);
  const double m = r[kMle];
  EXPECT_NEAR(r[kM] / m, 1 - std::pow(10.0, 0.21048) * std::pow(10.0, -1.05187), 1e-14);
  EXPECT_NEAR(r[kMHi] / m, 1.452, 0.001);
  EXPECT_NEAR(r[kMLo] / m, 0.497, 0.001);
  EXPECT_NEAR(std::log(r[kSoHi] / r[kSo]) * m, 0.828, 0.001);
  EXPECT_NEAR(std::log(r[kSoLo] / r[kSo]) * m, -0.810, 0.001);
  EXPECT_EQ(r[kDisp], WeibullDispersion(r[kM]));
  EXPECT_EQ(r[kDispLo], WeibullDispersion(r[kMHi]));
  EXPECT_EQ(r[kDispHi], WeibullDispersion(r[kMLo]));
  EXPECT_EQ(r92[kConf], static_cast<double>(92.3f));  // the level is single precision,
  EXPECT_GT(r92[kMLo], r[kMLo]);                       // and a lower one narrows the bounds
  EXPECT_LT(r92[kSoHi], r[kSoHi]);
  EXPECT_EQ(Mle({2, 2.0, 3.0})[kMLo], 0.1);  // m / (1 + 1/D2) < 0 at N = 2
}

TEST(WeibullMle, FailuresSayWhy) {
  ValueArray invalid{3, 3, 0, 1};  // not a positive number: the data stay as they were
  const Mle not_positive(invalid);
  EXPECT_EQ(not_positive.r.failure(), Failure::kNotPositive);
  EXPECT_EQ(not_positive.data, invalid);
  EXPECT_EQ(Mle({1, 2.0}).r.failure(), Failure::kNoFit);            // no starting line
  EXPECT_EQ(Mle({3, 2.0, 2.0, 2.0}).r.failure(), Failure::kNoFit);  // no starting slope
  // Convergence seen only once the step limit is reached still counts as failure.
  const Mle ok(Sample(20, 6));
  const auto steps = static_cast<int16_t>(ok[kIter]);
  const Mle failed(Sample(20, 6), 95, steps), enough(Sample(20, 6), 95, steps + 1);
  EXPECT_EQ(failed.r.failure(), Failure::kNotConverged);
  EXPECT_EQ(failed.r.message(),
            "Failed to converge in " + std::to_string(steps) + " iterations in statWeibMLE");
  EXPECT_EQ(enough.v, ok.v);
  EXPECT_EQ(statWeibMLE(invalid, 3, 95).failure(), Failure::kNotPositive);
}

// One solve for several levels gives, level by level, the very figures of
// separate calls, and a failure of the solve fails every level alike.
TEST(WeibullMle, SeveralLevelsAtOnceMatchSeparateCalls) {
  const float levels[] = {95.0f, 90.0f, 99.9f};
  for (int n : {2, 7, 500}) {
    ValueArray together = Sample(n, 40 + n);
    const auto results = statWeibMLEAtLevels(together, n, levels);
    ASSERT_EQ(results.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
      const Mle alone(Sample(n, 40 + n), levels[i]);
      ASSERT_EQ(results[i].failure(), alone.r.failure()) << n << " " << levels[i];
      if (alone.r.ok()) ExpectSameFigures(*alone.r, *results[i], n);
    }
    EXPECT_EQ(together, Mle(Sample(n, 40 + n)).data);  // sorted in place once
  }
  ValueArray invalid{3, 3, -1, 1};
  for (const auto& r : statWeibMLEAtLevels(invalid, 3, levels)) {
    EXPECT_EQ(r.failure(), Failure::kNotPositive);
  }
  const Mle ok(Sample(20, 6));
  ValueArray data = Sample(20, 6);
  const auto failed = internal::WeibMLEWithStepLimit(
      data, 20, levels, static_cast<int16_t>(ok[kIter]));
  for (const auto& r : failed) EXPECT_EQ(r.failure(), Failure::kNotConverged);
}

// Ordinates handed in, computed the same way, give the very figures the
// estimator gets computing them itself.
TEST(WeibullMle, OrdinatesHandedInGiveTheSameEstimates) {
  const float levels[] = {95.0f, 90.0f};
  for (int n : {2, 3, 30, 1000}) {
    std::vector<double> ordinates(static_cast<size_t>(n) + 1, 0.0);
    for (int i = 1; i <= n; ++i) {
      const double f = static_cast<double>(i) / (n + 1);
      ordinates[static_cast<size_t>(i)] = std::log(std::log(1 / (1 - f)));
    }
    ValueArray own = Sample(n, 7 + n), given = Sample(n, 7 + n);
    const auto a = statWeibMLEAtLevels(own, n, levels);
    const auto b = statWeibMLEAtLevels(given, n, levels, ordinates);
    for (size_t l = 0; l < 2; ++l) {
      ASSERT_EQ(a[l].failure(), b[l].failure()) << n;
      if (a[l].ok()) ExpectSameFigures(*a[l], *b[l], n);
    }
  }
}

}  // namespace
}  // namespace korund::stats
