#include "lifetime/lifetime_guard.h"

#include "lifetime/lifetime_options.h"
#include "util/worksheet_layout.h"

namespace korund::lifetime {

namespace {

bool CellIs(const Value& v, double code) { return v.IsNumber() && v.Number() == code; }

}  // namespace

void CheckLifetimeWorksheet(RunContext& ctx) {
  worksheet::Sheet& sheet = ctx.sheet;
  sheet.spRefreshSize();
  using R = layout::LifetimeRecord;
  using F = layout::FatigueRecord;
  const bool rewrite = CellIs(sheet.spGetCell(R::kColumn, R::kKindRow), R::kLifetimeKind);
  LifetimeEntries entries;
  if (rewrite) {
    entries = EntriesFromRecord(sheet);
  } else if (const Value kind = sheet.spGetCell(F::kColumn, F::kKindRow);
             CellIs(kind, kFitDynamic) || CellIs(kind, kFitStatic)) {
    entries.n_from_worksheet = true;
    entries.fatigue_worksheet = ctx.settings.WorksheetName;
    for (int32_t s = 1; s <= layout::fatigue::kSets; ++s) {
      const int32_t column = layout::fatigue::SetColumn(s, layout::fatigue::kColValues);
      if (!sheet.spGetCell(column, layout::fatigue::kRowParam).IsNumber()) continue;
      entries.set = std::to_string(s);
      break;
    }
  }
  frmLifetimeOptions form(ctx, entries, rewrite);
  ctx.ui.RunForm(form);
}

}  // namespace korund::lifetime
