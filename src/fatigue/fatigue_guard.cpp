#include "fatigue/fatigue_guard.h"

#include <cctype>
#include <cmath>
#include <string>

#include "dialogs/check_range.h"
#include "fatigue/df_options.h"
#include "fatigue/fatigue_run.h"
#include "fatigue/sf_options.h"
#include "ui/terminate.h"

namespace korund::fatigue {

namespace {

// A mark matches only a number: an empty cell or a text never does.
bool CellIs(const Value& v, double code) { return v.IsNumber() && v.Number() == code; }

// A warning with "&Continue"/"&Unlock" and "&Stop"; anything but the first
// button (Stop, or the window closed without an answer) ends the run.
void WarnOrStop(RunContext& ctx, const std::string& text, const std::string& go_on,
                const std::string& title) {
  const int pressed = ctx.msg.Go(text, go_on, "&Stop", "", "", false, ui::kMbIconExclamation,
                                 title, 1, 1.0f);
  if (pressed != 1) ui::TerminateProgram(ctx.ui, "");
}

}  // namespace

void CheckFatigueWorksheet(RunContext& ctx) {
  auto& sheet = ctx.sheet;
  auto& st = ctx.settings;
  sheet.spLoadSheet(kColParms, 25);

  const bool dynamic = st.FitType == kFitDynamic;
  const std::string this_name = dynamic ? "dynamic" : "static";
  const std::string other_name = dynamic ? "static" : "dynamic";
  const double other_code = dynamic ? 1 : 0;
  std::string this_upper = this_name;
  for (char& c : this_upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

  const std::string where = "The worksheet  \"" + st.WorksheetName + "\"  in section  \"" +
                            st.SectionName + "\"  ";
  const std::string check_title = "CHECK THIS WORKSHEET IS FOR " + this_upper +
                                  " FATIGUE ANALYSIS";
  const std::string question =
      "\r\rAre you sure you want to continue with " + this_name + " fatigue analysis?";

  if (CellIs(sheet.spGetCell(kColParms, 2), other_code)) {
    WarnOrStop(ctx,
               where + "MIGHT be configured for " + other_name + " " +
                   "fatigue analysis instead of " + this_name + " fatigue analysis." + question,
               "&Continue", check_title);
  }
  if (CellIs(sheet.spGetCell(56, 2), 2)) {
    WarnOrStop(ctx,
               where + "MIGHT be configured for Weibull " + "analysis instead of " + this_name +
                   " fatigue analysis." + question,
               "&Continue", check_title);
  }

  st.LockWorksheet = sheet.spGetCell(kColParms, 3).IsTrue();
  if (st.LockWorksheet) {
    WarnOrStop(ctx,
               where + "has been locked to avoid " +
                   "accidental changes or to avoid overwriting customizations." +
                   "\r\rDo you want to unlock the worksheet and continue the " + this_name +
                   " fatigue analysis?",
               "&Unlock", "WORKSHEET IS LOCKED");
  }
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
