// What the options dialogs share.
#pragma once

#include "ui/ui.h"

namespace korund::dialogs {

// The "OPTION NOT IMPLEMENTED" notice of the report check boxes.
void ShowOptionNotImplemented(ui::Ui& ui);

}  // namespace korund::dialogs
