// Weibull maximum likelihood. The strengths are normalised by their mean,
// a least-squares fit of the Weibull plot gives the starting modulus, and
// Newton's method solves the likelihood equation
//   g(m) = sum(ln x)/N + 1/m - S1/S0 = 0,  Sk = sum((ln x)^k * x^m),
// with a relative tolerance of 1e-6 of the starting value. The unbiasing
// factor and the confidence bounds are closed-form fits in N and the tail
// probability; their coefficients are used as published.
#include "stats/weibull_mle.h"

#include "stats/weibull_mle_internal.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "stats/checked_math.h"
#include "stats/gamma.h"
#include "stats/linreg.h"
#include "stats/sort.h"

namespace korund::stats {

namespace {

constexpr int kLabelCount = 12;
constexpr const char* kLabels[kLabelCount + 1] = {"",   "mle", "iter", "m",       "m-",      "m+",
                                                   "So", "So-", "So+",  "disp",    "disp lo",
                                                   "disp hi", "conf"};

void WriteLabels(Labels& labels) {
  for (int row = 1; row <= kLabelCount; ++row) labels[row] = kLabels[row];
}

void WriteAll(ValueArray& values, int16_t count, const Value& v) {
  for (int row = 1; row <= count; ++row) values[row] = v;
}

}  // namespace

namespace internal {

void WeibMLEWithStepLimit(ValueArray& data, int32_t n, bool report, ValueArray& values,
                          Labels& labels, int16_t& count, float confidence, ui::Ui& ui,
                          int16_t max_steps) {
  if (values.size() < kLabelCount + 1) values.resize(kLabelCount + 1);
  if (labels.size() < kLabelCount + 1) labels.resize(kLabelCount + 1);
  WriteLabels(labels);
  count = kLabelCount;
  if (n > 0 && data.size() <= static_cast<size_t>(n)) {
    throw std::out_of_range("statWeibMLE: count beyond the end of the data");
  }

  for (int32_t i = 1; i <= n; ++i) {
    const Value& d = data[i];
    if (!d.IsNumber() || d.Number() <= 0) {
      for (int row = 1; row <= count; ++row) labels[row] = "<=0";
      return;
    }
  }
  // Fewer than two strengths give no starting line (and no sqrt(N - 2)).
  if (n < 2) return WriteAll(values, count, Value("covergence"));
  SortValues(data, n);

  // A numeric breakdown outside the Newton iteration (constant data, so no
  // starting slope; a bound whose denominator is zero; a result out of
  // range) gives "covergence" like a failed iteration, without the box,
  // which would name the wrong cause.
  const Value kFailed("covergence");
  CheckedMath k;
  const size_t un = static_cast<size_t>(n);
  const double dn = n;

  double sum = 0;
  for (size_t i = 1; i <= un; ++i) sum = k.Add(sum, data[i].Number());
  const double mu = k.Div(sum, dn);
  ValueArray xv(un + 1), lx(un + 1), yv(un + 1);
  for (size_t i = 1; i <= un; ++i) {
    const double xi = k.Div(data[i].Number(), mu);
    xv[i] = Value(xi);
    lx[i] = Value(k.Log(xi));
    const double f = k.Div(static_cast<double>(i), dn + 1);
    yv[i] = Value(k.Log(k.Log(k.Div(1, 1 - f))));
  }
  if (k.fault()) return WriteAll(values, count, kFailed);

  ValueArray start;
  Labels start_names;
  int16_t start_count = 0;
  statLinReg(lx, yv, xv, false, n, report, start, start_names, start_count, &ui);
  if (!start[1].IsNumber()) return WriteAll(values, count, kFailed);
  const double m0 = start[1].Number();
  const double t = m0 * 1e-6;
  double sum_l = 0;
  for (size_t i = 1; i <= un; ++i) sum_l = k.Add(sum_l, lx[i].Number());

  // Newton steps. The estimate is p, the point at which the last step was
  // taken, not the step's result m. A step that breaks down numerically
  // ends the iteration as a failure to converge.
  double m = m0, p = 0;
  int16_t steps = 0;
  bool failed = false;
  for (;;) {
    if (std::abs(m - p) <= t) break;
    if (steps >= max_steps) {
      failed = true;
      break;
    }
    p = m;
    double s0 = 0, s1 = 0, s2 = 0;
    for (size_t i = 1; i <= un; ++i) {
      const double l = lx[i].Number();
      const double ei = k.Exp(k.Mul(p, l));
      s0 = k.Add(s0, ei);
      s1 = k.Add(s1, k.Mul(l, ei));
      s2 = k.Add(s2, k.Mul(k.Mul(l, l), ei));
    }
    const double g = k.Sub(k.Add(k.Div(sum_l, dn), k.Div(1, p)), k.Div(s1, s0));
    const double dg = k.Add(k.Div(k.Sub(k.Mul(s2, s0), k.Mul(s1, s1)), k.Mul(s0, s0)),
                            k.Div(1, k.Mul(p, p)));
    m = k.Add(p, k.Div(g, dg));
    ++steps;
    if (k.fault()) {
      failed = true;
      break;
    }
  }
  // Convergence seen only after the last allowed step still counts as failure.
  if (failed || steps >= max_steps) {
    ui.MsgBox("Failed to converge in " + std::to_string(max_steps) +
                  " iterations in statWeibMLE",
              ui::kMbIconExclamation + ui::kMbOk, "WEIBULL MLE FAILURE");
    return WriteAll(values, count, kFailed);
  }
  const double mle = p;

  double tsum = 0;
  for (size_t i = 1; i <= un; ++i) tsum = k.Add(tsum, k.Exp(k.Mul(mle, lx[i].Number())));
  const double so = k.Mul(mu, k.Pow(k.Div(tsum, dn), k.Div(1, mle)));

  const double ln10 = std::log(10.0);
  const double m_u =
      k.Mul(mle, k.Sub(1, k.Exp(k.Sub(k.Mul(0.21048, ln10), k.Mul(1.05187, k.Log(dn))))));

  // Tail probabilities from the single-precision level, in double.
  const double conf = static_cast<double>(confidence);
  const double alpha = (1 - conf / 100) / 2;
  const double q = 1 - alpha;
  const double a2 = alpha * alpha, q2 = q * q;
  const double root_n = k.Sqrt(dn);

  const double A1 = 128.06689917 * a2 + 2.19780473 * alpha + 1.01622713;
  const double B1 = 0.50526137 + 7.47657713 * alpha - 52.2380875 * a2;
  const double C1 = -0.00056954 - 0.17889243 * alpha + 3.9721775 * a2;
  const double D1 = k.Add(k.Add(k.Mul(root_n, B1), A1), k.Mul(dn, C1));
  const double m_hi = k.Div(mle, k.Sub(1, k.Div(1, D1)));

  const double A2 = 1.21065083 * q2 + 1.79520256 * q - 3.81673287;
  const double B2 = 0.54525686 + 4.29852639 * q - 4.36676583 * q2;
  const double C2 = -0.76113933 + 1.71157833 * q - 0.9492525 * q2;
  const double D2 = k.Add(k.Add(k.Mul(root_n, B2), A2), k.Mul(dn, C2));
  double m_lo = k.Div(mle, k.Add(1, k.Div(1, D2)));
  if (m_lo < 0) m_lo = 0.1;

  const double M = dn - 2;
  const double root_m = k.Sqrt(M);
  const double E1 = 0.43495968 - 7.4548705 * alpha + 39.63648333 * a2;
  const double F1 = -0.49003433 - 1.43188745 * alpha - 7.95593167 * a2;
  const double G1 = 0.00838466 - 0.27034375 * alpha + 1.45925833 * a2;
  const double so_hi =
      k.Div(so, k.Exp(k.Div(k.Div(1, k.Add(k.Add(k.Mul(root_m, F1), E1), k.Mul(M, G1))), mle)));
  const double E2 = 28.69921851 - 58.74551532 * q + 29.93399585 * q2;
  const double F2 = -12.69978262 + 31.51087123 * q - 18.45636834 * q2;
  const double G2 = 0.23145313 - 0.46109623 * q + 0.22989667 * q2;
  const double so_lo =
      k.Div(so, k.Exp(k.Div(k.Div(1, k.Add(k.Add(k.Mul(root_m, F2), E2), k.Mul(M, G2))), mle)));

  // A dispersion beyond the gamma function's range (absurdly small or large
  // moduli) is the only result lost; the estimates themselves stand.
  auto dispersion = [&kFailed](double m) {
    const double d = WeibullDispersion(m);
    return std::isfinite(d) ? Value(d) : kFailed;
  };
  if (k.fault()) return WriteAll(values, count, kFailed);

  values[1] = Value(mle);
  values[2] = Value(static_cast<double>(steps));
  values[3] = Value(m_u);
  values[4] = Value(m_lo);
  values[5] = Value(m_hi);
  values[6] = Value(so);
  values[7] = Value(so_lo);
  values[8] = Value(so_hi);
  values[9] = dispersion(m_u);
  values[10] = dispersion(m_hi);
  values[11] = dispersion(m_lo);
  values[12] = Value(conf);
  WriteLabels(labels);
}

}  // namespace internal

void statWeibMLE(ValueArray& data, int32_t n, bool report, ValueArray& values, Labels& labels,
                 int16_t& count, float confidence, ui::Ui& ui) {
  internal::WeibMLEWithStepLimit(data, n, report, values, labels, count, confidence, ui, 30);
}

}  // namespace korund::stats
