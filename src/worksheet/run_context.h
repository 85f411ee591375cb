// What an analysis gets from the shell: the run's settings and the services
// it may use. The shell owns every object; this only refers to them.
#pragma once

#include "dialogs/message_dialog.h"
#include "ui/ui.h"
#include "util/run_settings.h"
#include "worksheet/sheet.h"

namespace korund {

struct RunContext {
  RunSettings& settings;
  ui::Ui& ui;
  dialogs::MessageDialog& msg;
  worksheet::Sheet& sheet;
};

}  // namespace korund
