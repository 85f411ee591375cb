// Changes to an options dialog that the command line asks for. The shell
// builds the list; the back ends apply it through the dialog's own setters
// (so its event handlers run) before they show the dialog or press its
// default button.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ui/ui.h"

namespace korund::ui {

struct FormOverride {
  enum class Action { kCheck, kUncheck, kSelect, kSetText };
  std::string control;  // "chkLock", "optMode(1)", "txtRateFactor", ...
  Action action = Action::kCheck;
  std::string text;  // kSetText only

  static FormOverride Check(std::string name) { return {std::move(name), Action::kCheck, ""}; }
  static FormOverride Uncheck(std::string name) { return {std::move(name), Action::kUncheck, ""}; }
  static FormOverride Select(std::string name) { return {std::move(name), Action::kSelect, ""}; }
  static FormOverride SetText(std::string name, std::string text) {
    return {std::move(name), Action::kSetText, std::move(text)};
  }

  // For notes: "chkLock=checked", "txtIgnore=\"#!\"".
  std::string Describe() const;
};

using FormOverrides = std::vector<FormOverride>;

// Applies the overrides in order. One naming a control the dialog does not
// have is skipped. One the dialog does not take (the control is disabled, or
// afterwards does not show the requested state or text; a text counts as
// taken when it reads as the same number) is returned, described.
std::vector<std::string> ApplyFormOverrides(FormModel& form, const FormOverrides& overrides);

}  // namespace korund::ui
