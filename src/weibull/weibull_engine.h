// The analysis of one Weibull data set: strengths with their unit words are
// read from column n, ranked, fitted by least squares and by maximum
// likelihood, and the 38-row result column, the sorted strengths and the
// Weibull ordinates are written to columns n + 20, n + 30 and n + 40.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "worksheet/run_context.h"

namespace korund::weibull {

// Analyses set n (1..10) on the loaded worksheet and sets summary to
// "Set n:<tab>N measurements", or "Set n:<tab>empty" for a column with no
// usable strengths (no numbers, or a value <= 0 after conversion). Advances
// ctx.ui.Progress() from 10*n by at most 9. A result that cannot be computed
// (too few points, a fit that fails, a division by zero) stays "--"; no cell
// receives NaN or an infinity. Throws TerminateProgramError (kStopped) when
// the user stops at the row-1 warning.
void AnalyseWeibullSet(RunContext& ctx, int16_t n, std::string& summary);

// A text cell the analysis left out: its row and text.
struct IgnoredCell {
  int32_t row;
  std::string text;
};

// The unit conversion of the engine, exposed for tests: walks s[1..count],
// scales numeric cells by the unit factor in force ("GPA" 1, "MPA" 0.001,
// "KSI"/"KPSI" 1/145, "FACTOR" followed by a number or an empty cell, which
// it consumes), and turns every other cell into text so that it sorts behind
// the numbers. Texts that are no unit word (and numbers that overflow) are
// added to *ignored when it is given.
void ApplyUnitWords(ValueArray& s, int32_t count, std::vector<IgnoredCell>* ignored = nullptr);

}  // namespace korund::weibull
