#include "fatigue/fatigue_guard.h"

#include <cmath>
#include <string>

#include "dialogs/check_range.h"
#include "dialogs/guard_questions.h"
#include "fatigue/df_options.h"
#include "fatigue/fatigue_run.h"
#include "fatigue/sf_options.h"

namespace korund::fatigue {

namespace {

// A mark matches only a number: an empty cell or a text never does.
bool CellIs(const Value& v, double code) { return v.IsNumber() && v.Number() == code; }

// Anything but the first button (Stop, or the window closed without an
// answer) ends the run.
constexpr auto kUnanswered = dialogs::Unanswered::kStops;

}  // namespace

void CheckFatigueWorksheet(RunContext& ctx) {
  auto& sheet = ctx.sheet;
  auto& st = ctx.settings;
  sheet.spLoadSheet(kColParms, 25);

  const bool dynamic = st.FitType == kFitDynamic;
  const std::string analysis = dynamic ? "dynamic fatigue analysis" : "static fatigue analysis";
  const std::string other = dynamic ? "static fatigue analysis" : "dynamic fatigue analysis";
  const double other_code = dynamic ? 1 : 0;

  if (CellIs(sheet.spGetCell(kColParms, 2), other_code)) {
    dialogs::AskIfOtherAnalysis(ctx.msg, ctx.ui, st, analysis, other, kUnanswered);
  }
  if (CellIs(sheet.spGetCell(56, 2), 2)) {
    dialogs::AskIfOtherAnalysis(ctx.msg, ctx.ui, st, analysis, "Weibull analysis", kUnanswered);
  }

  st.LockWorksheet = sheet.spGetCell(kColParms, 3).IsTrue();
  if (st.LockWorksheet) dialogs::AskIfLocked(ctx.msg, ctx.ui, st, analysis, kUnanswered);
  st.LockWorksheet = false;  // the dialog decides afresh

  st.CopyData = sheet.spGetCell(kColParms, 11).IsTrue();
  Value set = sheet.spGetCell(kColParms, 12);
  double set_number = 0;
  st.SetToCopy = CheckRange(ctx.ui, set, 1, 6, set_number)
                     ? static_cast<int16_t>(std::nearbyint(set_number))  // halves to even
                     : 1;
  st.MakeReport = sheet.spGetCell(kColParms, 13).IsTrue();
  st.IgnoreWeakest = sheet.spGetCell(kColParms, 5).IsTrue();

  if (!dynamic) {
    st.FatigueMode = 2;
    frmSFoptions form(ctx);
    ctx.ui.RunForm(form);
    return;
  }

  st.FatigueMode = CellIs(sheet.spGetCell(kColParms, 1), 1) ? 1 : 0;
  st.GroupRates = sheet.spGetCell(kColParms, 6).IsTrue();
  st.RateFactor = 1.2;
  const Value factor = sheet.spGetCell(kColParms, 7);  // a numeric text counts
  if (IsNumeric(factor)) {
    const double f = *ToNumber(factor);
    if (f >= 1 && f <= 100) st.RateFactor = f;
  }
  st.IgnoreByComment = sheet.spGetCell(kColParms, 8).IsTrue();
  st.IgnoreChars = ToText(sheet.spGetCell(kColParms, 9));
  frmDFoptions form(ctx);
  ctx.ui.RunForm(form);
}

}  // namespace korund::fatigue
