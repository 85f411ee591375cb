#include "fatigue/fatigue_driver.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ui/ui.h"
#include "util/run_settings.h"
#include "util/text.h"

namespace korund::fatigue {

std::string NumText(double x) { return std::isfinite(x) ? FormatNumber(x) : "--"; }

std::string ValueText(const Value& v) { return v.IsNumber() ? NumText(v.Number()) : v.Text(); }

Value CellNumber(double x) { return std::isfinite(x) ? Value(x) : Value("--"); }

void SetQuantityNames(FatigueRun& run) {
  switch (run.ctx.settings.FatigueMode) {
    case FatigueMode::kStressRate:
      run.XShort = Value("rate");
      run.YShort = Value("str");
      run.ParamName = "nd";
      break;
    case FatigueMode::kFaceplateVelocity:
      run.XShort = Value("vel");
      run.YShort = Value("str");
      run.ParamName = "nd";
      break;
    case FatigueMode::kStatic:
      run.XShort = Value("str");
      run.YShort = Value("ttf");
      run.ParamName = "ns";
      break;
  }
}

void AnalyseDataSet(FatigueRun& run, int16_t s, std::string& summary) {
  if (!PrepareAndCleanSet(run, s, summary)) return;
  GroupMeasurements(run, s);
  FitAndReport(run, s, summary);
}

void AnalyseDataSet(RunContext& ctx, int16_t s, std::string& summary) {
  FatigueRun run(ctx);
  SetQuantityNames(run);
  AnalyseDataSet(run, s, summary);
}

namespace {

void WriteOptionsRecord(RunContext& ctx) {
  auto& sheet = ctx.sheet;
  const auto& st = ctx.settings;
  using R = layout::FatigueRecord;
  sheet.spPutTitle(Value("parms"), R::kColumn);
  ValueArray record(R::kRows + 1);
  record[R::kModeRow] = Value(static_cast<int>(st.FatigueMode));
  record[R::kKindRow] = Value(st.FitType);
  record[R::kLockRow] = Value::Bool(st.LockWorksheet);
  record[R::kUnusedRow] = Value("");
  record[R::kIgnoreWeakestRow] = Value::Bool(st.IgnoreWeakest);
  record[R::kGroupRatesRow] = Value::Bool(st.GroupRates);
  record[R::kRateFactorRow] = Value(st.RateFactor);
  record[R::kIgnoreByCommentRow] = Value::Bool(st.IgnoreByComment);
  record[R::kIgnoreCharsRow] = Value(st.IgnoreChars);
  record[R::kVersionRow] = Value(std::string("\"") + kVersion + "\"");
  record[R::kCopyDataRow] = Value::Bool(st.CopyData);
  record[R::kSetToCopyRow] = Value(static_cast<int>(st.SetToCopy));
  record[R::kMakeReportRow] = Value::Bool(st.MakeReport);
  for (int32_t row = 1; row <= R::kRows; ++row) sheet.spPutCell(record[row], R::kColumn, row);
}

void StartReport(FatigueRun& run) {
  auto& st = run.ctx.settings;
  if (run.ctx.sheet.spAddReport("")) {
    run.ctx.ui.MsgBox("Unable to create a report section.",
                      ui::kMbIconExclamation | ui::kMbOk, "FAILED TO ADD REPORT");
    st.MakeReport = false;
    return;
  }
  auto& rt = run.ReportText;
  rt.AddLine(std::string(st.FatigueMode == FatigueMode::kStatic ? "STATIC" : "DYNAMIC") +
             " FATIGUE ANALYSIS");
  if (st.FatigueMode != FatigueMode::kStatic) {
    rt.Add("Analysis for constant ");
    rt.AddLine(st.FatigueMode == FatigueMode::kStressRate ? "stress rate" : "faceplate speed");
  }
  if (st.IgnoreWeakest) rt.AddLine("Weakest at each rate will be ignored");
  if (st.IgnoreByComment) {
    rt.AddLine("Data with comment starting with any of \"" + st.IgnoreChars +
               "\" are ignored");
  }
  rt.AddLine("");
  run.ctx.sheet.SetReportText(rt.ToString());
}

}  // namespace

namespace {

// The most rate groups a set can form: one per distinct x that reads as a
// number (grouping only ever joins neighbours in x).
int64_t MostGroups(worksheet::Sheet& sheet, int32_t x_column) {
  ValueArray xs;
  sheet.spGetCol(xs, x_column, 1);
  std::vector<double> numbers;
  numbers.reserve(xs.size());
  for (size_t i = 1; i < xs.size(); ++i) {
    if (IsValidNumber(xs[i])) numbers.push_back(*ToNumber(xs[i]));
  }
  std::sort(numbers.begin(), numbers.end());
  return std::unique(numbers.begin(), numbers.end()) - numbers.begin();
}

}  // namespace

std::vector<worksheet::Sheet::PlannedColumn> PlanFatigueColumns(worksheet::Sheet& sheet) {
  std::vector<worksheet::Sheet::PlannedColumn> plan;
  auto overwrite = [&](int32_t column, int64_t rows) { plan.push_back({column, rows, false}); };
  auto replace = [&](int32_t column, int64_t rows) { plan.push_back({column, rows, true}); };
  overwrite(kColParms, layout::FatigueRecord::kRows);
  int64_t groups = 0;
  for (int16_t s = 1; s <= kSets; ++s) {
    auto col = [s](int32_t k) { return SetColumn(s, k); };
    const int64_t rows = std::max(sheet.StoredRows(col(kColRawX)), sheet.StoredRows(col(kColRawY)));
    groups = std::min(rows, MostGroups(sheet, col(kColRawX)));
    for (int32_t k : {kColSortY, kColSortX}) replace(col(k), rows);
    for (int32_t k : {kColGroupX, kColGroupY, kColGroupLow, kColGroupHigh, kColCount}) {
      replace(col(k), groups);
    }
    // An empty set ends before its fit.
    replace(col(kColLabels), rows > 0 ? kResultTableRows : 0);
    replace(col(kColValues), rows > 0 ? kResultTableRows : 0);
    replace(col(kColLineX), rows > 0 ? kLineToRow : 0);
    replace(col(kColLineY), rows > 0 ? kLineToRow : 0);
    for (int32_t k : {kColSymbol, kColColor, kColFill, kColLine, kColLineColor}) {
      overwrite(col(k), kStyleRow);
    }
  }
  // Every set clears the fit columns: the last one's groups stay.
  for (int32_t c : {kColFitX, kColFitY, kColFitErr}) replace(c, groups);
  return plan;
}

void RunFatigueMacro(RunContext& ctx) {
  auto& st = ctx.settings;
  WriteOptionsRecord(ctx);

  FatigueRun run(ctx);
  SetQuantityNames(run);
  run.ReportText.Clear();
  if (st.MakeReport) StartReport(run);

  st.FinishMessage = std::string(st.FatigueMode == FatigueMode::kStatic ? "Static" : "Dynamic") +
                     " fatigue analysis complete:\t\r\n";
  bool analysed = false;
  for (int16_t s = 1; s <= kSets; ++s) {
    run.ReportText.Clear();
    std::string summary;
    AnalyseDataSet(run, s, summary);
    if (st.MakeReport) {
      ctx.sheet.SetReportText(ctx.sheet.ReportText() + run.ReportText.ToString());
    }
    st.FinishMessage += "\r\n" + summary;
    analysed = analysed || summary.find(" measurements") != std::string::npos;
  }
  if (!analysed) {
    ctx.ui.Diagnostic("no data set held a usable measurement: nothing was analysed");
  }
}

}  // namespace korund::fatigue
