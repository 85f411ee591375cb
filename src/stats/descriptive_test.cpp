#include "stats/descriptive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace korund::stats {
namespace {

// A column array: element 0 holds the count.
ValueArray Column(std::initializer_list<Value> cells) {
  ValueArray a{Value(static_cast<double>(cells.size()))};
  a.insert(a.end(), cells);
  return a;
}

struct Described {
  ValueArray results;
  Labels names;
  int16_t count = -1;
};

Described Describe(const ValueArray& data, int32_t n) {
  Described d;
  statDescribe(data, n, d.results, d.names, d.count);
  return d;
}

TEST(MeanSD, SampleStatisticsWithDivisorNMinusOne) {
  Value mean, sd, se;
  statMeanSD(Column({1, 2, 3, 4}), 4, mean, sd, se);
  EXPECT_EQ(mean.Number(), 2.5);
  EXPECT_EQ(sd.Number(), std::sqrt(5.0 / 3.0));
  EXPECT_NEAR(se.Number(), 0.645497224367903, 1e-15);
}

TEST(MeanSD, TwoPassKeepsPrecisionFarFromZero) {
  // sum(x^2) - n*mean^2 loses every digit here; squares about the mean do not.
  Value mean, sd, se;
  statMeanSD(Column({1e9 + 1, 1e9 + 2, 1e9 + 3}), 3, mean, sd, se);
  EXPECT_EQ(mean.Number(), 1e9 + 2);
  EXPECT_EQ(sd.Number(), 1.0);
}

TEST(MeanSD, SmallCountsAndCountFromElementZero) {
  Value mean(7), sd(7), se(7);
  statMeanSD(Column({}), 0, mean, sd, se);
  EXPECT_EQ(mean, Value(0));
  EXPECT_EQ(sd, Value(0));
  EXPECT_EQ(se, Value(0));

  statMeanSD(Column({42}), 1, mean, sd, se);
  EXPECT_EQ(mean.Number(), 42);
  EXPECT_EQ(sd, Value(0));

  // n < 0 reads the count (2) from element 0, ignoring the third cell.
  ValueArray data = Column({2, 4, 1000});
  data[0] = Value(2);
  statMeanSD(data, -1, mean, sd, se);
  EXPECT_EQ(mean.Number(), 3);
  EXPECT_EQ(sd.Number(), std::sqrt(2.0));
}

TEST(MeanSD, NumericTextAndEmptyReadAsNumbersOtherTextThrows) {
  Value mean, sd, se;
  statMeanSD(Column({"4", Value(), 2}), 3, mean, sd, se);
  EXPECT_EQ(mean.Number(), 2);
  EXPECT_THROW(statMeanSD(Column({1, "GPA"}), 2, mean, sd, se), std::invalid_argument);
  EXPECT_THROW(statMeanSD(Column({1}), 2, mean, sd, se), std::out_of_range);
}

TEST(Describe, FillsSevenLabelledRowsAndEnlargesShortArrays) {
  const Described d = Describe(Column({1, 10, 100, 1000}), 4);
  ASSERT_GE(d.results.size(), 8u);
  EXPECT_EQ(d.count, 7);
  const char* names[] = {"Count", "Mean", "StdDev", "StdErr", "LMean", "LStdDev", "LStdErr"};
  for (int row = 1; row <= 7; ++row) EXPECT_EQ(d.names[row], names[row - 1]);
  EXPECT_EQ(d.results[1].Number(), 4);
  EXPECT_EQ(d.results[2].Number(), 277.75);
  // log10 of the values are 0..3 (up to rounding): mean 1.5, sd sqrt(5/3).
  EXPECT_NEAR(d.results[5].Number(), 1.5, 1e-15);
  EXPECT_NEAR(d.results[6].Number(), std::sqrt(5.0 / 3.0), 1e-15);
  EXPECT_NEAR(d.results[7].Number(), std::sqrt(5.0 / 3.0) / 2, 1e-15);
}

TEST(Describe, EmptyAndSingleValueSets) {
  Described d = Describe(Column({}), 0);
  EXPECT_EQ(d.count, 7);
  for (int row = 1; row <= 7; ++row) EXPECT_EQ(d.results[row], Value(0)) << row;

  d = Describe(Column({100}), 1);
  EXPECT_EQ(d.results[2].Number(), 100);
  EXPECT_EQ(d.results[3], Value(0));
  EXPECT_EQ(d.results[5].Number(), 2);
  EXPECT_EQ(d.results[6], Value(0));
  EXPECT_EQ(d.results[7], Value(0));
}

TEST(Describe, NonPositiveValueReplacesOnlyTheLogarithmicRows) {
  for (const ValueArray& data : {Column({10, 0, 5}), Column({10, 100, -1, 1000})}) {
    const Described d = Describe(data, static_cast<int32_t>(data.size() - 1));
    EXPECT_EQ(d.count, 7);
    EXPECT_TRUE(d.results[2].IsNumber());
    EXPECT_TRUE(d.results[4].IsNumber());
    for (int row = 5; row <= 7; ++row) EXPECT_EQ(d.results[row], Value("<=0")) << row;
  }
  const Described d = Describe(Column({10, 0, 5}), 3);
  EXPECT_EQ(d.results[2].Number(), 5);
  EXPECT_EQ(d.results[3].Number(), 5);
  EXPECT_NEAR(d.results[4].Number(), 5 / std::sqrt(3.0), 1e-15);
}

TEST(Log10, TheTwoRoutesToBase10DifferInTheLastBits) {
  // statDescribe divides by the computed ln(10), Log10 by a stored
  // constant 4e-15 smaller; for 1000 they round differently.
  const Described d = Describe(Column({1000}), 1);
  EXPECT_EQ(d.results[5].Number(), std::log(1000.0) / std::log(10.0));
  EXPECT_EQ(Log10(1000), std::log(1000.0) / 2.30258509299405);
  EXPECT_NE(Log10(1000), d.results[5].Number());
  EXPECT_NEAR(Log10(1000), 3, 1e-14);
  EXPECT_NEAR(Log10(0.5), -0.301029995663981, 1e-14);
}

}  // namespace
}  // namespace korund::stats
