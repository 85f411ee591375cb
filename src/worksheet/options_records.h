// The options records the analyses keep in their worksheets: one column of
// numbered rows each, written at the end of a run and read back by the next
// run's guard. Each guard also reads the other analysis's kind cell, to warn
// before it overwrites a worksheet made for the other analysis, so both
// layouts live here.
#pragma once

#include <cstdint>

namespace korund::worksheet {

// The Weibull record.
struct WeibullRecord {
  static constexpr int32_t kColumn = 56;
  static constexpr int32_t kKindRow = 2;  // kWeibullKind
  static constexpr int32_t kLockRow = 3;  // -1 locked, 0 not
  static constexpr int32_t kFOptRow = 4;  // the rank function, 0 or 1
  // Rows of earlier versions, blanked by every run.
  static constexpr int32_t kOldRow1 = 1;
  static constexpr int32_t kOldRow5 = 5;
  static constexpr int32_t kWeibullKind = 2;
};

// The fatigue record, shared by the dynamic and the static analysis.
struct FatigueRecord {
  static constexpr int32_t kColumn = 184;
  static constexpr int32_t kModeRow = 1;  // FatigueMode: 0, 1 or 2
  static constexpr int32_t kKindRow = 2;  // FitType: 0 dynamic, 1 static
  static constexpr int32_t kLockRow = 3;  // -1 locked, 0 not
  static constexpr int32_t kUnusedRow = 4;
  static constexpr int32_t kIgnoreWeakestRow = 5;
  static constexpr int32_t kGroupRatesRow = 6;
  static constexpr int32_t kRateFactorRow = 7;
  static constexpr int32_t kIgnoreByCommentRow = 8;
  static constexpr int32_t kIgnoreCharsRow = 9;
  static constexpr int32_t kVersionRow = 10;
  static constexpr int32_t kCopyDataRow = 11;
  static constexpr int32_t kSetToCopyRow = 12;
  static constexpr int32_t kMakeReportRow = 13;
  static constexpr int32_t kRows = 13;
};

}  // namespace korund::worksheet
