// Weighted least squares by running sums. The arithmetic is written out one
// operation at a time through CheckedMath so that any fault the original
// stopped on (division by zero, square root of a negative, overflow, a
// value that is not a number) is noticed where it happens; the fit then
// fails as a whole, since nothing is returned before all the arithmetic.
#include "stats/linreg.h"

#include <span>
#include <vector>

#include "stats/checked_math.h"

namespace korund::stats {

namespace {

struct Points {
  std::vector<double> w, x, y;
};

struct Sums {
  double w = 0, x = 0, y = 0, xx = 0, yy = 0, xy = 0;
};

bool AllEqual(const std::vector<double>& v) {
  for (double a : v) {
    if (a != v.front()) return false;
  }
  return true;
}

// A point's coordinate or weight as a number: a cell read by the
// comparison rule's conversion, a plain number as it is; either must be
// finite.
double PointNumber(const Value& v, internal::CheckedMath& k) { return k.Number(v); }
double PointNumber(double x, internal::CheckedMath& k) { return k.Finite(x); }

// A weight that makes the fit unweighted: one equal to 0 by the comparison
// rule (an empty cell too); a number equals 0 when it is neither less nor
// greater.
bool ZeroWeight(const Value& v) { return v == Value(0); }
bool ZeroWeight(double x) { return !(x < 0) && !(x > 0); }

// The points and their weights as numbers (weight 1 when unweighted).
template <typename Array>
Points ReadPoints(const Array& x, const Array& y, const Array& e, bool weighted, size_t n,
                  internal::CheckedMath& k) {
  for (size_t i = 1; i <= n && weighted; ++i) {
    if (ZeroWeight(e[i])) weighted = false;
  }
  Points p{std::vector<double>(n, 1.0), std::vector<double>(n), std::vector<double>(n)};
  for (size_t i = 0; i < n; ++i) {
    if (weighted) {
      const double ei = PointNumber(e[i + 1], k);
      p.w[i] = k.Div(k.Div(1, ei), ei);
    }
    p.x[i] = PointNumber(x[i + 1], k);
    p.y[i] = PointNumber(y[i + 1], k);
  }
  return p;
}

// Sums of finite numbers by additions and multiplications: once a step
// overflows, its infinity or NaN stays in its sum to the end, so checking
// the sums there finds every fault a check after each step would.
Sums RunningSums(const Points& p, internal::CheckedMath& k) {
  Sums s;
  for (size_t i = 0; i < p.w.size(); ++i) {
    const double w = p.w[i], x = p.x[i], y = p.y[i];
    s.w = s.w + w;
    s.x = s.x + w * x;
    s.y = s.y + w * y;
    s.xx = s.xx + w * (x * x);
    s.yy = s.yy + w * (y * y);
    s.xy = s.xy + (w * x) * y;
  }
  for (double* sum : {&s.w, &s.x, &s.y, &s.xx, &s.yy, &s.xy}) *sum = k.Finite(*sum);
  return s;
}

Result<LinRegFit> Fit(const Points& p, int32_t n, internal::CheckedMath& k) {
  const auto no_fit = Result<LinRegFit>::Fail(Failure::kNoFit);
  const size_t un = static_cast<size_t>(n);
  if (k.fault()) return no_fit;
  // Constant x or y must divide by zero in the correlation below; rounding
  // in the sums can hide that zero, so say it outright.
  if (AllEqual(p.x) || AllEqual(p.y)) return no_fit;

  const Sums s = RunningSums(p, k);
  LinRegFit f;
  f.n = n;
  f.xbar = k.Div(s.x, s.w);
  const double ybar = k.Div(s.y, s.w);
  // The correlation comes before the slope, so a degenerate line stops here.
  f.correlation = k.Div(k.Sub(s.xy, k.Div(k.Mul(s.x, s.y), s.w)),
                        k.Sqrt(k.Mul(k.Sub(s.yy, k.Div(k.Mul(s.y, s.y), s.w)),
                                     k.Sub(s.xx, k.Div(k.Mul(s.x, s.x), s.w)))));
  const double sxxc =
      k.Add(k.Sub(s.xx, k.Mul(k.Mul(2, f.xbar), s.x)), k.Mul(k.Mul(f.xbar, f.xbar), s.w));
  f.m = k.Div(k.Sub(s.xy, k.Mul(s.y, f.xbar)), sxxc);
  f.c = k.Sub(ybar, k.Mul(f.m, f.xbar));
  f.b = ybar;

  // Residuals about the line, and the spread of x for the caller's own bounds.
  // As the sums: a fault in any step stays in rss or xsos.
  double rss = 0;
  for (size_t i = 0; i < un; ++i) {
    const double d = (p.y[i] - f.m * p.x[i]) - f.c;
    rss = rss + p.w[i] * (d * d);
    const double dx = p.x[i] - f.xbar;
    f.xsos = f.xsos + dx * dx;
  }
  rss = k.Finite(rss);
  f.xsos = k.Finite(f.xsos);
  const double dn = n;
  LinRegFit::Errors err;
  if (n > 2) {
    err.delm = k.Sqrt(k.Div(k.Div(rss, sxxc), dn - 2));
    err.delc = k.Sqrt(k.Mul(k.Add(k.Div(k.Mul(f.xbar, f.xbar), sxxc), k.Div(1, s.w)),
                            k.Div(rss, dn - 2)));
    err.delb = k.Sqrt(k.Div(k.Div(rss, dn - 2), s.w));
  }
  f.resid = k.Div(k.Mul(dn, rss), s.w);
  if (k.fault()) return no_fit;
  if (n > 2) {
    err.mse = f.resid / (dn - 2);
    f.errors = err;
  }
  return f;
}

// Points beyond the end of an array were a run-time error: no fit.
template <typename Array>
Result<LinRegFit> FitArrays(const Array& x, const Array& y, const Array& e, bool weighted,
                            int32_t n) {
  const auto no_fit = Result<LinRegFit>::Fail(Failure::kNoFit);
  if (n < 2) return no_fit;
  const size_t un = static_cast<size_t>(n);
  if (x.size() <= un || y.size() <= un || e.size() <= un) return no_fit;
  internal::CheckedMath k;
  const Points p = ReadPoints(x, y, e, weighted, un, k);
  return Fit(p, n, k);
}

}  // namespace

Result<LinRegFit> statLinReg(const ValueArray& x, const ValueArray& y, const ValueArray& e,
                             bool weighted, int32_t n) {
  return FitArrays(x, y, e, weighted, n);
}

Result<LinRegFit> statLinReg(std::span<const double> x, std::span<const double> y,
                             std::span<const double> e, bool weighted, int32_t n) {
  return FitArrays(x, y, e, weighted, n);
}

}  // namespace korund::stats
