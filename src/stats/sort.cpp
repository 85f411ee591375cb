// Both sorts are defined as exchange (bubble) sorts that swap neighbours
// only on a strict comparison, which makes them stable. A stable sort by a
// strict weak order has exactly one result, so wherever the exchange rule
// is such an order on the values present, std::stable_sort gives the same
// order in n log n time. The rule stops being one when
//   - a number is NaN (it compares equal to every number), or
//   - empty values meet both numbers and the text "" (empty equals 0 and
//     equals "", yet 0 < ""), which matters to SortValues only, or
//   - SortPairs sorts descending with text keys present: the text rule and
//     the descending comparison then disagree, and a text can end between
//     numbers.
// Those inputs keep the literal exchange sort. Numbers and texts without
// empty values, the usual column of strengths and notes, are sorted faster
// still: the numbers as plain doubles, then the texts among themselves.
#include "stats/sort.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <stdexcept>
#include <utility>
#include <vector>

namespace korund::stats {

namespace {

void CheckRange(const ValueArray& data, int32_t n) {
  if (n > 0 && static_cast<size_t>(n) >= data.size()) {
    throw std::out_of_range("sort: count beyond the end of the array");
  }
}

bool IsNaN(const Value& v) { return v.IsNumber() && std::isnan(v.Number()); }

// True when Compare is a strict weak order on data[1..n].
bool CompareIsOrderOn(const ValueArray& data, int32_t n) {
  bool empty = false, number = false, empty_text = false;
  for (int32_t i = 1; i <= n; ++i) {
    const Value& v = data[static_cast<size_t>(i)];
    if (IsNaN(v)) return false;
    empty = empty || v.IsEmpty();
    number = number || v.IsNumber();
    empty_text = empty_text || (v.IsText() && v.Text().empty());
  }
  return !(empty && number && empty_text);
}

// The swap rule of SortPairs: true when the pair at j must move behind j + 1.
bool PairsOutOfOrder(const Value& a, const Value& b, bool ascending) {
  if (a.IsText() && !b.IsText()) return true;
  return ascending ? a > b : a < b;
}

// The doubles (no NaN) in the order std::stable_sort gives them under <.
// A long run is sorted by radix on keys that order as the doubles do: no
// comparisons to mispredict. Keys tell -0 from 0 where < does not, so a
// run holding both keeps the comparison sort.
void SortDoubles(std::vector<double>& v) {
  constexpr size_t kRadixFrom = 256;
  const size_t n = v.size();
  if (std::is_sorted(v.begin(), v.end())) return;  // a set sorted a second time
  bool negative_zero = false, positive_zero = false;
  for (double x : v) {
    if (x == 0) (std::signbit(x) ? negative_zero : positive_zero) = true;
  }
  if (n < kRadixFrom || (negative_zero && positive_zero)) {
    std::stable_sort(v.begin(), v.end());
    return;
  }
  // Negative doubles reversed, all below the positive ones.
  constexpr uint64_t kSign = uint64_t{1} << 63;
  std::vector<uint64_t> keys(n), other(n);
  for (size_t i = 0; i < n; ++i) {
    const auto bits = std::bit_cast<uint64_t>(v[i]);
    keys[i] = (bits & kSign) != 0 ? ~bits : bits | kSign;
  }
  // Least significant digit first, 11 bits a digit (six passes at most); a
  // digit all keys share needs no pass.
  constexpr int kBits = 11, kDigits = (64 + kBits - 1) / kBits;
  constexpr size_t kBuckets = size_t{1} << kBits;
  constexpr uint64_t kMask = kBuckets - 1;
  std::vector<uint32_t> counts(kDigits * kBuckets, 0);
  for (uint64_t k : keys) {
    for (int d = 0; d < kDigits; ++d) ++counts[d * kBuckets + ((k >> (kBits * d)) & kMask)];
  }
  for (int d = 0; d < kDigits; ++d) {
    uint32_t* c = counts.data() + d * kBuckets;
    if (c[(keys[0] >> (kBits * d)) & kMask] == n) continue;
    uint32_t start = 0;
    for (size_t b = 0; b < kBuckets; ++b) {
      const uint32_t here = c[b];
      c[b] = start;
      start += here;
    }
    for (uint64_t k : keys) other[c[(k >> (kBits * d)) & kMask]++] = k;
    keys.swap(other);
  }
  for (size_t i = 0; i < n; ++i) {
    const uint64_t k = keys[i];
    v[i] = std::bit_cast<double>((k & kSign) != 0 ? k & ~kSign : ~k);
  }
}

}  // namespace

void SortValues(ValueArray& data, int32_t n) {
  if (n == -1) {
    const auto c = ToNumber(data.at(0));
    if (!c || !(std::nearbyint(*c) >= INT32_MIN && std::nearbyint(*c) <= INT32_MAX)) {
      throw std::invalid_argument("SortValues: element 0 is not a count");
    }
    n = static_cast<int32_t>(std::nearbyint(*c));
  }
  if (n < 2) return;
  CheckRange(data, n);
  const auto first = data.begin() + 1;
  const auto last = data.begin() + 1 + n;
  // Numbers (none NaN) and texts, no empty values: the usual column of
  // strengths with its notes. Every number comes before every text, so the
  // numbers are sorted as plain doubles and the texts among themselves.
  if (std::none_of(first, last, [](const Value& v) { return v.IsEmpty() || IsNaN(v); })) {
    // The numbers as plain doubles and the texts moved aside, in one pass.
    std::vector<double> numbers;
    std::vector<Value> texts;
    numbers.reserve(static_cast<size_t>(n));
    for (auto it = first; it != last; ++it) {
      if (it->IsNumber()) {
        numbers.push_back(it->Number());
      } else {
        texts.push_back(std::move(*it));
      }
    }
    // Numbers only and in order already (a set sorted a second time): as
    // they are.
    if (texts.empty() && std::is_sorted(numbers.begin(), numbers.end())) return;
    SortDoubles(numbers);
    auto out = first;
    for (double x : numbers) (out++)->SetNumber(x);
    std::stable_sort(texts.begin(), texts.end(),
                     [](const Value& a, const Value& b) { return a.Text() < b.Text(); });
    std::move(texts.begin(), texts.end(), out);
    return;
  }
  if (CompareIsOrderOn(data, n)) {
    std::stable_sort(first, last, [](const Value& a, const Value& b) { return a < b; });
    return;
  }
  for (int32_t k = n - 1; k >= 1; --k) {
    for (int32_t j = 1; j <= k; ++j) {
      if (data[j] > data[j + 1]) std::swap(data[j], data[j + 1]);
    }
  }
}

void SortPairs(ValueArray& key, ValueArray& companion, int32_t n, bool ascending) {
  if (n < 2) return;
  CheckRange(key, n);
  CheckRange(companion, n);

  bool fast = true;
  for (int32_t i = 1; i <= n && fast; ++i) {
    const Value& k = key[static_cast<size_t>(i)];
    if (IsNaN(k) || (!ascending && k.IsText())) fast = false;
  }

  if (!fast) {
    for (int32_t i = 1; i <= n - 1; ++i) {
      for (int32_t j = 1; j <= n - i; ++j) {
        if (PairsOutOfOrder(key[j], key[j + 1], ascending)) {
          std::swap(key[j], key[j + 1]);
          std::swap(companion[j], companion[j + 1]);
        }
      }
    }
    return;
  }

  // Ascending, the rule orders non-texts (numbers, and empties as 0) before
  // texts and compares within each class; without texts, descending is the
  // plain reverse comparison. Either way "b goes before a" is exactly
  // PairsOutOfOrder(a, b).
  std::vector<size_t> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), size_t{1});
  const bool numbers = std::all_of(key.begin() + 1, key.begin() + 1 + n,
                                   [](const Value& v) { return v.IsNumber(); });
  if (numbers) {
    // All numbers, the usual case: the rule is the plain comparison of the
    // doubles, read once instead of at every comparison.
    std::vector<double> k(static_cast<size_t>(n) + 1);
    for (int32_t i = 1; i <= n; ++i) k[static_cast<size_t>(i)] = key[i].Number();
    if (ascending) {
      std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return k[a] < k[b]; });
    } else {
      std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return k[a] > k[b]; });
    }
  } else {
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return PairsOutOfOrder(key[b], key[a], ascending);
    });
  }
  ValueArray sorted_key, sorted_companion;
  sorted_key.reserve(order.size());
  sorted_companion.reserve(order.size());
  for (size_t i : order) {
    sorted_key.push_back(std::move(key[i]));
    sorted_companion.push_back(std::move(companion[i]));
  }
  std::move(sorted_key.begin(), sorted_key.end(), key.begin() + 1);
  std::move(sorted_companion.begin(), sorted_companion.end(), companion.begin() + 1);
}

}  // namespace korund::stats
