#include "stats/descriptive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace korund::stats {
namespace {

using Rows = std::vector<std::string>;

// Rows 1..7 of statDescribe on data[1..] as text (element 0 is not read).
Rows Describe(const ValueArray& data, ValueArray* raw = nullptr) {
  ValueArray r;
  Labels names;
  int16_t count = -1;
  statDescribe(data, static_cast<int32_t>(data.size() - 1), r, names, count);
  EXPECT_EQ(count, 7);
  EXPECT_EQ(Labels(names.begin() + 1, names.begin() + 8),
            (Labels{"Count", "Mean", "StdDev", "StdErr", "LMean", "LStdDev", "LStdErr"}));
  if (raw != nullptr) *raw = r;
  Rows rows;
  for (int row = 1; row <= 7; ++row) rows.push_back(ToText(r[row]));
  return rows;
}

TEST(Describe, ValuesAndTheirLogarithms) {
  // Up to rounding the logarithms are 0..3: mean 1.5, sd sqrt(5/3).
  EXPECT_EQ(Describe({0, 1, 10, 100, 1000}),
            (Rows{"4", "277.75", "483.570315466117", "241.785157733059", "1.5", "1.29099444873581",
                  "0.645497224367903"}));
  EXPECT_EQ(Describe({0}), Rows(7, "0"));
  EXPECT_EQ(Describe({0, 100}), (Rows{"1", "100", "0", "0", "2", "0", "0"}));
  EXPECT_EQ(Describe({0, 1e9 + 1, 1e9 + 2, 1e9 + 3})[2], "1");  // squares about the mean
  EXPECT_EQ(Describe({0, 0, 2}), (Rows{"2", "1", "1.4142135623731", "1", "<=0", "<=0", "<=0"}));
  EXPECT_EQ(Describe({0, 10, 100, -1, 1000})[4], "<=0");
  EXPECT_EQ(Describe({0, "4", Value(), 2})[1], "2");  // a numeric text, and empty as 0
  EXPECT_THROW(Describe({0, 1, "GPA"}), std::invalid_argument);
  // The logarithms divide by the computed ln(10), Log10 by a stored constant: the last bits differ.
  ValueArray raw;
  EXPECT_EQ(Describe({0, 1000}, &raw)[4], "3");
  EXPECT_EQ(raw[5].Number(), std::log(1000.0) / std::log(10.0));
  EXPECT_EQ(Log10(1000), std::log(1000.0) / 2.30258509299405);
  EXPECT_NE(Log10(1000), raw[5].Number());
}

}  // namespace
}  // namespace korund::stats
