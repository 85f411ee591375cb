// frmSFoptions: the options dialog of the static fatigue analysis as a
// back-end-independent form. Its one option is the lock; OK runs the
// fatigue driver with the other options the guard restored.
#pragma once

#include <string>
#include <vector>

#include "ui/ui.h"
#include "worksheet/run_context.h"

namespace korund::fatigue {

// Help topic of the static fatigue analysis.
inline constexpr int kStaticHelpTopic = 1032;

class frmSFoptions : public ui::FormModel {
 public:
  explicit frmSFoptions(RunContext& ctx) : ctx_(ctx) {}

  std::string Caption() const override;
  std::vector<ui::FormControl> Controls() const override;
  int HelpTopic() const override { return kStaticHelpTopic; }
  // "chkLock"; "chkReport" only says that the option is not implemented and
  // stays unchecked. Unknown names throw std::invalid_argument.
  void SetChecked(const std::string& name, bool checked) override;
  // The dialog has no option buttons or text boxes: std::invalid_argument.
  void SelectOption(const std::string& name) override;
  void SetText(const std::string& name, const std::string& text) override;
  // "cmdOK" runs the analysis and closes the dialog; "cmdCancel" ends the
  // run (throws TerminateProgramError); "cmdHelp" opens topic 1032. All
  // three do nothing while busy.
  void Press(const std::string& name) override;
  bool Closed() const override { return closed_; }

  bool busy() const { return busy_; }

 private:
  RunContext& ctx_;
  bool lock_ = false;
  bool busy_ = false;
  bool closed_ = false;
  bool running_ = false;
};

}  // namespace korund::fatigue
