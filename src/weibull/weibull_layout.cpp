#include "weibull/weibull_layout.h"

#include "util/text.h"

namespace korund::weibull {

ValueArray ResultLabels() {
  return ValueArray{"",          "N",          "m",          "Dm",         "So",
                    "DSo",       "c",          "Dc",         "R",          "",
                    "mle",       "Iter",       "m",          "m-",         "m+",
                    "So",        "So-",        "So+",        "conf%",      "",
                    "15% distn", "50% distn",  "15% interp", "50% interp", "",
                    "A: md",     "A: So",      "B: md",      "B: So",      "",
                    "md",        "So",         "",           "m",          "m.upper",
                    "m.lower",   "So",         "So.upper",   "So.lower"};
}

ValueArray ResultTemplate(const ValueArray& labels) {
  ValueArray result = labels;
  for (int32_t row = 1; row <= kResultRows; ++row) {
    if (!result[row].IsBlank()) result[row] = Value(kNoResult);
  }
  result[0] = Value(kResultRows);
  return result;
}

int32_t ResultRow(const ValueArray& labels, const char* label) {
  return IndexInList(labels, static_cast<int32_t>(labels.size()) - 1, Value(label));
}

}  // namespace korund::weibull
