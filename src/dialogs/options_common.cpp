#include "dialogs/options_common.h"

namespace korund::dialogs {

void ShowOptionNotImplemented(ui::Ui& ui) {
  ui.MsgBox(
      "This option is not yet implemented.\r\r"
      "Please check the manufacturer's web site for the latest version of the software.",
      ui::kMbIconExclamation | ui::kMbOk, "OPTION NOT IMPLEMENTED");
}

}  // namespace korund::dialogs
