// CheckRange: the numeric range test of the options dialogs and guards.
#pragma once

#include "ui/ui.h"
#include "util/value.h"

namespace korund {

// True when value is numeric and low < high and low <= x <= high; then
// result and value both become the number x. A value that is not numeric
// returns false silently and changes nothing. A number out of range (or
// low >= high) shows "Value out of range <low> to <high>" (exclamation
// icon, OK, application title) and returns false, changing nothing.
bool CheckRange(ui::Ui& ui, Value& value, double low, double high, double& result);

}  // namespace korund
