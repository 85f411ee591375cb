// The working data one fatigue run shares between the driver and the three
// stages of a data set's analysis (input and cleaning, rate grouping, fit).
// One object per run; the stages refill the per-set members for every set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/string_builder.h"
#include "util/value.h"
#include "util/worksheet_layout.h"
#include "worksheet/run_context.h"

namespace korund::fatigue {

// The stages fill the columns of the fatigue worksheet by their names.
using namespace layout::fatigue;  // NOLINT(google-build-using-namespace)

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
