#include "weibull/weib_options.h"

#include <stdexcept>

#include "dialogs/options_common.h"
#include "ui/terminate.h"
#include "util/run_settings.h"
#include "weibull/weibull_driver.h"

namespace korund::weibull {

using dialogs::Control;

namespace {

constexpr const char* kRankHalf = "F ( i ) =  (i - \u00bd) / N  (FOTP-28, ITM-13, IEC 60793-1-33)";
constexpr const char* kRankPlusOne = "F( i ) = i / (N + 1)";

}  // namespace

WeibOptionsForm::WeibOptionsForm(RunContext& ctx)
    : ctx_(ctx), caption_(std::string("WEIBULL ANALYSIS OPTIONS") + "  -  version " + kVersion) {}

std::vector<ui::FormControl> WeibOptionsForm::Controls() const {
  using Kind = ui::FormControl::Kind;
  const RunSettings& s = ctx_.settings;
  std::vector<ui::FormControl> controls;
  controls.push_back(Control(Kind::kLabel, "lblCaption", dialogs::WorksheetCaption(s)));
  controls.push_back(Control(Kind::kLabel, "lblWeib",
                             "Data to be analyzed should be placed in columns 1 through 10. \r"
                             "Information anywhere else in the worksheet might be overwritten."));
  if (busy_) {
    // The progress frame covers the rank-function choice while the run lasts.
    controls.push_back(Control(Kind::kLabel, "lblpBar", "Please wait.."));
  } else {
    controls.push_back(Control(Kind::kLabel, "frmMode", "Rank function:"));
    ui::FormControl half = Control(Kind::kOption, "optFopt(1)", kRankHalf);
    half.group = "optFopt";
    half.checked = s.FOpt == 1;
    ui::FormControl plus_one = Control(Kind::kOption, "optFopt(0)", kRankPlusOne);
    plus_one.group = "optFopt";
    plus_one.checked = s.FOpt != 1;
    controls.push_back(half);
    controls.push_back(plus_one);
  }
  ui::FormControl lock =
      Control(Kind::kCheck, "chkLock", "Lock worksheet after completing the analysis");
  lock.checked = lock_;
  // Nothing can be changed once the analysis runs.
  lock.enabled = !busy_;
  controls.push_back(lock);
  ui::FormControl report = Control(Kind::kCheck, "chkReport", "Create a report of the analysis");
  report.enabled = !busy_;
  controls.push_back(report);
  dialogs::AddDialogButtons(controls, !busy_);
  return controls;
}

void WeibOptionsForm::SetChecked(const std::string& name, bool checked) {
  if (name == "chkLock") {
    lock_ = checked;
  } else if (name == "chkReport") {
    // The report is not available yet: say so and never stay ticked.
    if (checked) dialogs::ShowOptionNotImplemented(ctx_.ui);
  } else if (name == "optFopt(1)" || name == "optFopt(0)") {
    if (checked) SelectOption(name);
  } else {
    throw std::invalid_argument("no check box " + name + " in frmWeibOptions");
  }
}

void WeibOptionsForm::SelectOption(const std::string& name) {
  if (name == "optFopt(1)") {
    ctx_.settings.FOpt = 1;
  } else if (name == "optFopt(0)") {
    ctx_.settings.FOpt = 0;
  } else {
    throw std::invalid_argument("no option button " + name + " in frmWeibOptions");
  }
}

void WeibOptionsForm::SetText(const std::string& name, const std::string&) {
  throw std::invalid_argument("no text box " + name + " in frmWeibOptions");
}

void WeibOptionsForm::Press(const std::string& name) {
  if (name != "cmdOK" && name != "cmdCancel" && name != "cmdHelp") {
    throw std::invalid_argument("no button " + name + " in frmWeibOptions");
  }
  if (busy_ || closed_) return;
  if (name == "cmdOK") {
    busy_ = true;
    ctx_.settings.LockWorksheet = lock_;
    RunWeibullMacro(ctx_);
    closed_ = true;
  } else if (name == "cmdCancel") {
    closed_ = true;
    ui::TerminateProgram(ctx_.ui, "");
  } else {
    ctx_.ui.ShowHelp(kWeibullHelpTopic);
  }
}

}  // namespace korund::weibull
