// frmDFoptions: the options dialog of the dynamic fatigue analysis as a
// back-end-independent form. It shows the fatigue options of the run
// settings, validates the user's changes and, on OK, stores them and runs
// the fatigue driver. A validation failure keeps the dialog open.
#pragma once

#include <string>
#include <vector>

#include "ui/ui.h"
#include "worksheet/run_context.h"

namespace korund::fatigue {

// Help topic of the dynamic fatigue analysis.
inline constexpr int kDynamicHelpTopic = 1018;

class frmDFoptions : public ui::FormModel {
 public:
  // Loads the controls from ctx.settings (Form_Load).
  explicit frmDFoptions(RunContext& ctx);

  std::string Caption() const override;
  std::vector<ui::FormControl> Controls() const override;
  int HelpTopic() const override { return kDynamicHelpTopic; }
  // Check boxes; the grouping, ignore and copy boxes enable their text box.
  // Unknown names throw std::invalid_argument.
  void SetChecked(const std::string& name, bool checked) override;
  // "optMode(0)" or "optMode(1)".
  void SelectOption(const std::string& name) override;
  // Text boxes; "txtSetToCopy" is validated at once (it may show boxes).
  void SetText(const std::string& name, const std::string& text) override;
  // "cmdOK" runs the analysis and closes the dialog, unless a value is
  // refused; "cmdCancel" ends the run (throws TerminateProgramError);
  // "cmdHelp" opens topic 1018. All three do nothing while busy.
  void Press(const std::string& name) override;
  bool Closed() const override { return closed_; }

  bool busy() const { return busy_; }

 private:
  void txtSetToCopy_Validate();
  void cmdOK_Click();

  RunContext& ctx_;
  bool mode_faceplate_ = false;  // optMode(1) selected
  bool ignore_weakest_ = false;
  bool group_rates_ = false;
  std::string rate_factor_;
  bool ignore_ = false;
  std::string ignore_chars_;
  bool copy_data_ = false;
  std::string set_to_copy_;
  bool report_ = false;
  bool lock_ = false;
  bool busy_ = false;
  bool closed_ = false;
  bool running_ = false;  // the progress area has replaced the mode frame
};

}  // namespace korund::fatigue
