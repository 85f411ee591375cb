// Weighted least squares by running sums. The arithmetic is written out one
// operation at a time through CheckedMath so that any fault the original
// stopped on (division by zero, square root of a negative, overflow, a
// value that is not a number) is noticed where it happens; the fit then
// ends silently and leaves every result "--", since results are written
// only after all the arithmetic.
#include "stats/linreg.h"

#include <string>
#include <vector>

#include "stats/checked_math.h"

namespace korund::stats {

namespace {

constexpr const char* kNames[13] = {"",     "m",     "delm",  "c",    "delc", "b",  "delb",
                                    "xbar", "resid", "gamma", "Xsos", "MSE",  "N"};

struct Fit {
  double m = 0, delm = 0, c = 0, delc = 0, b = 0, delb = 0, xbar = 0, resid = 0, r = 0,
         xsos = 0;
};

bool AllEqual(const std::vector<double>& v) {
  for (double a : v) {
    if (a != v.front()) return false;
  }
  return true;
}

}  // namespace

void statLinReg(const ValueArray& x, const ValueArray& y, const ValueArray& e, bool weighted,
                int32_t n, bool show_summary, ValueArray& results, Labels& names,
                int16_t& count, ui::Ui* ui) {
  if (results.size() < 13) results.resize(13);
  if (names.size() < 13) names.resize(13);
  for (int row = 1; row <= 12; ++row) names[row] = kNames[row];
  count = 12;
  for (int row = 1; row <= 12; ++row) results[row] = Value("--");
  if (n < 2) return;
  const size_t un = static_cast<size_t>(n);
  // Points beyond the end of an array were a run-time error: no fit.
  if (x.size() <= un || y.size() <= un || e.size() <= un) return;

  internal::CheckedMath k;
  // An empty e counts as 0 here too, through the comparison rule.
  for (size_t i = 1; i <= un; ++i) {
    if (e[i] == Value(0)) weighted = false;
  }
  std::vector<double> w(un), xs(un), ys(un);
  for (size_t i = 0; i < un; ++i) {
    if (weighted) {
      const double ei = k.Number(e[i + 1]);
      w[i] = k.Div(k.Div(1, ei), ei);
    } else {
      w[i] = 1;
    }
    xs[i] = k.Number(x[i + 1]);
    ys[i] = k.Number(y[i + 1]);
  }
  if (k.fault()) return;
  // Constant x or y must divide by zero in the correlation below; rounding
  // in the sums can hide that zero, so say it outright.
  if (AllEqual(xs) || AllEqual(ys)) return;

  double sw = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (size_t i = 0; i < un; ++i) {
    sw = k.Add(sw, w[i]);
    sx = k.Add(sx, k.Mul(w[i], xs[i]));
    sy = k.Add(sy, k.Mul(w[i], ys[i]));
    sxx = k.Add(sxx, k.Mul(w[i], k.Mul(xs[i], xs[i])));
    syy = k.Add(syy, k.Mul(w[i], k.Mul(ys[i], ys[i])));
    sxy = k.Add(sxy, k.Mul(k.Mul(w[i], xs[i]), ys[i]));
  }
  Fit f;
  f.xbar = k.Div(sx, sw);
  const double ybar = k.Div(sy, sw);
  // The correlation comes before the slope, so a degenerate line stops here.
  f.r = k.Div(k.Sub(sxy, k.Div(k.Mul(sx, sy), sw)),
              k.Sqrt(k.Mul(k.Sub(syy, k.Div(k.Mul(sy, sy), sw)),
                           k.Sub(sxx, k.Div(k.Mul(sx, sx), sw)))));
  const double sxxc =
      k.Add(k.Sub(sxx, k.Mul(k.Mul(2, f.xbar), sx)), k.Mul(k.Mul(f.xbar, f.xbar), sw));
  f.m = k.Div(k.Sub(sxy, k.Mul(sy, f.xbar)), sxxc);
  f.c = k.Sub(ybar, k.Mul(f.m, f.xbar));
  f.b = ybar;

  double rss = 0;
  for (size_t i = 0; i < un; ++i) {
    const double d = k.Sub(k.Sub(ys[i], k.Mul(f.m, xs[i])), f.c);
    rss = k.Add(rss, k.Mul(w[i], k.Mul(d, d)));
    const double dx = k.Sub(xs[i], f.xbar);
    f.xsos = k.Add(f.xsos, k.Mul(dx, dx));
  }
  const double dn = n;
  if (n > 2) {
    f.delm = k.Sqrt(k.Div(k.Div(rss, sxxc), dn - 2));
    f.delc = k.Sqrt(k.Mul(k.Add(k.Div(k.Mul(f.xbar, f.xbar), sxxc), k.Div(1, sw)),
                          k.Div(rss, dn - 2)));
    f.delb = k.Sqrt(k.Div(k.Div(rss, dn - 2), sw));
  }
  f.resid = k.Div(k.Mul(dn, rss), sw);
  if (k.fault()) return;

  results[1] = Value(f.m);
  if (n > 2) results[2] = Value(f.delm);
  results[3] = Value(f.c);
  if (n > 2) results[4] = Value(f.delc);
  results[5] = Value(f.b);
  if (n > 2) results[6] = Value(f.delb);
  results[7] = Value(f.xbar);
  results[8] = Value(f.resid);
  results[9] = Value(f.r);
  results[10] = Value(f.xsos);
  if (n > 2) results[11] = Value(f.resid / (dn - 2));
  results[12] = Value(dn);

  if (show_summary && ui != nullptr) {
    const std::string crlf = "\r\n";
    std::string text = weighted ? "Results are weighted" : "Results not weighted";
    text += crlf + "y=mx+c:  m=" + ToText(results[1]) + " \u00b1" + ToText(results[2]);
    text += crlf + "               c=" + ToText(results[3]) + " \u00b1" + ToText(results[4]);
    text += crlf + "               b=" + ToText(results[5]) + " \u00b1" + ToText(results[6]);
    text += crlf + "correlation=" + ToText(results[9]) + " residual=" + ToText(results[8]);
    ui->MsgBox(text, ui::kMbOk, "");
  }
}

}  // namespace korund::stats
