// Notes on a data set that analyses without complaint but is probably not
// what the user meant: strengths in MPa taken as GPa, too few values for a
// fit to mean much, values that are all the same. They come in addition to
// the analysis' boxes and never change its results or status.
#pragma once

#include <span>
#include <string>

namespace korund::worksheet {

// Glass fibres do not exceed about 15 GPa; above this a set is far more
// likely in MPa than real.
inline constexpr double kHighestPlausibleGpa = 30;

// How a set's values are named in its notes.
struct ValueWords {
  const char* one;    // "strength"
  const char* many;   // "strengths"
  const char* unit;   // " GPa", or "" for values without a unit shown
};

// "set N: only K strengths — too few for a reliable fit" for 1 to 4
// values; "" otherwise (an empty set says nothing).
std::string FewValuesNote(int set, size_t count, const ValueWords& words);

// "set N: all K strengths are equal (X GPa)" for two or more equal values;
// "" otherwise.
std::string AllEqualNote(int set, std::span<const double> values, const ValueWords& words);

// "set N: strengths up to X GPa — ADVICE" when the largest value exceeds
// kHighestPlausibleGpa; "" otherwise. values are in GPa.
std::string HighStrengthNote(int set, std::span<const double> values, const ValueWords& words,
                             const std::string& advice);

}  // namespace korund::worksheet
