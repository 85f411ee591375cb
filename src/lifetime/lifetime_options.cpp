#include "lifetime/lifetime_options.h"

#include <stdexcept>

#include "dialogs/options_common.h"
#include "ui/terminate.h"
#include "util/run_settings.h"

namespace korund::lifetime {

namespace {

using Kind = ui::FormControl::Kind;
using dialogs::Control;

}  // namespace

std::string frmLifetimeOptions::Caption() const {
  return std::string("LIFETIME ANALYSIS  -  version ") + kVersion;
}

std::vector<ui::FormControl> frmLifetimeOptions::Controls() const {
  std::vector<ui::FormControl> out;
  out.push_back(Control(Kind::kLabel, "lblCaption", dialogs::WorksheetCaption(ctx_.settings)));
  out.push_back(Control(
      Kind::kLabel, "lblLifetime",
      "- Allowed service stress of proof-tested fibre by the power-law theory.\r" +
          std::string(rewrite_ ? "- The results replace those of this worksheet"
                               : "- The results go to a new worksheet \"Lifetime K\"") +
          " and a report."));
  auto option = [&out](const std::string& name, const std::string& caption, bool checked) {
    auto c = Control(Kind::kOption, name, caption);
    c.group = name.substr(0, name.find('('));
    c.checked = checked;
    out.push_back(c);
  };
  auto text = [&out](const std::string& name, const std::string& caption,
                     const std::string& value, bool enabled = true) {
    auto c = Control(Kind::kText, name, caption);
    c.text = value;
    c.enabled = enabled;
    out.push_back(c);
  };
  if (running_) out.push_back(Control(Kind::kLabel, "lblpBar", "Please wait.."));
  out.push_back(Control(Kind::kLabel, "frmN", "Fatigue parameter n:"));
  option("optN(0)", "as typed below", !e_.n_from_worksheet);
  option("optN(1)", "with its IEC bounds from a fatigue worksheet", e_.n_from_worksheet);
  text("txtN", "n (above 2)", e_.n);
  text("txtWorksheet", "fatigue worksheet", e_.fatigue_worksheet);
  text("txtSet", "data set (1 to 6)", e_.set);
  out.back().spin_min = 1;
  out.back().spin_max = 6;
  text("txtM", "Weibull modulus m of the proof-test breaks (above 0)", e_.m);
  text("txtBreaks", "Proof-test breaks per km, Np (above 0)", e_.breaks_per_km);
  text("txtLength", "Service length in km, L (above 0)", e_.length_km);
  out.push_back(Control(Kind::kLabel, "frmProof", "Proof test given by:"));
  option("optProof(0)", "stress in GPa", !e_.proof_by_strain);
  option("optProof(1)", "strain in % (stress = modulus x strain)", e_.proof_by_strain);
  text("txtProof", "proof stress (GPa) or strain (%) (above 0)", e_.proof);
  text("txtModulus", "Young's modulus in GPa (above 0)", e_.modulus);
  text("txtProofTime", "Proof-test time in s (above 0)", e_.proof_time);
  text("txtB", "Crack-growth constant B in GPa2 s (0 or above)", e_.b);
  text("txtF", "Target failure probability F (above 0, below 1)", e_.f);
  auto check = Control(Kind::kCheck, "chkServiceStress", "F at a service stress in GPa of:");
  check.checked = e_.service_stress_given;
  out.push_back(check);
  text("txtServiceStress", "", e_.service_stress, e_.service_stress_given);
  text("txtYears", "Service times in years (above 0, comma-separated)", e_.years);
  dialogs::AddDialogButtons(out, !busy_);
  return out;
}

void frmLifetimeOptions::SetChecked(const std::string& name, bool checked) {
  if (name != "chkServiceStress") {
    throw std::invalid_argument("frmLifetimeOptions has no check box " + name);
  }
  e_.service_stress_given = checked;
}

void frmLifetimeOptions::SelectOption(const std::string& name) {
  if (name == "optN(0)" || name == "optN(1)") {
    e_.n_from_worksheet = name == "optN(1)";
  } else if (name == "optProof(0)" || name == "optProof(1)") {
    e_.proof_by_strain = name == "optProof(1)";
  } else {
    throw std::invalid_argument("frmLifetimeOptions has no option " + name);
  }
}

std::string* frmLifetimeOptions::TextBox(const std::string& name) {
  const std::pair<const char*, std::string*> boxes[] = {
      {"txtN", &e_.n},
      {"txtWorksheet", &e_.fatigue_worksheet},
      {"txtSet", &e_.set},
      {"txtM", &e_.m},
      {"txtBreaks", &e_.breaks_per_km},
      {"txtLength", &e_.length_km},
      {"txtProof", &e_.proof},
      {"txtModulus", &e_.modulus},
      {"txtProofTime", &e_.proof_time},
      {"txtB", &e_.b},
      {"txtF", &e_.f},
      {"txtServiceStress", &e_.service_stress},
      {"txtYears", &e_.years},
  };
  for (const auto& [box, entry] : boxes) {
    if (name == box) return entry;
  }
  return nullptr;
}

void frmLifetimeOptions::SetText(const std::string& name, const std::string& text) {
  std::string* entry = TextBox(name);
  if (entry == nullptr) throw std::invalid_argument("frmLifetimeOptions has no text box " + name);
  *entry = text;
}

void frmLifetimeOptions::Press(const std::string& name) {
  if (name == "cmdOK") {
    if (busy_) return;
    busy_ = true;
    const std::optional<LifetimeInputs> inputs = ReadEntries(ctx_, e_);
    if (!inputs) {
      busy_ = false;  // the box named the entry; the dialog stays open
      return;
    }
    running_ = true;
    RunLifetimeMacro(ctx_, *inputs, rewrite_);
    closed_ = true;
  } else if (name == "cmdCancel") {
    if (busy_) return;
    closed_ = true;
    ui::TerminateProgram(ctx_.ui, "");
  } else if (name == "cmdHelp") {
    if (!busy_) ctx_.ui.ShowHelp(kLifetimeHelpTopic);
  } else {
    throw std::invalid_argument("frmLifetimeOptions has no button " + name);
  }
}

}  // namespace korund::lifetime
