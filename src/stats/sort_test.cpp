#include "stats/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace korund::stats {
namespace {

// Texts quoted, so that values the comparison calls equal ("" and empty, 0 and empty) differ.
std::string Show(const ValueArray& a) {
  std::string s;
  for (const Value& v : a) s += v.IsText() ? "'" + v.Text() + "' " : ToText(v) + " ";
  return s;
}

TEST(Sort, CountFromElementZeroAndADescendingTextBetweenNumbers) {
  ValueArray a{2, 9, 1, 0};
  SortValues(a, -1);  // the count 2 comes from element 0
  EXPECT_EQ(Show(a), "2 1 9 0 ");
  // Descending, the text rule and the comparison undo each other.
  ValueArray key{Value(), 5, "x", 3}, other{Value(), 1, 2, 3};
  SortPairs(key, other, 3, false);
  EXPECT_EQ(Show(key) + "| " + Show(other), " 5 'x' 3 |  1 2 3 ");
}

TEST(Sort, FastPathsMatchTheExchangeSortsOnRandomMixedInput) {
  // Ties, then empties, texts (one numeric) and "" as the pool widens; now and then a NaN.
  const Value pool[] = {0, -2, 1, 3, 12, Value(), "a", "12", "b", ""};
  std::mt19937 rng(20240611);
  for (int trial = 0; trial < 6000; ++trial) {
    const int n = static_cast<int>(rng() % 30);
    ValueArray key{"title"}, other{-99};  // the other array records where each pair came from
    const size_t width = 5 + trial / 2 % 6;
    for (int i = 0; i < n; ++i) key.push_back(pool[rng() % width]), other.emplace_back(i);
    if (trial % 40 == 0 && n > 0) key[1 + rng() % n] = std::nan("");
    // Numbers and notes without empty cells: a column of strengths.
    if (trial % 3 == 0) {
      for (size_t i = 1; i < key.size(); ++i) {
        if (key[i].IsEmpty()) key[i] = Value("note");
      }
    }
    // The literal exchange sorts: neighbours swap on a strict comparison only.
    ValueArray values = key, want_values = key, want_key = key, want_other = other;
    for (int i = 1; i < n; ++i) {
      for (int j = 1; j <= n - i; ++j) {
        if (want_values[j] > want_values[j + 1]) std::swap(want_values[j], want_values[j + 1]);
        const Value &a = want_key[j], &b = want_key[j + 1];
        if ((a.IsText() && !b.IsText()) || (trial % 2 ? a < b : a > b)) {
          std::swap(want_key[j], want_key[j + 1]);
          std::swap(want_other[j], want_other[j + 1]);
        }
      }
    }
    SortValues(values, n);
    SortPairs(key, other, n, trial % 2 == 0);
    ASSERT_EQ(Show(values), Show(want_values)) << "trial " << trial;
    ASSERT_EQ(Show(key) + Show(other), Show(want_key) + Show(want_other)) << "trial " << trial;
  }
}

// Long columns of numbers take another way to the same order: the order a
// stable comparison sort gives, to the bit (which zero stays where).
TEST(Sort, LongNumberColumnsSortAsAStableComparisonSortDoes) {
  std::mt19937_64 rng(99);
  const double specials[] = {0.0, -0.0, std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::denorm_min(), -1e-310, 1e308, -1e308};
  for (int trial = 0; trial < 60; ++trial) {
    const size_t n = 200 + rng() % 3000;
    ValueArray values{Value(static_cast<double>(n))};
    std::vector<double> want;
    for (size_t i = 0; i < n; ++i) {
      double x = 0;
      switch (rng() % 4) {
        case 0: x = std::ldexp(static_cast<double>(rng() >> 11), -53) * 9 + 1; break;  // strengths
        case 1: x = static_cast<double>(static_cast<int>(rng() % 7) - 3); break;        // ties
        case 2: x = std::bit_cast<double>(rng()); break;                               // any bits
        case 3: x = specials[rng() % (trial % 3 == 0 ? 8 : 1 + rng() % 8)]; break;
      }
      if (std::isnan(x)) x = 0.5;
      // Some runs hold only one of the zeros.
      if (trial % 3 == 1 && x == 0) x = 0.0;
      if (trial % 3 == 2 && x == 0) x = -0.0;
      values.emplace_back(x);
      want.push_back(x);
    }
    std::stable_sort(want.begin(), want.end());
    SortValues(values, static_cast<int32_t>(n));
    for (size_t i = 0; i < n; ++i) {
      ASSERT_EQ(std::bit_cast<uint64_t>(want[i]), std::bit_cast<uint64_t>(values[i + 1].Number()))
          << "trial " << trial << " at " << i;
    }
    // Sorted again: unchanged.
    ValueArray again = values;
    SortValues(again, static_cast<int32_t>(n));
    for (size_t i = 1; i <= n; ++i) {
      ASSERT_EQ(std::bit_cast<uint64_t>(values[i].Number()), std::bit_cast<uint64_t>(again[i].Number()));
    }
  }
}

}  // namespace
}  // namespace korund::stats
