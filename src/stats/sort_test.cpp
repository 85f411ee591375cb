#include "stats/sort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace korund::stats {
namespace {

// The literal exchange sorts the fast paths must reproduce.
void ReferenceSortValues(ValueArray& a, int32_t n) {
  for (int32_t k = n - 1; k >= 1; --k) {
    for (int32_t j = 1; j <= k; ++j) {
      if (a[j] > a[j + 1]) std::swap(a[j], a[j + 1]);
    }
  }
}

void ReferenceSortPairs(ValueArray& key, ValueArray& other, int32_t n, bool ascending) {
  for (int32_t i = 1; i <= n - 1; ++i) {
    for (int32_t j = 1; j <= n - i; ++j) {
      const Value& a = key[j];
      const Value& b = key[j + 1];
      if ((a.IsText() && !b.IsText()) || (ascending && a > b) || (!ascending && a < b)) {
        std::swap(key[j], key[j + 1]);
        std::swap(other[j], other[j + 1]);
      }
    }
  }
}

// Kind and content, so that values the comparison calls equal (empty and 0,
// 0 and -0) still tell stability apart.
std::string Show(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::kEmpty:
      return "<empty>";
    case Value::Kind::kText:
      return "'" + v.Text() + "'";
    case Value::Kind::kNumber:
      return (std::signbit(v.Number()) ? "-" : "+") + FormatNumber(std::fabs(v.Number()));
  }
  return "?";
}

std::string Show(const ValueArray& a) {
  std::string s;
  for (const Value& v : a) s += Show(v) + " ";
  return s;
}

// Random cells drawn from a small pool so that ties, zeros of both signs,
// empties, "" and texts that look like numbers all occur.
class RandomCells {
 public:
  explicit RandomCells(unsigned seed) : rng_(seed) {}
  Value Next(bool empties, bool texts) {
    for (;;) {
      switch (Pick(8)) {
        case 0:
          if (empties) return Value();
          break;
        case 1:
          if (texts) return Value(Pick(2) ? "" : "12");
          break;
        case 2:
        case 3:
          if (texts) return Value(std::string(1, static_cast<char>('a' + Pick(3))));
          break;
        case 4:
          return Value(Pick(2) ? 0.0 : -0.0);
        default:
          return Value(static_cast<double>(Pick(7)) - 3);
      }
    }
  }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

 private:
  std::mt19937 rng_;
};

TEST(SortValues, NumbersAscendingThenTexts) {
  ValueArray a{Value(4), Value(3), Value("GPA"), Value(1), Value(2)};
  SortValues(a, 4);
  EXPECT_EQ(Show(a), "+4 +1 +2 +3 'GPA' ");  // element 0 untouched
}

TEST(SortValues, ShortCountsChangeNothingAndMinusOneReadsElementZero) {
  ValueArray a{Value(2), Value(9), Value(1), Value(0)};
  SortValues(a, 1);
  SortValues(a, 0);
  EXPECT_EQ(Show(a), "+2 +9 +1 +0 ");
  SortValues(a, -1);
  EXPECT_EQ(Show(a), "+2 +1 +9 +0 ");
  EXPECT_THROW(SortValues(a, 4), std::out_of_range);
}

TEST(SortValues, MatchesTheExchangeSortOnRandomMixedInput) {
  RandomCells cells(20240611);
  for (int trial = 0; trial < 3000; ++trial) {
    const bool empties = trial % 3 != 0, texts = trial % 4 != 0;
    const int n = cells.Pick(30);
    ValueArray a{Value("title")};
    for (int i = 0; i < n; ++i) a.push_back(cells.Next(empties, texts));
    if (trial % 50 == 0 && n > 0) a[1 + cells.Pick(n)] = std::nan("");
    ValueArray expected = a;
    ReferenceSortValues(expected, n);
    SortValues(a, n);
    ASSERT_EQ(Show(a), Show(expected)) << "trial " << trial;
  }
}

TEST(SortPairs, SmallExamplesInBothDirections) {
  ValueArray key{Value(), Value(3), Value(1), Value(2)};
  ValueArray other{Value(), Value("a"), Value("b"), Value("c")};
  SortPairs(key, other, 3, true);
  EXPECT_EQ(Show(key), "<empty> +1 +2 +3 ");
  EXPECT_EQ(Show(other), "<empty> 'b' 'c' 'a' ");

  key = {Value(), Value(1), Value(2), Value(2), Value(3)};
  other = {Value(), Value("p"), Value("q"), Value("r"), Value("s")};
  SortPairs(key, other, 4, false);
  EXPECT_EQ(Show(key), "<empty> +3 +2 +2 +1 ");
  EXPECT_EQ(Show(other), "<empty> 's' 'q' 'r' 'p' ");

  key = {Value(), Value("x"), Value(2), Value(1)};
  other = {Value(), Value(1), Value(2), Value(3)};
  SortPairs(key, other, 3, true);
  EXPECT_EQ(Show(key), "<empty> +1 +2 'x' ");
  EXPECT_EQ(Show(other), "<empty> +3 +2 +1 ");

  // Descending, the text rule and the comparison undo each other.
  key = {Value(), Value(5), Value("x"), Value(3)};
  other = {Value(), Value(1), Value(2), Value(3)};
  SortPairs(key, other, 3, false);
  EXPECT_EQ(Show(key), "<empty> +5 'x' +3 ");
  EXPECT_EQ(Show(other), "<empty> +1 +2 +3 ");

  SortPairs(key, other, 1, true);
  EXPECT_EQ(Show(key), "<empty> +5 'x' +3 ");
}

TEST(SortPairs, TwoStableSortsOrderByTwoKeys) {
  // By y descending, then x ascending: ordered by x, equal x by falling y.
  ValueArray x{Value(), Value(2), Value(1), Value(2), Value("bad"), Value(1)};
  ValueArray y{Value(), Value(5), Value(7), Value(9), Value(8), Value(6)};
  SortPairs(y, x, 5, false);
  SortPairs(x, y, 5, true);
  EXPECT_EQ(Show(x), "<empty> +1 +1 +2 +2 'bad' ");
  EXPECT_EQ(Show(y), "<empty> +7 +6 +9 +5 +8 ");
}

TEST(SortPairs, MatchesTheExchangeSortOnRandomMixedInput) {
  RandomCells cells(7);
  for (int trial = 0; trial < 4000; ++trial) {
    const bool ascending = trial % 2 == 0;
    const bool empties = trial % 3 != 0, texts = trial % 5 < 3;
    const int n = cells.Pick(30);
    ValueArray key{Value(-99)}, other{Value(-99)};
    for (int i = 0; i < n; ++i) {
      key.push_back(cells.Next(empties, texts));
      other.emplace_back(i);  // companions record where each pair came from
    }
    if (trial % 40 == 0 && n > 0) key[1 + cells.Pick(n)] = std::nan("");
    ValueArray expected_key = key, expected_other = other;
    ReferenceSortPairs(expected_key, expected_other, n, ascending);
    SortPairs(key, other, n, ascending);
    ASSERT_EQ(Show(key), Show(expected_key)) << "trial " << trial;
    ASSERT_EQ(Show(other), Show(expected_other)) << "trial " << trial;
  }
}

TEST(SortPairs, LargeInputsAreSortedInFull) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1e6, 1e6);
  const int n = 100000;
  ValueArray key(n + 1), other(n + 1);
  for (int i = 1; i <= n; ++i) {
    key[i] = Value(i % 1000 == 0 ? Value("tag") : Value(std::floor(u(rng))));
    other[i] = Value(i);
  }
  SortPairs(key, other, n, true);
  for (int i = 1; i < n; ++i) {
    ASSERT_LE(Compare(key[i], key[i + 1]), 0) << i;
    if (key[i] == key[i + 1]) {
      ASSERT_LT(other[i].Number(), other[i + 1].Number()) << i;
    }
  }
  EXPECT_EQ(key[n], Value("tag"));
  EXPECT_TRUE(key[n - 99].IsText());  // the hundred tags, at the end
  EXPECT_TRUE(key[n - 100].IsNumber());
}

}  // namespace
}  // namespace korund::stats
