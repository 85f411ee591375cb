#include "fatigue/fatigue_guard.h"

#include <cmath>
#include <string>

#include "dialogs/check_range.h"
#include "dialogs/guard_questions.h"
#include "fatigue/df_options.h"
#include "fatigue/fatigue_driver.h"
#include "fatigue/fatigue_run.h"
#include "fatigue/sf_options.h"
#include "ui/terminate.h"

namespace korund::fatigue {

namespace {

using R = layout::FatigueRecord;
using W = layout::WeibullRecord;

// A mark matches only a number: an empty cell or a text never does.
bool CellIs(const Value& v, double code) { return v.IsNumber() && v.Number() == code; }

// Anything but the first button (Stop, or the window closed without an
// answer) ends the run.
constexpr auto kUnanswered = dialogs::Unanswered::kStops;

}  // namespace

void CheckFatigueWorksheet(RunContext& ctx) {
  auto& sheet = ctx.sheet;
  auto& st = ctx.settings;
  // Results that would not fit the notebook are refused before the worksheet
  // is loaded and anything is computed, not when the notebook is saved.
  std::string error;
  if (!sheet.CheckRoom(PlanFatigueColumns(sheet), &error)) ui::TerminateProgram(ctx.ui, error);
  sheet.spLoadSheet(R::kColumn, kMinRows);

  const bool dynamic = st.FitType == kFitDynamic;
  const std::string analysis = dynamic ? "dynamic fatigue analysis" : "static fatigue analysis";
  const std::string other = dynamic ? "static fatigue analysis" : "dynamic fatigue analysis";
  const double other_code = dynamic ? kFitStatic : kFitDynamic;

  if (CellIs(sheet.spGetCell(R::kColumn, R::kKindRow), other_code)) {
    dialogs::AskIfOtherAnalysis(ctx.msg, ctx.ui, st, analysis, other, kUnanswered);
  }
  if (CellIs(sheet.spGetCell(W::kColumn, W::kKindRow), W::kWeibullKind)) {
    dialogs::AskIfOtherAnalysis(ctx.msg, ctx.ui, st, analysis, "Weibull analysis", kUnanswered);
  }

  st.LockWorksheet = sheet.spGetCell(R::kColumn, R::kLockRow).IsTrue();
  if (st.LockWorksheet) dialogs::AskIfLocked(ctx.msg, ctx.ui, st, analysis, kUnanswered);
  st.LockWorksheet = false;  // the dialog decides afresh

  st.CopyData = sheet.spGetCell(R::kColumn, R::kCopyDataRow).IsTrue();
  Value set = sheet.spGetCell(R::kColumn, R::kSetToCopyRow);
  double set_number = 0;
  st.SetToCopy = CheckRange(ctx.ui, set, 1, kSets, set_number)
                     ? static_cast<int16_t>(std::nearbyint(set_number))  // halves to even
                     : 1;
  st.MakeReport = sheet.spGetCell(R::kColumn, R::kMakeReportRow).IsTrue();
  st.IgnoreWeakest = sheet.spGetCell(R::kColumn, R::kIgnoreWeakestRow).IsTrue();

  if (!dynamic) {
    st.FatigueMode = FatigueMode::kStatic;
    frmSFoptions form(ctx);
    ctx.ui.RunForm(form);
    return;
  }

  st.FatigueMode = CellIs(sheet.spGetCell(R::kColumn, R::kModeRow),
                          static_cast<int>(FatigueMode::kFaceplateVelocity))
                       ? FatigueMode::kFaceplateVelocity
                       : FatigueMode::kStressRate;
  st.GroupRates = sheet.spGetCell(R::kColumn, R::kGroupRatesRow).IsTrue();
  st.RateFactor = 1.2;
  const Value factor = sheet.spGetCell(R::kColumn, R::kRateFactorRow);  // a numeric text counts
  if (IsNumeric(factor)) {
    const double f = *ToNumber(factor);
    if (f >= 1 && f <= 100) st.RateFactor = f;
  }
  st.IgnoreByComment = sheet.spGetCell(R::kColumn, R::kIgnoreByCommentRow).IsTrue();
  st.IgnoreChars = ToText(sheet.spGetCell(R::kColumn, R::kIgnoreCharsRow));
  frmDFoptions form(ctx);
  ctx.ui.RunForm(form);
}

}  // namespace korund::fatigue
