#include "stats/gamma.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korund::stats {
namespace {

TEST(Gamma, ExactAtIntegersCloseElsewhereAndGivesTheWeibullDispersion) {
  const double exact[][2] = {{1, 1}, {2, 1}, {5, 24}, {11, 3628800}};
  for (const auto& c : exact) EXPECT_EQ(GammaFunction(c[0]), c[1]) << c[0];
  EXPECT_NEAR(GammaFunction(0.5), 1.772454, 1e-6);
  for (double x = 0.05; x < 171; x *= 1.07) {
    EXPECT_NEAR(GammaFunction(x) / std::tgamma(x), 1.0, 5e-7) << x;
  }
  EXPECT_TRUE(std::isinf(GammaFunction(250)) && std::isinf(GammaFunction(1e12)) &&
              std::isnan(GammaFunction(0)));
  for (double m : {0.7, 1.0, 2.0, 5.0, 25.0}) {  // the Weibull coefficient of variation
    const double g1 = std::tgamma(1 + 1 / m), g2 = std::tgamma(1 + 2 / m);
    EXPECT_NEAR(WeibullDispersion(m), std::sqrt(g2 / (g1 * g1) - 1), 2e-5) << m;
  }
}

}  // namespace
}  // namespace korund::stats
