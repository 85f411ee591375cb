// An options dialog for the back-end tests, shaped like the program's own:
// a two-line label, two option buttons (the first of two lines), a check box
// that enables a number box, a check box with a set-number box that resets
// itself to "1" when given anything but 1..6, a report box that is not
// implemented (it says so and clears itself), and Ok/Cancel/Help. Ok closes
// only when the number box, if there is one, reads as a number (else a "BAD
// VALUE" box); Cancel ends the run like TerminateProgram. A test may also
// give controls of its own.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ui/ui.h"
#include "util/terminate.h"
#include "util/value.h"

namespace korund::ui {

class FakeForm : public FormModel {
 public:
  explicit FakeForm(Ui& ui) : ui_(ui) {
    using K = FormControl::Kind;
    Add(K::kLabel, "lblCaption", "Worksheet \"Data 1\"\rSection  \"S\"");
    Add(K::kOption, "optMode(0)", "&Rate\r\nor strain rate").checked = true;
    Add(K::kOption, "optMode(1)", "&Velocity");
    Add(K::kCheck, "chkGroupRates", "Group similar rates");
    Add(K::kText, "txtRateFactor", "", "1.2").enabled = false;
    Add(K::kCheck, "chkCopyData", "Copy to clipboard - set:");
    Add(K::kText, "txtSetToCopy", "", "2");
    Add(K::kCheck, "chkLock", "Lock worksheet");
    Add(K::kCheck, "chkReport", "Create a report");
    Add(K::kButton, "cmdOK", "&Ok");
    Add(K::kButton, "cmdCancel", "&Cancel");
    Add(K::kButton, "cmdHelp", "&Help");
  }

  FakeForm(Ui& ui, std::vector<FormControl> controls) : ui_(ui), controls_(std::move(controls)) {}

  // A control of that kind; option buttons form the group "mode".
  static FormControl Control(FormControl::Kind kind, const std::string& name,
                             const std::string& caption, const std::string& text = "") {
    FormControl c;
    c.kind = kind;
    c.name = name;
    c.caption = caption;
    c.text = text;
    if (kind == FormControl::Kind::kOption) c.group = "mode";
    return c;
  }

  std::string Caption() const override { return "TEST OPTIONS  -  version 2.00"; }
  std::vector<FormControl> Controls() const override { return controls_; }
  int HelpTopic() const override { return 1018; }

  void SetChecked(const std::string& name, bool checked) override {
    if (name == "chkReport") {
      if (checked) ui_.MsgBox("This option is not yet implemented.", 48, "OPTION NOT IMPLEMENTED");
      return;
    }
    Get(name).checked = checked;
    if (name == "chkGroupRates") Get("txtRateFactor").enabled = checked;
  }
  void SelectOption(const std::string& name) override {
    for (FormControl& c : controls_) {
      if (c.kind == FormControl::Kind::kOption) c.checked = c.name == name;
    }
  }
  void SetText(const std::string& name, const std::string& text) override {
    Get(name).text = text;
    if (name == "txtSetToCopy") {
      auto n = ParseNumber(text);
      if (!n || *n < 1 || *n > 6) {
        ui_.MsgBox("Bad data set number: it must be in the range 1 to 6", 16, "BAD VALUE");
        Get(name).text = "1";
      }
    }
  }
  void Press(const std::string& name) override {
    presses.push_back(name);
    if (name == "cmdOK") {
      if (Has("txtRateFactor") && !ParseNumber(Get("txtRateFactor").text)) {
        ui_.MsgBox("The factor for grouping similar rates must be a number", 48, "");
        return;
      }
      ui_.Progress().set_value(50);
      ui_.Progress().set_value(100);
      closed_ = true;
    } else if (name == "cmdCancel") {
      closed_ = true;
      throw TerminateProgramError(ExitReason::kStopped, "");
    } else if (name == "cmdHelp") {
      ui_.ShowHelp(HelpTopic());
    }
  }
  bool Closed() const override { return closed_; }

  bool Has(const std::string& name) const {
    for (const FormControl& c : controls_) {
      if (c.name == name) return true;
    }
    return false;
  }
  FormControl& Get(const std::string& name) {
    for (FormControl& c : controls_) {
      if (c.name == name) return c;
    }
    throw std::logic_error("no control " + name);
  }

  std::vector<std::string> presses;

 private:
  FormControl& Add(FormControl::Kind kind, const std::string& name, const std::string& caption,
                   const std::string& text = "") {
    controls_.push_back(Control(kind, name, caption, text));
    return controls_.back();
  }

  Ui& ui_;
  std::vector<FormControl> controls_;
  bool closed_ = false;
};

}  // namespace korund::ui
