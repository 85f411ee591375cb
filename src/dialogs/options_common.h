// What the options dialogs share: the control description, the worksheet
// caption, the button row and the not-implemented notice.
#pragma once

#include <string>
#include <vector>

#include "ui/ui.h"
#include "util/run_settings.h"

namespace korund::dialogs {

// A control as the back ends present it.
ui::FormControl Control(ui::FormControl::Kind kind, const std::string& name,
                        const std::string& caption);

// The lblCaption text: worksheet and section names.
std::string WorksheetCaption(const RunSettings& settings);

// Appends the "&Ok", "&Cancel", "&Help" buttons (cmdOK, cmdCancel, cmdHelp).
void AddDialogButtons(std::vector<ui::FormControl>& controls, bool enabled);

// The "OPTION NOT IMPLEMENTED" notice of the report check boxes.
void ShowOptionNotImplemented(ui::Ui& ui);

}  // namespace korund::dialogs
