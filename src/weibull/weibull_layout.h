// The fixed layout of a Weibull worksheet: the columns every run writes and
// the 38-row result table shared by the driver and the engine.
#pragma once

#include <cstdint>

#include "util/value.h"

namespace korund::weibull {

// Column numbers (1-based). Set n (1..10) reads column n and writes
// kResultColumn0 + n, kStrengthColumn0 + n and kOrdinateColumn0 + n.
inline constexpr int32_t kSets = 10;
inline constexpr int32_t kTickLabelColumn = 12;
inline constexpr int32_t kSymbolColumn = 13;
inline constexpr int32_t kColorColumn = 14;
inline constexpr int32_t kLineColumn = 15;
inline constexpr int32_t kFitColorColumn = 16;
inline constexpr int32_t kFitLineColumn = 17;
inline constexpr int32_t kMethodColumn = 19;
inline constexpr int32_t kLabelColumn = 20;
inline constexpr int32_t kResultColumn0 = 20;
inline constexpr int32_t kStrengthColumn0 = 30;
inline constexpr int32_t kOrdinateColumn0 = 40;
inline constexpr int32_t kTickColumn = 54;
// The options record: worksheet::WeibullRecord.

// The worksheet the guard loads is at least this large.
inline constexpr int32_t kMinColumns = 56;
inline constexpr int32_t kMinRows = 38;

inline constexpr int32_t kResultRows = 38;
// What a result that cannot be computed shows.
inline constexpr const char* kNoResult = "--";

// ResultLabels: 39 texts, index = worksheet row; element 0 is "" (the
// driver replaces it by the count 38 before writing).
ValueArray ResultLabels();

// A copy of labels in which every non-empty label of rows 1..38 is "--" and
// element 0 is the count 38: the result column before anything is computed.
ValueArray ResultTemplate(const ValueArray& labels);

// The row of the first occurrence of label in ResultLabels (-1 if none).
int32_t ResultRow(const ValueArray& labels, const char* label);

}  // namespace korund::weibull
