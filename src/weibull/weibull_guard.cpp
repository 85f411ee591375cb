#include "weibull/weibull_guard.h"

#include <algorithm>
#include <string>

#include "dialogs/guard_questions.h"
#include "ui/terminate.h"
#include "util/text.h"
#include "weibull/weib_options.h"
#include "util/worksheet_layout.h"
#include "weibull/weibull_driver.h"

namespace korund::weibull {

namespace {

// The options records hold plain numbers; an empty cell or a text matches
// none of them (unlike the value comparison, where an empty value counts as
// 0 against a number).
bool IsNumberEqual(const Value& v, double x) { return v.IsNumber() && v.Number() == x; }

bool IsZeroOrOne(const Value& v) { return IsNumberEqual(v, 0) || IsNumberEqual(v, 1); }

const char* const kAnalysis = "Weibull analysis";
// Only "&Stop" stops: a question closed without an answer lets the run go on.
constexpr auto kUnanswered = dialogs::Unanswered::kContinues;

using R = layout::WeibullRecord;
using F = layout::FatigueRecord;

void AskIfNotWeibull(RunContext& ctx) {
  worksheet::Sheet& sheet = ctx.sheet;
  const Value a = sheet.spGetCell(R::kColumn, R::kKindRow);
  const Value b = sheet.spGetCell(F::kColumn, F::kKindRow);
  ValueArray data;
  const int32_t numeric = sheet.spGetNumCol(data, layout::weibull::RawColumn(1));
  if (!(IsZeroOrOne(a) || IsZeroOrOne(b) || numeric == 0)) return;
  dialogs::AskIfOtherAnalysis(ctx.msg, ctx.ui, ctx.settings, kAnalysis,
                              "static or dynamic fatigue analysis", kUnanswered);
}

void AskIfLocked(RunContext& ctx) {
  ctx.settings.LockWorksheet = ctx.sheet.spGetCell(R::kColumn, R::kLockRow).IsTrue();
  if (!ctx.settings.LockWorksheet) return;
  dialogs::AskIfLocked(ctx.msg, ctx.ui, ctx.settings, kAnalysis, kUnanswered);
}

// Worksheets of older versions keep the option in a column of its own under
// the marker "F opt". Its value is taken over and the old column marked obsolete with "x - "
// (once: cells already starting with "x" are left).
void TakeOverOldOption(RunContext& ctx) {
  worksheet::Sheet& sheet = ctx.sheet;
  using layout::weibull::kOldOptionColumn;
  using layout::weibull::kOldOptionRow;
  const Value marker = sheet.spGetCell(kOldOptionColumn, layout::weibull::kOldOptionMarkerRow);
  const Value old = sheet.spGetCell(kOldOptionColumn, kOldOptionRow);
  if (!(marker.IsText() && marker.Text() == "F opt" && IsZeroOrOne(old))) return;
  ctx.settings.FOpt = static_cast<int16_t>(old.Number());
  ValueArray column;
  const int32_t n = sheet.spGetCol(column, kOldOptionColumn, 1);
  const int32_t last = std::min(kOldOptionRow, n);
  for (int32_t row = 1; row <= last; ++row) {
    const std::string text = ToText(column[row]);
    if (text.empty() || text[0] != 'x') column[row] = Value("x - " + text);
  }
  sheet.spPutCol(column, kOldOptionColumn, -1, false);
}

}  // namespace

void CheckWeibullWorksheet(RunContext& ctx) {
  // Results that would not fit the notebook are refused before the worksheet
  // is loaded and anything is computed, not when the notebook is saved.
  std::string error;
  if (!ctx.sheet.CheckRoom(PlanWeibullColumns(ctx.sheet), &error)) {
    ui::TerminateProgram(ctx.ui, error);
  }
  ctx.sheet.spLoadSheet(layout::weibull::kMinColumns, layout::weibull::kMinRows);
  AskIfNotWeibull(ctx);
  AskIfLocked(ctx);
  ctx.settings.LockWorksheet = false;
  ctx.settings.FOpt = 1;
  TakeOverOldOption(ctx);
  const Value stored = ctx.sheet.spGetCell(R::kColumn, R::kFOptRow);
  if (IsZeroOrOne(stored)) ctx.settings.FOpt = static_cast<int16_t>(stored.Number());

  ctx.msg.set_help_topic(kWeibullHelpTopic);
  WeibOptionsForm form(ctx);
  ctx.ui.RunForm(form);
}

}  // namespace korund::weibull
