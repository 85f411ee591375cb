// The gamma function (Abramowitz and Stegun 6.1.36, about 3e-7 relative) and
// the coefficient of variation of a Weibull distribution.
#pragma once

namespace korund::stats {

// Gamma(x) for x > 0, reduced by loops into [1, 2]. Gamma(1) == Gamma(2) == 1
// exactly.
double GammaFunction(double x);

// Coefficient of variation of a Weibull distribution of modulus m > 0:
// sqrt(Gamma(1 + 2/m) / Gamma(1 + 1/m)^2 - 1).
double WeibullDispersion(double m);

}  // namespace korund::stats
