#include "stats/goodness_of_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "testing/weibull_sample_test_support.h"

namespace korund::stats {
namespace {

// A² written out independently: long double, and each F_i's two terms
// gathered under its own index, -N - (1/N) sum [(2i-1) ln F_i + (2N+1-2i) ln(1-F_i)].
long double ReferenceA2(const std::vector<double>& x, long double m, long double so) {
  const long double n = static_cast<long double>(x.size());
  long double sum = 0;
  for (size_t k = 0; k < x.size(); ++k) {
    const long double i = static_cast<long double>(k + 1);
    const long double f = 1 - std::exp(-std::pow(x[k] / so, m));
    sum += (2 * i - 1) * std::log(f) + (2 * n + 1 - 2 * i) * std::log(1 - f);
  }
  return -n - sum / n;
}

void ExpectReferenceA2(const std::vector<double>& x, double m, double so) {
  const Result<AndersonDarling> r = WeibullAndersonDarling(x, m, so);
  ASSERT_TRUE(r.ok()) << r.message();
  const double want = static_cast<double>(ReferenceA2(x, m, so));
  EXPECT_NEAR(r->a2, want, 1e-11 * std::max(1.0, want));
  EXPECT_NEAR(r->a2_star, want * (1 + 0.2 / std::sqrt(static_cast<double>(x.size()))),
              1e-11 * std::max(1.0, want));
}

TEST(AndersonDarling, A2MatchesTheFormulaOnAPublishedSet) {
  // Lieblein and Zelen's ball bearing endurances (millions of revolutions).
  const std::vector<double> bearings = {17.88, 28.92, 33.00,  41.52,  42.12,  45.60,  48.48, 51.84,
                                        51.96, 54.12, 55.56,  67.80,  68.64,  68.64,  68.88, 84.12,
                                        93.12, 98.64, 105.12, 105.84, 127.92, 128.04, 173.40};
  const RawFit fit = FitRaw(bearings);
  EXPECT_NEAR(fit.m, 2.102, 0.001);  // the published estimates
  EXPECT_NEAR(fit.so, 81.88, 0.01);
  ExpectReferenceA2(bearings, fit.m, fit.so);
}

TEST(AndersonDarling, A2MatchesTheFormulaOnSetsWithKnownParameters) {
  std::mt19937 rng(24);
  for (int n : {3, 10, 30, 200}) {
    SCOPED_TRACE(n);
    const std::vector<double> x = WeibullSample(rng, n, 6, 4.5);
    ExpectReferenceA2(x, 6, 4.5);
    const RawFit fit = FitRaw(x);
    ExpectReferenceA2(x, fit.m, fit.so);
  }
}

// Under a true Weibull model, the share of fitted samples in each band
// follows the critical values' levels.
TEST(AndersonDarling, BandsHoldTheirLevelsOnWeibullSamples) {
  std::mt19937 rng(2024);
  constexpr int kRuns = 20000;
  int at_most[3] = {};  // p ≤ 0.10, p ≤ 0.05, p ≤ 0.01
  for (int run = 0; run < kRuns; ++run) {
    const std::vector<double> x = WeibullSample(rng, 20, 5, 3);
    const RawFit fit = FitRaw(x);
    const Result<AndersonDarling> r = WeibullAndersonDarling(x, fit.m, fit.so);
    ASSERT_TRUE(r.ok());
    at_most[0] += r->band != FitBand::kAbove10;
    at_most[1] += RejectedAt5Percent(r->band);
    at_most[2] += r->band == FitBand::kAtMost1;
  }
  EXPECT_NEAR(at_most[0] / double{kRuns}, 0.10, 0.02);
  EXPECT_NEAR(at_most[1] / double{kRuns}, 0.05, 0.015);
  EXPECT_NEAR(at_most[2] / double{kRuns}, 0.01, 0.007);
}

TEST(AndersonDarling, TwoPopulationsAreRejected) {
  std::mt19937 rng(7);
  std::vector<double> x = WeibullSample(rng, 30, 15, 5.5);          // intrinsic strengths
  const std::vector<double> weak = WeibullSample(rng, 10, 4, 2.5);  // extrinsic flaws
  x.insert(x.end(), weak.begin(), weak.end());
  std::sort(x.begin(), x.end());
  const RawFit fit = FitRaw(x);
  const Result<AndersonDarling> r = WeibullAndersonDarling(x, fit.m, fit.so);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(std::string(FitBandText(r->band)), "p \xE2\x89\xA4 0.01") << r->a2_star;
}

TEST(AndersonDarling, NoStatisticWithoutThreeStrengthsOrWithAProbabilityOf0Or1) {
  struct Case {
    std::vector<double> x;
    double m, so;
  };
  const Case cases[] = {
      {{1, 2}, 5, 1.5},
      {{1, 2, 3}, 0, 2},
      {{1, 2, 30}, 20, 2},     // (30/2)^20: F is 1
      {{1e-30, 2, 3}, 20, 2},  // (1e-30/2)^20 underflows: F is 0
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(WeibullAndersonDarling(c.x, c.m, c.so).ok()) << c.x[0] << " " << c.m;
  }
}

}  // namespace
}  // namespace korund::stats
