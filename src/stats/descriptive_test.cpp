#include "stats/descriptive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace korund::stats {
namespace {

using Rows = std::vector<std::string>;

std::string Text(double x) { return ToText(Value(x)); }

// statDescribe of data[1..] as texts: count, mean, sd, se, then the same of the logarithms
// or "<=0" three times (element 0 is not read).
Rows Describe(const ValueArray& data, Description* raw = nullptr) {
  const Description d = statDescribe(data, static_cast<int32_t>(data.size() - 1));
  if (raw != nullptr) *raw = d;
  Rows rows{Text(d.count), Text(d.values.mean), Text(d.values.std_dev),
            Text(d.values.std_err)};
  for (double MeanSD::*field : {&MeanSD::mean, &MeanSD::std_dev, &MeanSD::std_err}) {
    rows.push_back(d.logs.ok() ? Text((*d.logs).*field) : "<=0");
  }
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
  Description raw;
  EXPECT_EQ(Describe({0, 1000}, &raw)[4], "3");
  EXPECT_EQ(raw.logs->mean, std::log(1000.0) / std::log(10.0));
  EXPECT_EQ(Log10(1000), std::log(1000.0) / 2.30258509299405);
  EXPECT_NE(Log10(1000), raw.logs->mean);
}

}  // namespace
}  // namespace korund::stats
