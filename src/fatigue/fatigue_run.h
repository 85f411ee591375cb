// The working data one fatigue run shares between the driver and the three
// stages of a data set's analysis (input and cleaning, rate grouping, fit).
// One object per run; the stages refill the per-set members for every set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/string_builder.h"
#include "util/value.h"
#include "worksheet/options_records.h"
#include "worksheet/run_context.h"

namespace korund::fatigue {

// Offsets inside a data set's block of 30 columns.
inline constexpr int32_t kColId = 0;
inline constexpr int32_t kColRawY = 1;
inline constexpr int32_t kColRawX = 2;
inline constexpr int32_t kColSortY = 3;
inline constexpr int32_t kColSortX = 4;
inline constexpr int32_t kColGroupX = 5;
inline constexpr int32_t kColGroupY = 6;
inline constexpr int32_t kColGroupLow = 7;
inline constexpr int32_t kColGroupHigh = 8;
inline constexpr int32_t kColCount = 9;
inline constexpr int32_t kColUse = 10;
inline constexpr int32_t kColLabels = 11;
inline constexpr int32_t kColValues = 12;
inline constexpr int32_t kColSymbol = 13;
inline constexpr int32_t kColColor = 14;
inline constexpr int32_t kColFill = 15;
inline constexpr int32_t kColLine = 16;
inline constexpr int32_t kColLineColor = 17;
inline constexpr int32_t kColLineX = 18;
inline constexpr int32_t kColLineY = 19;
// The results table of a set (labels and values) ends at this row.
inline constexpr int32_t kResultTableRows = 17;

// Columns shared by all sets.
inline constexpr int32_t kColFitX = 181;
inline constexpr int32_t kColFitY = 182;
inline constexpr int32_t kColFitErr = 183;
inline constexpr int32_t kColParms = worksheet::FatigueRecord::kColumn;

inline constexpr int16_t kFatigueSets = 6;

// Worksheet column of offset k in the block of data set s (1..6).
inline int32_t SetColumn(int16_t s, int32_t k) { return 30 * s - 29 + k; }

struct FatigueRun {
  explicit FatigueRun(RunContext& context) : ctx(context) {}

  RunContext& ctx;

  // Quantity names of the fatigue mode (empty until the driver sets them).
  Value XShort;
  Value YShort;
  std::string ParamName;

  // The analysis text of the set being analysed.
  StringBuilder ReportText;

  // The current set: pair i is (XData[i], YData[i]); element 0 the count.
  ValueArray XData;
  ValueArray YData;
  ValueArray Comments;
  int32_t n_v = 0;      // usable pairs after cleaning (elements 1..n_v)
  int32_t nGroups = 0;  // rate groups written by the grouping stage

  // Clipboard copy of the grouped y values.
  std::vector<std::string> GroupLines;  // indexed from 1
  std::string ClipboardTable;
};

// Sets XShort, YShort and ParamName from FatigueMode.
void SetQuantityNames(FatigueRun& run);

// The stages of AnalyseDataSet, in order. Each returns false when it has
// ended the set (summary then holds the set's summary line).
bool PrepareAndCleanSet(FatigueRun& run, int16_t s, std::string& summary);
void GroupMeasurements(FatigueRun& run, int16_t s);
void FitAndReport(FatigueRun& run, int16_t s, std::string& summary);

// Number as text for report lines and summaries: the default text form, or
// "--" for a value that is not finite.
std::string NumText(double x);
// A result value as text: numbers as NumText, texts as they are.
std::string ValueText(const Value& v);
// A finite number as a cell value; "--" otherwise.
Value CellNumber(double x);

}  // namespace korund::fatigue
