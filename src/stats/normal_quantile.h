// The inverse of the standard normal distribution function, for the
// two-sided confidence factors of the bounds.
#pragma once

namespace korund::stats {

// x with Phi(x) = p, for 0 < p < 1, to about full double precision; NaN for
// any other p.
double NormalQuantile(double p);

// The two-sided factor z of a confidence level (a fraction, 0.95): the
// normal quantile of 1 - (1 - level)/2, 1.959963984540054 at 0.95. NaN for a
// level outside (0, 1).
double TwoSidedNormalFactor(double level);

}  // namespace korund::stats
