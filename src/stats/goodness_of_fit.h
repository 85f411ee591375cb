// Whether one Weibull distribution describes a set of strengths: the
// Anderson-Darling statistic against a fitted Weibull distribution.
#pragma once

#include <span>

#include "stats/result.h"

namespace korund::stats {

// Where the modified statistic falls among the critical values for the
// Weibull case with both parameters estimated.
enum class FitBand {
  kAbove10,  // "p > 0.10"
  k5To10,    // "0.05 < p ≤ 0.10"
  k2_5To5,   // "0.025 < p ≤ 0.05"
  k1To2_5,   // "0.01 < p ≤ 0.025"
  kAtMost1,  // "p ≤ 0.01"
};

struct AndersonDarling {
  double a2 = 0;       // A²
  double a2_star = 0;  // A² (1 + 0.2/sqrt(N)), the statistic the table is for
  FitBand band = FitBand::kAbove10;
};

// A² of the strengths x (ascending, positive, in any unit) against the
// Weibull distribution of modulus m and scale so (in the unit of x). Fails
// (kNoFit) for fewer than three strengths, m or so not positive and finite,
// or a fitted probability of exactly 0 or 1. x not ascending breaks the
// contract (std::invalid_argument).
Result<AndersonDarling> WeibullAndersonDarling(std::span<const double> x, double m, double so);

// The band's text as the results show it ("p > 0.10", "p ≤ 0.01", ...).
const char* FitBandText(FitBand band);

// Whether the band says the fit is rejected at the 5 % level (p ≤ 0.05).
bool RejectedAt5Percent(FitBand band);

}  // namespace korund::stats
