// The unit words a user may type among the data of either analysis. A word
// sets the factor that turns the values below it into the analysis's own
// unit: GPa for strengths, seconds for times.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korund {

enum class Quantity {
  kStrength,  // GPA, MPA, KSI, KPSI
  kTime,      // S, MIN, HOUR, DAY
};

// The word whose factor is the number in the cell next to or below it.
inline constexpr std::string_view kFactorWord = "FACTOR";

// A cell's text as a unit word: blanks trimmed, ASCII letters upper case.
std::string UnitWord(std::string_view text);

// The factor the unit word (as UnitWord gives it) sets for quantity, or
// nothing when it names no unit of that quantity. FACTOR is not a unit.
std::optional<double> UnitFactor(Quantity quantity, std::string_view word);

}  // namespace korund
