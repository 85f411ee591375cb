#include "fatigue/fatigue_driver.h"

#include <cmath>
#include <string>

#include "ui/ui.h"
#include "util/run_settings.h"

namespace korund::fatigue {

std::string NumText(double x) { return std::isfinite(x) ? FormatNumber(x) : "--"; }

std::string ValueText(const Value& v) { return v.IsNumber() ? NumText(v.Number()) : v.Text(); }

Value CellNumber(double x) { return std::isfinite(x) ? Value(x) : Value("--"); }

void SetQuantityNames(FatigueRun& run) {
  switch (run.ctx.settings.FatigueMode) {
    case 0:
      run.XShort = Value("rate");
      run.YShort = Value("str");
      run.ParamName = "nd";
      break;
    case 1:
      run.XShort = Value("vel");
      run.YShort = Value("str");
      run.ParamName = "nd";
      break;
    case 2:
      run.XShort = Value("str");
      run.YShort = Value("ttf");
      run.ParamName = "ns";
      break;
    default:
      break;  // the fit stage reports the unknown mode
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
  sheet.spPutTitle(Value("parms"), kColParms);
  const Value record[13] = {
      Value(st.FatigueMode),     Value(st.FitType),       Value::Bool(st.LockWorksheet),
      Value(""),                 Value::Bool(st.IgnoreWeakest), Value::Bool(st.GroupRates),
      Value(st.RateFactor),      Value::Bool(st.IgnoreByComment), Value(st.IgnoreChars),
      Value(std::string("\"") + kVersion + "\""), Value::Bool(st.CopyData),
      Value(static_cast<int>(st.SetToCopy)),      Value::Bool(st.MakeReport)};
  for (int32_t row = 1; row <= 13; ++row) sheet.spPutCell(record[row - 1], kColParms, row);
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
  rt.AddLine(std::string(st.FatigueMode == 2 ? "STATIC" : "DYNAMIC") + " FATIGUE ANALYSIS");
  if (st.FatigueMode != 2) {
    rt.Add("Analysis for constant ");
    rt.AddLine(st.FatigueMode == 0 ? "stress rate" : "faceplate speed");
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

void RunFatigueMacro(RunContext& ctx) {
  auto& st = ctx.settings;
  WriteOptionsRecord(ctx);

  FatigueRun run(ctx);
  SetQuantityNames(run);
  run.ReportText.Clear();
  if (st.MakeReport) StartReport(run);

  st.FinishMessage = std::string(st.FatigueMode == 2 ? "Static" : "Dynamic") +
                     " fatigue analysis complete:\t\r\n";
  for (int16_t s = 1; s <= kFatigueSets; ++s) {
    run.ReportText.Clear();
    std::string summary;
    AnalyseDataSet(run, s, summary);
    if (st.MakeReport) {
      ctx.sheet.SetReportText(ctx.sheet.ReportText() + run.ReportText.ToString());
    }
    st.FinishMessage += "\r\n" + summary;
  }
}

}  // namespace korund::fatigue
