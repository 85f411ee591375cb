#include "fatigue/sf_options.h"

#include <stdexcept>

#include "dialogs/options_common.h"
#include "fatigue/fatigue_driver.h"
#include "ui/terminate.h"
#include "util/run_settings.h"

namespace korund::fatigue {

namespace {

using Kind = ui::FormControl::Kind;

using dialogs::Control;

}  // namespace

std::string frmSFoptions::Caption() const {
  return std::string("STATIC FATIGUE OPTIONS  -  version ") + kVersion;
}

std::vector<ui::FormControl> frmSFoptions::Controls() const {
  const auto& st = ctx_.settings;
  std::vector<ui::FormControl> out;
  out.push_back(Control(Kind::kLabel, "lblCaption", dialogs::WorksheetCaption(st)));
  out.push_back(Control(Kind::kLabel, "lblStatFat",
                        "Data to be analyzed should be placed in columns 2 (time to failure) "
                        "and 3 (applied stress). Additional sets can be placed in 32:33, "
                        "62:63, 92:93, 122:123 and 152:153.\r"
                        "Information anywhere else in the worksheet might be overwritten."));
  // Nothing can be changed once the analysis runs.
  auto lock = Control(Kind::kCheck, "chkLock", "Lock worksheet after completing the analysis");
  lock.checked = lock_;
  lock.enabled = !running_;
  out.push_back(lock);
  auto report = Control(Kind::kCheck, "chkReport", "Create a report of the analysis");
  report.tooltip = "Create a report of the static fatigue analysis";
  report.enabled = !running_;
  out.push_back(report);
  if (running_) out.push_back(Control(Kind::kLabel, "lblpBar", "Please wait.."));
  dialogs::AddDialogButtons(out, !busy_);
  return out;
}

void frmSFoptions::SetChecked(const std::string& name, bool checked) {
  if (name == "chkLock") {
    lock_ = checked;
  } else if (name == "chkReport") {
    // The report option of this dialog is not available; the box clears.
    if (checked) dialogs::ShowOptionNotImplemented(ctx_.ui);
  } else {
    throw std::invalid_argument("frmSFoptions has no check box " + name);
  }
}

void frmSFoptions::SelectOption(const std::string& name) {
  throw std::invalid_argument("frmSFoptions has no option " + name);
}

void frmSFoptions::SetText(const std::string& name, const std::string& /*text*/) {
  throw std::invalid_argument("frmSFoptions has no text box " + name);
}

void frmSFoptions::Press(const std::string& name) {
  if (name == "cmdOK") {
    if (busy_) return;
    busy_ = true;
    ctx_.settings.LockWorksheet = lock_;
    running_ = true;
    RunFatigueMacro(ctx_);
    closed_ = true;
  } else if (name == "cmdCancel") {
    if (busy_) return;
    closed_ = true;
    ui::TerminateProgram(ctx_.ui, "");
  } else if (name == "cmdHelp") {
    if (!busy_) ctx_.ui.ShowHelp(kStaticHelpTopic);
  } else {
    throw std::invalid_argument("frmSFoptions has no button " + name);
  }
}

}  // namespace korund::fatigue
