#include "ui/form_overrides.h"

#include <optional>

#include "util/value.h"

namespace korund::ui {

std::string FormOverride::Describe() const {
  switch (action) {
    case Action::kCheck:
      return control + "=checked";
    case Action::kUncheck:
      return control + "=unchecked";
    case Action::kSelect:
      return control + "=selected";
    case Action::kSetText:
      return control + "=\"" + text + "\"";
  }
  return control;
}

static std::optional<FormControl> Find(const FormModel& form, const std::string& name) {
  for (const FormControl& c : form.Controls()) {
    if (c.name == name) return c;
  }
  return std::nullopt;
}

static bool SameText(const std::string& shown, const std::string& wanted) {
  if (shown == wanted) return true;
  // A dialog may rewrite a number in its own form ("1.50" -> "1.5").
  std::optional<double> a = ParseNumber(shown);
  std::optional<double> b = ParseNumber(wanted);
  return a && b && *a == *b;
}

static bool Taken(const FormControl& c, const FormOverride& o) {
  switch (o.action) {
    case FormOverride::Action::kCheck:
    case FormOverride::Action::kSelect:
      return c.checked;
    case FormOverride::Action::kUncheck:
      return !c.checked;
    case FormOverride::Action::kSetText:
      return SameText(c.text, o.text);
  }
  return false;
}

std::vector<std::string> ApplyFormOverrides(FormModel& form, const FormOverrides& overrides) {
  std::vector<std::string> rejected;
  for (const FormOverride& o : overrides) {
    std::optional<FormControl> before = Find(form, o.control);
    if (!before) continue;
    if (!before->enabled) {
      rejected.push_back(o.Describe() + " (the control is disabled)");
      continue;
    }
    switch (o.action) {
      case FormOverride::Action::kCheck:
        form.SetChecked(o.control, true);
        break;
      case FormOverride::Action::kUncheck:
        form.SetChecked(o.control, false);
        break;
      case FormOverride::Action::kSelect:
        form.SelectOption(o.control);
        break;
      case FormOverride::Action::kSetText:
        form.SetText(o.control, o.text);
        break;
    }
    std::optional<FormControl> after = Find(form, o.control);
    if (after && !Taken(*after, o)) rejected.push_back(o.Describe() + " (the dialog refused it)");
  }
  return rejected;
}

}  // namespace korund::ui
