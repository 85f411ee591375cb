#include "stats/gamma.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korund::stats {
namespace {

TEST(Gamma, ExactAtTheEndsOfThePolynomialRangeAndIntegers) {
  EXPECT_EQ(GammaFunction(1), 1.0);
  EXPECT_EQ(GammaFunction(2), 1.0);
  EXPECT_EQ(GammaFunction(5), 24.0);
  EXPECT_EQ(GammaFunction(11), 3628800.0);
}

TEST(Gamma, AgreesWithTheLibraryToThePolynomialsAccuracy) {
  EXPECT_NEAR(GammaFunction(0.5), 1.772454, 1e-6);
  for (double x = 0.05; x < 60; x *= 1.07) {
    const double ref = std::tgamma(x);
    EXPECT_NEAR(GammaFunction(x) / ref, 1.0, 5e-7) << x;
  }
}

TEST(Gamma, LargeArgumentsOverflowWithoutDeepRecursion) {
  EXPECT_NEAR(GammaFunction(170.5) / std::tgamma(170.5), 1.0, 5e-7);
  EXPECT_TRUE(std::isinf(GammaFunction(250)));
  EXPECT_TRUE(std::isinf(GammaFunction(1e12)));
  EXPECT_TRUE(std::isnan(GammaFunction(0)));
}

TEST(WeibullDispersion, CoefficientOfVariationOfTheDistribution) {
  EXPECT_NEAR(WeibullDispersion(1), 1.0, 1e-6);  // exponential distribution
  for (double m : {0.7, 2.0, 5.0, 10.0, 25.0}) {
    const double g1 = std::tgamma(1 + 1 / m), g2 = std::tgamma(1 + 2 / m);
    EXPECT_NEAR(WeibullDispersion(m), std::sqrt(g2 / (g1 * g1) - 1), 2e-5) << m;
  }
  EXPECT_NEAR(WeibullDispersion(10), 0.12, 0.005);
  EXPECT_GT(WeibullDispersion(3), WeibullDispersion(4));
}

}  // namespace
}  // namespace korund::stats
