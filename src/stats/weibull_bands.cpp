// Fisher-matrix bounds on Weibull quantiles. On the log scale a Weibull
// strength is a smallest-extreme-value variable with location mu = ln So
// and scale sigma = 1/m; with z_i = (ln x_i - mu)/sigma the observed
// information of (mu, sigma) is
//   I_mm = sum e^z / s²,  I_ms = sum (z e^z + e^z - 1) / s²,
//   I_ss = sum (z² e^z + 2 z e^z - 2 z - 1) / s²,
// and its inverse V estimates the covariance of the estimates. The log
// quantile q = mu + sigma w, w = ln(-ln(1 - F)), has the delta-method
// variance V_mm + 2 w V_ms + w² V_ss; q -/+ z sqrt(Var q) taken back by exp
// are the pointwise large-sample bounds. W. Q. Meeker and L. A. Escobar,
// "Statistical Methods for Reliability Data", 1998, sections 8.4 and 8.5.
#include "stats/weibull_bands.h"

#include <cmath>

namespace korund::stats {

Result<WeibullCovariance> WeibullFisherCovariance(std::span<const double> x, double m, double so) {
  using R = Result<WeibullCovariance>;
  if (x.size() < 3) return R::Fail(Failure::kNoFit, "fewer than three strengths");
  if (!(m > 0 && so > 0 && std::isfinite(m) && std::isfinite(so))) {
    return R::Fail(Failure::kNoFit, "no Weibull fit");
  }
  WeibullCovariance fit;
  fit.mu = std::log(so);
  fit.sigma = 1 / m;
  double i_mm = 0, i_ms = 0, i_ss = 0;
  for (double xi : x) {
    const double z = (std::log(xi) - fit.mu) / fit.sigma, e = std::exp(z);
    i_mm += e;
    i_ms += z * e + e - 1;
    i_ss += z * z * e + 2 * z * e - 2 * z - 1;
  }
  const double s2 = fit.sigma * fit.sigma;
  i_mm /= s2;
  i_ms /= s2;
  i_ss /= s2;
  const double det = i_mm * i_ss - i_ms * i_ms;
  if (!(det > 0 && i_mm > 0 && std::isfinite(det))) {
    return R::Fail(Failure::kNoFit, "the information matrix is singular");
  }
  fit.v_mu_mu = i_ss / det;
  fit.v_mu_sigma = -i_ms / det;
  fit.v_sigma_sigma = i_mm / det;
  return fit;
}

Result<QuantileBounds> WeibullQuantileBoundsAtOrdinate(const WeibullCovariance& fit, double w,
                                                       double z) {
  using R = Result<QuantileBounds>;
  const double q = fit.mu + fit.sigma * w;
  const double var = fit.v_mu_mu + 2 * w * fit.v_mu_sigma + w * w * fit.v_sigma_sigma;
  if (!(var > 0 && std::isfinite(var) && std::isfinite(q) && std::isfinite(z))) {
    return R::Fail(Failure::kNoFit, "no variance of the quantile");
  }
  const double half = z * std::sqrt(var);
  return QuantileBounds{std::exp(q), std::exp(q - half), std::exp(q + half)};
}

Result<QuantileBounds> WeibullQuantileBounds(const WeibullCovariance& fit, double f, double z) {
  if (!(f > 0 && f < 1)) {
    return Result<QuantileBounds>::Fail(Failure::kNoFit, "no failure probability");
  }
  return WeibullQuantileBoundsAtOrdinate(fit, std::log(-std::log1p(-f)), z);
}

}  // namespace korund::stats
