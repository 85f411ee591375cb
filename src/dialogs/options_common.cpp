#include "dialogs/options_common.h"

namespace korund::dialogs {

ui::FormControl Control(ui::FormControl::Kind kind, const std::string& name,
                        const std::string& caption) {
  ui::FormControl c;
  c.kind = kind;
  c.name = name;
  c.caption = caption;
  return c;
}

std::string WorksheetCaption(const RunSettings& settings) {
  return "Worksheet \"" + settings.WorksheetName + "\"\rSection  \"" + settings.SectionName +
         "\"";
}

void AddDialogButtons(std::vector<ui::FormControl>& controls, bool enabled) {
  using Kind = ui::FormControl::Kind;
  for (ui::FormControl button : {Control(Kind::kButton, "cmdOK", "&Ok"),
                                 Control(Kind::kButton, "cmdCancel", "&Cancel"),
                                 Control(Kind::kButton, "cmdHelp", "&Help")}) {
    button.enabled = enabled;
    controls.push_back(button);
  }
}

void ShowOptionNotImplemented(ui::Ui& ui) {
  ui.MsgBox(
      "This option is not yet implemented.\r\r"
      "Please check the manufacturer's web site for the latest version of the software.",
      ui::kMbIconExclamation | ui::kMbOk, "OPTION NOT IMPLEMENTED");
}

}  // namespace korund::dialogs
