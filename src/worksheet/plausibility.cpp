#include "worksheet/plausibility.h"

#include <algorithm>

#include "util/text.h"

namespace korund::worksheet {
namespace {

// Four significant digits, trailing zeros dropped: "3797", "58.85".
std::string Shown(double x) { return FormatSig(x, -4); }

}  // namespace

// A fit needs more than a handful of points before its modulus says much.
constexpr size_t kFewestForAFit = 5;

std::string FewValuesNote(int set, size_t count, const ValueWords& words) {
  if (count == 0 || count >= kFewestForAFit) return "";
  return "set " + std::to_string(set) + ": only " + std::to_string(count) + " " +
         (count == 1 ? words.one : words.many) + " — too few for a reliable fit";
}

std::string AllEqualNote(int set, std::span<const double> values, const ValueWords& words) {
  if (values.size() < 2 ||
      !std::all_of(values.begin(), values.end(), [&](double v) { return v == values[0]; })) {
    return "";
  }
  return "set " + std::to_string(set) + ": all " + std::to_string(values.size()) + " " +
         words.many + " are equal (" + Shown(values[0]) + words.unit + ")";
}

std::string HighStrengthNote(int set, std::span<const double> values, const ValueWords& words,
                             const std::string& advice) {
  if (values.empty()) return "";
  const double highest = *std::max_element(values.begin(), values.end());
  if (!(highest > kHighestPlausibleGpa)) return "";
  return "set " + std::to_string(set) + ": " + words.many + " up to " + Shown(highest) +
         words.unit + " — " + advice;
}

}  // namespace korund::worksheet
