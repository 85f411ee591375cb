#include "util/units.h"

#include <gtest/gtest.h>

#include <optional>

#include "util/text.h"

namespace korund {
namespace {

TEST(UnitWords, ConvertIntoGpaAndSeconds) {
  EXPECT_EQ(UnitFactor(Quantity::kStrength, "GPA"), 1.0);
  EXPECT_EQ(UnitFactor(Quantity::kStrength, "MPA"), 0.001);
  EXPECT_EQ(UnitFactor(Quantity::kStrength, "KSI"), 1.0 / 145.0);
  EXPECT_EQ(UnitFactor(Quantity::kStrength, "KPSI"), 1.0 / GpaToKsi(1.0));
  EXPECT_EQ(UnitFactor(Quantity::kTime, "S"), 1.0);
  EXPECT_EQ(UnitFactor(Quantity::kTime, "MIN"), 60.0);
  EXPECT_EQ(UnitFactor(Quantity::kTime, "HOUR"), 3600.0);
  EXPECT_EQ(UnitFactor(Quantity::kTime, "DAY"), 86400.0);
}

TEST(UnitWords, BelongToOneQuantityAndAreReadTrimmedInCapitals) {
  EXPECT_EQ(UnitFactor(Quantity::kTime, "MPA"), std::nullopt);
  EXPECT_EQ(UnitFactor(Quantity::kStrength, "HOUR"), std::nullopt);
  EXPECT_EQ(UnitFactor(Quantity::kStrength, std::string(kFactorWord)), std::nullopt);
  EXPECT_EQ(UnitFactor(Quantity::kStrength, "mpa"), std::nullopt);
  EXPECT_EQ(UnitWord("  kPsi "), "KPSI");
  EXPECT_EQ(UnitWord("\tday"), "\tDAY");  // only blanks are trimmed
  EXPECT_EQ(UnitFactor(Quantity::kTime, UnitWord(" Day ")), 86400.0);
}

}  // namespace
}  // namespace korund
