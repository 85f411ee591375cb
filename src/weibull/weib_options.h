// frmWeibOptions: the options dialog of the Weibull analysis as a
// back-end-independent form. The user chooses the rank function and the
// lock option; OK runs the analysis, Cancel ends the run.
#pragma once

#include <string>
#include <vector>

#include "ui/ui.h"
#include "worksheet/run_context.h"

namespace korund::weibull {

inline constexpr int kWeibullHelpTopic = 1047;

// Control names (the batch and terminal back ends address them by name):
// "optFopt(1)", "optFopt(0)" (group "optFopt"), "chkLock", "chkReport",
// "cmdOK", "cmdCancel", "cmdHelp"; labels "lblCaption", "lblWeib",
// "frmMode" and, while the analysis runs, "lblpBar".
class WeibOptionsForm : public ui::FormModel {
 public:
  // Opens with optFopt(ctx.settings.FOpt) selected and chkLock clear.
  explicit WeibOptionsForm(RunContext& ctx);

  std::string Caption() const override { return caption_; }
  std::vector<ui::FormControl> Controls() const override;
  int HelpTopic() const override { return kWeibullHelpTopic; }
  // chkLock, chkReport (shows the not-implemented notice and stays clear);
  // an option button set to true selects it. Unknown names throw
  // std::invalid_argument.
  void SetChecked(const std::string& name, bool checked) override;
  // "optFopt(1)" or "optFopt(0)": sets FOpt.
  void SelectOption(const std::string& name) override;
  // The form has no text boxes: throws std::invalid_argument.
  void SetText(const std::string& name, const std::string& text) override;
  // cmdOK runs the analysis once and closes the form; cmdCancel ends the run
  // (TerminateProgramError, kStopped); cmdHelp opens topic 1047. All three do
  // nothing while the analysis runs or after it ran.
  void Press(const std::string& name) override;
  bool Closed() const override { return closed_; }

 private:
  RunContext& ctx_;
  std::string caption_;
  bool lock_ = false;
  bool busy_ = false;
  bool closed_ = false;
};

}  // namespace korund::weibull
