#include "weibull/weibull_driver.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "stats/sort.h"
#include "util/plot_styles.h"
#include "util/text.h"
#include "util/worksheet_layout.h"
#include "weibull/weibull_engine.h"

namespace korund::weibull {

// The driver lays out the Weibull worksheet by the names of its columns.
using namespace layout::weibull;  // NOLINT(google-build-using-namespace)

namespace {

using Record = layout::WeibullRecord;

void WriteOptionsRecord(RunContext& ctx) {
  worksheet::Sheet& sheet = ctx.sheet;
  sheet.spPutCell(Value(Record::kWeibullKind), Record::kColumn, Record::kKindRow);
  sheet.spPutCell(Value::Bool(ctx.settings.LockWorksheet), Record::kColumn, Record::kLockRow);
  sheet.spPutCell(Value(ctx.settings.FOpt), Record::kColumn, Record::kFOptRow);
  sheet.spPutCell(Value(""), Record::kColumn, Record::kOldRow5);
  sheet.spPutCell(Value(""), Record::kColumn, Record::kOldRow1);
}

// Column 19 names the method beside the first row of its results.
struct Method {
  const char* name;
  const char* label;
  int32_t offset;
};
constexpr Method kMethods[] = {
    {"LinReg", "m", 0},        {"MLE", "mle", 0},
    {"GR-20", "15% distn", 0}, {"FOTP-28,", "A: md", 0},
    {"ITM-13", "A: md", 1},    {"IEC 60793", "md", 0},
    {"-1-33", "md", 1},        {"ASTM C1239", "m.upper", -1},
};

void WriteMethodNames(worksheet::Sheet& sheet, const ValueArray& labels) {
  for (const Method& m : kMethods) {
    sheet.spPutCell(Value(m.name), kMethodColumn, ResultRow(labels, m.label) + m.offset);
  }
}

// The tick percentages (the user may edit them) and their positions on the
// scale of the Weibull ordinates.
void WriteAxisTicks(worksheet::Sheet& sheet) {
  sheet.spClearCols(kTickColumn, 1, true, "y ticks");
  ValueArray cells;
  sheet.spGetNumCol(cells, kTickLabelColumn);
  ValueArray ticks = AxisTickPercentages(cells);
  sheet.spClearCols(kTickLabelColumn, 1, true, "y axis labels");
  sheet.spPutCol(ticks, kTickLabelColumn, -1, false);
  const int32_t k = static_cast<int32_t>(ticks[0].Number());
  for (int32_t j = 1; j <= k; ++j) {
    const double p = ticks[j].Number();
    const double position = std::log(std::log(100 / (100 - p)));
    // A percentage so close to 0 that 100/(100 - p) rounds to 1 has no
    // position.
    ticks[j] = std::isfinite(position) ? Value(position) : Value(kNoResult);
  }
  sheet.spPutCol(ticks, kTickColumn, -1, false);
}

ValueArray TenTimes(const char* code) {
  ValueArray codes(kSets + 1, Value(code));
  codes[0] = Value(kSets);
  return codes;
}

// A style column whose first cell already holds a code of its kind is the
// user's and stays as it is.
void WritePlotStyles(RunContext& ctx) {
  worksheet::Sheet& sheet = ctx.sheet;
  // The shell prepares the tables at start-up; a run started otherwise
  // still gets the defaults rather than an empty column.
  if (ctx.settings.SymbolCodes.empty() || ctx.settings.ColorCodes.empty()) {
    InitPlotStyles(ctx.settings);
  }
  const RunSettings& settings = ctx.settings;
  if (!IsSymbolCode(sheet.spGetCell(kSymbolColumn, 1))) {
    sheet.spPutCol(settings.SymbolCodes, kSymbolColumn, -1, false);
  }
  if (!IsColorCode(sheet.spGetCell(kColorColumn, 1))) {
    sheet.spPutCol(settings.ColorCodes, kColorColumn, -1, false);
  }
  if (!IsLineCode(sheet.spGetCell(kLineColumn, 1))) {
    sheet.spPutCol(TenTimes("@line(1)"), kLineColumn, -1, false);
  }
  if (!IsColorCode(sheet.spGetCell(kFitColorColumn, 1))) {
    sheet.spPutCol(settings.ColorCodes, kFitColorColumn, -1, false);
  }
  if (!IsLineCode(sheet.spGetCell(kFitLineColumn, 1))) {
    sheet.spPutCol(TenTimes("@line(2)"), kFitLineColumn, -1, false);
  }
}

}  // namespace

std::vector<worksheet::Sheet::PlannedColumn> PlanWeibullColumns(worksheet::Sheet& sheet) {
  std::vector<worksheet::Sheet::PlannedColumn> plan;
  auto overwrite = [&](int32_t column, int64_t rows) { plan.push_back({column, rows, false}); };
  auto replace = [&](int32_t column, int64_t rows) { plan.push_back({column, rows, true}); };
  overwrite(0, 1);                               // "Title"
  overwrite(Record::kColumn, Record::kOldRow5);  // rows 1 to 5
  // The cleared columns; a set's strengths (or the one note of an unusable
  // set) and ordinates take one row per raw cell at most.
  const ValueArray labels = ResultLabels();
  int64_t method_rows = 0;
  for (const Method& m : kMethods) {
    method_rows = std::max<int64_t>(method_rows, ResultRow(labels, m.label) + m.offset);
  }
  replace(kMethodColumn, method_rows);
  replace(kLabelColumn, kResultRows);
  for (int32_t n = 1; n <= kSets; ++n) {
    const int64_t raw = sheet.StoredRows(RawColumn(n));
    replace(ResultColumn(n), kResultRows);
    replace(StrengthColumn(n), std::max<int64_t>(raw, 1));
    replace(OrdinateColumn(n), raw);
  }
  for (int32_t c = OrdinateColumn(kSets) + 1; c < kMethodColumn + kClearedColumns; ++c)
    replace(c, 0);
  // The ticks: the percentages of the worksheet, or the ten defaults.
  const int64_t ticks = std::max<int64_t>(sheet.StoredRows(kTickLabelColumn), 10);
  replace(kTickLabelColumn, ticks);
  replace(kTickColumn, ticks);
  for (int32_t c = kSymbolColumn; c <= kFitLineColumn; ++c) overwrite(c, kSets);
  return plan;
}

ValueArray AxisTickPercentages(const ValueArray& numeric_cells) {
  ValueArray ticks(1);
  const int32_t count =
      numeric_cells.empty() ? 0 : static_cast<int32_t>(numeric_cells[0].Number());
  for (int32_t i = 1; i <= count && i < static_cast<int32_t>(numeric_cells.size()); ++i) {
    // Under the value comparison a text is greater than any number, so a
    // percentage typed as text never passes "below 100".
    const Value& p = numeric_cells[i];
    if (p > Value(0) && p < Value(100)) ticks.push_back(p);
  }
  if (ticks.size() - 1 < 5) {
    ticks.resize(1);
    for (double p : kDefaultTickPercents) ticks.emplace_back(p);
  }
  ticks[0] = Value(static_cast<int32_t>(ticks.size()) - 1);
  stats::SortValues(ticks, -1);
  return ticks;
}

void RunWeibullMacro(RunContext& ctx) {
  worksheet::Sheet& sheet = ctx.sheet;
  WriteOptionsRecord(ctx);
  sheet.spPutTitle(Value("symbol"), kSymbolColumn);
  sheet.spPutTitle(Value("color"), kColorColumn);
  sheet.spPutTitle(Value("line"), kLineColumn);
  sheet.spPutTitle(Value("LRcolor"), kFitColorColumn);
  sheet.spPutTitle(Value("LRline"), kFitLineColumn);
  sheet.spPutTitle(Value("parms"), Record::kColumn);

  sheet.spClearCols(kMethodColumn, kClearedColumns, true, "");
  sheet.spPutTitle(Value("type"), kMethodColumn);
  sheet.spPutTitle(Value("var"), kLabelColumn);
  sheet.spPutCell(Value("Title"), 0, 1);

  ValueArray labels = ResultLabels();
  WriteMethodNames(sheet, labels);
  labels[0] = Value(kResultRows);
  sheet.spPutCol(labels, kLabelColumn, -1, false);

  WriteAxisTicks(sheet);
  WritePlotStyles(ctx);

  std::string& finish = ctx.settings.FinishMessage;
  finish = "Weibull analysis complete: \t\t\r\n";
  bool analysed = false;
  for (int16_t n = 1; n <= kSets; ++n) {
    std::string summary;
    AnalyseWeibullSet(ctx, n, summary);
    finish += "\r\n" + summary;
    analysed = analysed || summary.find(" measurements") != std::string::npos;
  }
  if (!analysed) {
    ctx.ui.Diagnostic("no data set held a usable strength: nothing was analysed");
  }
}

}  // namespace korund::weibull
