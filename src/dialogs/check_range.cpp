#include "dialogs/check_range.h"

#include <optional>
#include <string>

#include "util/run_settings.h"
#include "util/text.h"

namespace korund {

bool CheckRange(ui::Ui& ui, Value& value, double low, double high, double& result) {
  if (!IsNumeric(value)) return false;
  const double x = *ToNumber(value);
  if (low < high && low <= x && x <= high) {
    result = x;
    value = Value(x);
    return true;
  }
  ui.MsgBox("Value out of range " + FormatNumber(low) + " to " + FormatNumber(high),
            ui::kMbIconExclamation | ui::kMbOk, AppTitle());
  return false;
}

}  // namespace korund
