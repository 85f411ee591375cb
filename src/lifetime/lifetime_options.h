// frmLifetimeOptions: the options dialog of the lifetime analysis as a
// back-end-independent form. Every input of the model is a text box; OK
// checks them (a "BAD VALUE" box names the first bad one, and the dialog
// stays open), then runs the driver.
#pragma once

#include <string>
#include <vector>

#include "lifetime/lifetime_driver.h"
#include "ui/ui.h"
#include "worksheet/run_context.h"

namespace korund::lifetime {

// Help topic of the lifetime analysis.
inline constexpr int kLifetimeHelpTopic = 1060;

class frmLifetimeOptions : public ui::FormModel {
 public:
  // rewrite: the current worksheet is a lifetime worksheet that the run
  // rewrites (else the results go to a new worksheet).
  frmLifetimeOptions(RunContext& ctx, LifetimeEntries entries, bool rewrite)
      : ctx_(ctx), e_(std::move(entries)), rewrite_(rewrite) {}

  std::string Caption() const override;
  std::vector<ui::FormControl> Controls() const override;
  int HelpTopic() const override { return kLifetimeHelpTopic; }
  // "chkServiceStress". Unknown names throw std::invalid_argument.
  void SetChecked(const std::string& name, bool checked) override;
  // "optN(0)" typed n, "optN(1)" n from a fatigue worksheet; "optProof(0)"
  // proof stress, "optProof(1)" proof strain.
  void SelectOption(const std::string& name) override;
  void SetText(const std::string& name, const std::string& text) override;
  // "cmdOK" checks the entries and runs the analysis; "cmdCancel" ends the
  // run; "cmdHelp" opens the help page. All three do nothing while busy.
  void Press(const std::string& name) override;
  bool Closed() const override { return closed_; }

  const LifetimeEntries& entries() const { return e_; }

 private:
  std::string* TextBox(const std::string& name);

  RunContext& ctx_;
  LifetimeEntries e_;
  bool rewrite_ = false;
  bool busy_ = false;
  bool closed_ = false;
  bool running_ = false;
};

}  // namespace korund::lifetime
