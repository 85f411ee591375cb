#include "util/units.h"

#include "util/text.h"

namespace korund {

std::string UnitWord(std::string_view text) { return UpperAscii(TrimSet(text, " ")); }

std::optional<double> UnitFactor(Quantity quantity, std::string_view word) {
  struct Unit {
    Quantity quantity;
    std::string_view word;
    double factor;
  };
  // ksi to GPa is the inverse of the program's own GPa to ksi conversion.
  static const Unit kUnits[] = {
      {Quantity::kStrength, "GPA", 1.0},
      {Quantity::kStrength, "MPA", 0.001},
      {Quantity::kStrength, "KSI", 1.0 / GpaToKsi(1.0)},
      {Quantity::kStrength, "KPSI", 1.0 / GpaToKsi(1.0)},
      {Quantity::kTime, "S", 1.0},
      {Quantity::kTime, "MIN", 60.0},
      {Quantity::kTime, "HOUR", 3600.0},
      {Quantity::kTime, "DAY", 86400.0},
  };
  for (const Unit& u : kUnits) {
    if (u.quantity == quantity && u.word == word) return u.factor;
  }
  return std::nullopt;
}

}  // namespace korund
