// Pointwise confidence bounds on the strength quantiles of a maximum-
// likelihood Weibull fit, from the observed information (Fisher matrix).
#pragma once

#include <span>

#include "stats/result.h"

namespace korund::stats {

// The fit on the log scale, mu = ln so and sigma = 1/m, with the covariance
// of (mu, sigma): the inverse of the observed information.
struct WeibullCovariance {
  double mu = 0;
  double sigma = 0;
  double v_mu_mu = 0;
  double v_mu_sigma = 0;
  double v_sigma_sigma = 0;
};

// The covariance of the fit (m, so) to the strengths x (positive, any
// order, in the unit of so). Meant for the maximum-likelihood m and so;
// elsewhere the observed information is still what it is, but the bounds
// lose their meaning. Fails (kNoFit) for fewer than three strengths, m or so
// not positive and finite, or an information matrix that is singular (or
// not positive definite, which no maximum of the likelihood has).
Result<WeibullCovariance> WeibullFisherCovariance(std::span<const double> x, double m, double so);

struct QuantileBounds {
  double strength = 0;  // the fitted strength at the failure probability
  double lower = 0;
  double upper = 0;
};

// The strength at failure probability f (0 < f < 1) and its two-sided
// bounds exp(q -/+ z sqrt(Var q)), q = mu + sigma ln(-ln(1 - f)), for the
// normal factor z (TwoSidedNormalFactor). Fails (kNoFit) when f is outside
// (0, 1) or Var q is not a positive finite number.
Result<QuantileBounds> WeibullQuantileBounds(const WeibullCovariance& fit, double f, double z);

// The same at the Weibull ordinate w = ln(-ln(1 - f)) itself, for plotting
// on the Weibull scale without going through f.
Result<QuantileBounds> WeibullQuantileBoundsAtOrdinate(const WeibullCovariance& fit, double w,
                                                       double z);

}  // namespace korund::stats
