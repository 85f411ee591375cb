#include "util/units.h"

#include <gtest/gtest.h>

#include <optional>

#include "util/text.h"

namespace korund {
namespace {

// The factors themselves: the analyses' input tests, on data in every unit.
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
