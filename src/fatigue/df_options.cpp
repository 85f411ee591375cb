#include "fatigue/df_options.h"

#include <cmath>
#include <stdexcept>

#include "dialogs/check_range.h"
#include "dialogs/options_common.h"
#include "fatigue/fatigue_driver.h"
#include "ui/terminate.h"
#include "util/run_settings.h"
#include "util/text.h"

namespace korund::fatigue {

namespace {

// Short names of the test types that lead the experiment-type captions.
constexpr const char* kTension = "TENSION";
constexpr const char* kTwoPoint = "2-POINT BENDING";
constexpr const char* kFourPoint = "4-POINT BENDING";

using Kind = ui::FormControl::Kind;

using dialogs::Control;

// A whole number, halves to the even neighbour.
double RoundEven(double x) { return std::nearbyint(x); }

}  // namespace

frmDFoptions::frmDFoptions(RunContext& ctx) : ctx_(ctx) {
  const auto& st = ctx_.settings;
  ignore_weakest_ = st.IgnoreWeakest;
  group_rates_ = st.GroupRates;
  rate_factor_ = FormatNumber(st.RateFactor);
  ignore_ = st.IgnoreByComment;
  ignore_chars_ = st.IgnoreChars;
  copy_data_ = st.CopyData;
  set_to_copy_ = std::to_string(st.SetToCopy);
  report_ = st.MakeReport;
  mode_faceplate_ = st.FatigueMode == FatigueMode::kFaceplateVelocity;
  lock_ = false;  // the guard has cleared LockWorksheet
}

std::string frmDFoptions::Caption() const {
  return std::string("DYNAMIC FATIGUE ANALYSIS  -  version ") + kVersion;
}

std::vector<ui::FormControl> frmDFoptions::Controls() const {
  const auto& st = ctx_.settings;
  std::vector<ui::FormControl> out;
  out.push_back(Control(Kind::kLabel, "lblCaption", dialogs::WorksheetCaption(st)));
  out.push_back(Control(
      Kind::kLabel, "lblDynFat",
      "- Data to be analyzed should be placed in columns 1(comments), 2 (strengths) and 3\r"
      "   (corresponding rates).\r"
      "- Additional sets can be placed in 31:33, 61:63, 91:93, 121:123 and 151:153.\r"
      "- Information anywhere else in the worksheet might be overwritten."));
  if (running_) {
    // The progress area takes the place of the experiment-type frame.
    out.push_back(Control(Kind::kLabel, "lblpBar", "Please wait.."));
  } else {
    out.push_back(Control(Kind::kLabel, "frmMode", "Select experiment type:"));
    auto option = Control(Kind::kOption, "optMode(0)",
                          std::string(kTension) + " - all modes\r\n" + kTwoPoint +
                              "    - constant stress or strain rate\r\n" + kTwoPoint +
                              "    - constant faceplate speed (S vs dS/dt)\r\n" + kFourPoint +
                              "    - all modes");
    option.group = "optMode";
    option.checked = !mode_faceplate_;
    out.push_back(option);
    option = Control(Kind::kOption, "optMode(1)",
                     std::string(kTwoPoint) + "    - constant faceplate speed (S vs v)");
    option.group = "optMode";
    option.checked = mode_faceplate_;
    out.push_back(option);
  }

  // Nothing can be changed once the analysis runs.
  auto check = [this, &out](const std::string& name, const std::string& caption, bool checked) {
    auto c = Control(Kind::kCheck, name, caption);
    c.checked = checked;
    c.enabled = !running_;
    out.push_back(c);
  };
  auto text = [this, &out](const std::string& name, const std::string& value, bool enabled) {
    auto c = Control(Kind::kText, name, "");
    c.text = value;
    c.enabled = enabled && !running_;
    out.push_back(c);
  };
  check("chkIgnoreWeakest", "Ignore weakest at each rate (FOTP28)", ignore_weakest_);
  check("chkGroupRates", "Group similar rates within a factor of ", group_rates_);
  text("txtRateFactor", rate_factor_, group_rates_);
  check("chkIgnore", "Ignore data with ID starting with", ignore_);
  text("txtIgnore", ignore_chars_, ignore_);
  check("chkCopyData", "Copy to clipboard for Weibull - set:", copy_data_);
  out.back().tooltip =
      "Copy selected data set to clipboard in a format suitable for pasting into the Weibull "
      "analysis worksheet";
  text("txtSetToCopy", set_to_copy_, copy_data_);
  // The up-down arrows of the set number.
  out.back().spin_min = 1;
  out.back().spin_max = 6;
  check("chkReport", "Create a report of the analysis", report_);
  out.back().tooltip = "Create a report of the dynamic fatigue analysis";
  check("chkLock", "Lock worksheet after completing the analysis", lock_);
  dialogs::AddDialogButtons(out, !busy_);
  return out;
}

void frmDFoptions::SetChecked(const std::string& name, bool checked) {
  if (name == "chkIgnoreWeakest") {
    ignore_weakest_ = checked;
  } else if (name == "chkGroupRates") {
    group_rates_ = checked;
  } else if (name == "chkIgnore") {
    ignore_ = checked;
  } else if (name == "chkCopyData") {
    copy_data_ = checked;
  } else if (name == "chkReport") {
    report_ = checked;  // shown, never used: a dynamic run makes no report
  } else if (name == "chkLock") {
    lock_ = checked;
  } else {
    throw std::invalid_argument("frmDFoptions has no check box " + name);
  }
}

void frmDFoptions::SelectOption(const std::string& name) {
  if (name == "optMode(0)") {
    mode_faceplate_ = false;
  } else if (name == "optMode(1)") {
    mode_faceplate_ = true;
  } else {
    throw std::invalid_argument("frmDFoptions has no option " + name);
  }
}

void frmDFoptions::SetText(const std::string& name, const std::string& text) {
  if (name == "txtRateFactor") {
    rate_factor_ = text;
  } else if (name == "txtIgnore") {
    ignore_chars_ = text;
  } else if (name == "txtSetToCopy") {
    set_to_copy_ = text;
    txtSetToCopy_Validate();
  } else {
    throw std::invalid_argument("frmDFoptions has no text box " + name);
  }
}

void frmDFoptions::txtSetToCopy_Validate() {
  if (const auto x = ParseNumber(set_to_copy_)) set_to_copy_ = FormatNumber(RoundEven(*x));
  Value v(set_to_copy_);
  double result = 0;
  if (!CheckRange(ctx_.ui, v, 1, kSets, result)) {
    ctx_.ui.MsgBox("Bad data set number: it must be in the range 1 to 6",
                   ui::kMbIconStop | ui::kMbOk, "BAD VALUE");
    set_to_copy_ = "1";
  }
}

void frmDFoptions::Press(const std::string& name) {
  if (name == "cmdOK") {
    cmdOK_Click();
  } else if (name == "cmdCancel") {
    if (busy_) return;
    closed_ = true;
    ui::TerminateProgram(ctx_.ui, "");
  } else if (name == "cmdHelp") {
    if (!busy_) ctx_.ui.ShowHelp(kDynamicHelpTopic);
  } else {
    throw std::invalid_argument("frmDFoptions has no button " + name);
  }
}

void frmDFoptions::cmdOK_Click() {
  if (busy_) return;
  busy_ = true;
  auto& st = ctx_.settings;
  st.FatigueMode = mode_faceplate_ ? FatigueMode::kFaceplateVelocity : FatigueMode::kStressRate;
  st.IgnoreWeakest = ignore_weakest_;
  st.LockWorksheet = lock_;
  st.IgnoreByComment = ignore_;
  st.IgnoreChars = TrimSet(ignore_chars_, " ");

  // Trigger characters must be printable ASCII and not digits, checked even
  // when the ignore rule is off.
  for (unsigned char c : st.IgnoreChars) {
    if (c < 33 || c > 126 || (c >= '0' && c <= '9')) {
      ctx_.msg.Go({.text = "Invalid character in ignore trigger characters.\r"
                           "Do not use numbers or other non-printable characters.",
                   .buttons = {"&OK"},
                   .icon = ui::kMbIconStop});
      busy_ = false;
      return;
    }
  }

  st.GroupRates = group_rates_;
  st.RateFactor = 1.0;
  const auto factor = ParseNumber(rate_factor_);
  if (!factor) {
    ctx_.ui.MsgBox("The factor for grouping similar rates must be a number",
                   ui::kMbIconExclamation | ui::kMbOk, AppTitle());
    busy_ = false;
    return;
  }
  st.RateFactor = *factor;
  if (st.RateFactor < 1 || st.RateFactor > 100) {
    ctx_.ui.MsgBox(
        "The factor for grouping similar rates must be between 1 and 100. "
        "It has been reset to 1",
        ui::kMbIconExclamation | ui::kMbOk, AppTitle());
    st.RateFactor = 1.0;
  }

  st.CopyData = copy_data_;
  // The box holds a validated whole number; anything else falls back to 1.
  const auto set = ParseNumber(set_to_copy_);
  st.SetToCopy = set && *set >= 1 && *set <= kSets ? static_cast<int16_t>(RoundEven(*set)) : 1;
  st.MakeReport = false;

  running_ = true;
  RunFatigueMacro(ctx_);
  closed_ = true;
}

}  // namespace korund::fatigue
