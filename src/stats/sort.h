// Stable in-place sorts of value arrays (elements 1..n; element 0 untouched),
// giving exactly the order of the program's exchange sorts.
#pragma once

#include <cstdint>

#include "util/value.h"

namespace korund::stats {

// Sorts data[1..n] ascending by the program's value comparison: numbers
// first, then texts. n == -1 takes the count from data[0]. Stable.
// Throws std::out_of_range when n reaches past the end of data, and
// std::invalid_argument when n == -1 and data[0] is not a count.
void SortValues(ValueArray& data, int32_t n);

// Sorts key[1..n] ascending or descending, carrying companion[1..n] along.
// Text keys are pushed behind the others, which in descending order can
// leave a text between numbers. Stable: equal keys keep their order.
// Throws std::out_of_range when n reaches past the end of either array.
void SortPairs(ValueArray& key, ValueArray& companion, int32_t n, bool ascending);

}  // namespace korund::stats
