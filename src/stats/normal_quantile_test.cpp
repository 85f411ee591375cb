#include "stats/normal_quantile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace korund::stats {
namespace {

TEST(NormalQuantile, MatchesPublishedValuesInTheCentreAndBothTails) {
  const std::pair<double, double> cases[] = {
      {0.5, 0},
      {0.975, 1.959963984540054},
      {0.95, 1.644853626951472},
      {0.995, 2.575829303548901},
      {0.9, 1.281551565544601},
      {0.3, -0.5244005127080407},
      {0.02425, -1.972961051311884},  // where the tail formula takes over
      {0.97575, 1.972961051311884},
      {0.001, -3.090232306167813},
      {1e-10, -6.361340902404056},
  };
  for (const auto& [p, want] : cases) {
    EXPECT_NEAR(NormalQuantile(p), want, 3e-15 * std::max(1.0, std::fabs(want))) << p;
  }
  for (double p : {0.0, 1.0, -0.1, std::nan("")}) EXPECT_TRUE(std::isnan(NormalQuantile(p))) << p;
}

TEST(NormalQuantile, TwoSidedFactorOfAConfidenceLevel) {
  EXPECT_NEAR(TwoSidedNormalFactor(0.95), 1.959963984540054, 3e-15);
  EXPECT_NEAR(TwoSidedNormalFactor(0.90), 1.644853626951472, 3e-15);
  EXPECT_NEAR(TwoSidedNormalFactor(0.99), 2.575829303548901, 3e-15);
  EXPECT_TRUE(std::isnan(TwoSidedNormalFactor(1)));
}

}  // namespace
}  // namespace korund::stats
