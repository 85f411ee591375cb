// Last stage of a data set's analysis: whole rate groups the user marked
// "X" are left out, a straight line is fitted to log10 y against log10 x
// over the individual measurements (weight 1 each, not the group means),
// and its slope m becomes the fatigue parameter of the mode:
//   mode 0 (stress rate)        n = 1/m - 1
//   mode 1 (faceplate velocity) n = 1/m + 1
//   mode 2 (static)             n = -m
// with bounds from m +/- k*dm for k = 2 and, in the IEC 60793-1-33 form,
// k = 1.96. A result that cannot be computed shows "--".

#include <cctype>
#include <cmath>
#include <string>

#include "fatigue/fatigue_run.h"
#include "stats/descriptive.h"
#include "stats/linreg.h"
#include "stats/sort.h"
#include "ui/ui.h"
#include "util/run_settings.h"

namespace korund::fatigue {

namespace {

// The regression's figures as the cells and report show them: "--" for a
// failed fit, and for the standard errors of a two-point line.
struct LineFigures {
  Value m = "--", dm = "--", c = "--", dc = "--", ybar = "--", dybar = "--", xbar = "--",
        r = "--";
};

LineFigures Figures(const stats::Result<stats::LinRegFit>& fit) {
  LineFigures f;
  if (!fit.ok()) return f;
  f.m = fit->m;
  f.c = fit->c;
  f.ybar = fit->b;
  f.xbar = fit->xbar;
  f.r = fit->correlation;
  if (fit->errors) {
    f.dm = fit->errors->delm;
    f.dc = fit->errors->delc;
    f.dybar = fit->errors->delb;
  }
  return f;
}

// Two pairs match when their x agree to a relative 1e-9: the group's x is
// 10^(mean log10 x), which for equal rates is often not bit-equal to them.
bool SameRate(double x, double r) { return std::fabs(x - r) <= 1e-9 * std::fabs(r); }

// The fatigue parameter for a slope value; a zero divisor gives "--".
Value Parameter(int32_t mode, double slope) {
  switch (mode) {
    case 0:
      return slope == 0.0 ? Value("--") : CellNumber(1.0 / slope - 1.0);
    case 1:
      return slope == 0.0 ? Value("--") : CellNumber(1.0 / slope + 1.0);
    default:
      return CellNumber(-slope);
  }
}

struct Bounds {
  Value lower;
  Value upper;
};

Bounds ParameterBounds(int32_t mode, const Value& m, const Value& dm, double k) {
  if (!dm.IsNumber()) return {dm, dm};
  return {Parameter(mode, m.Number() + k * dm.Number()),
          Parameter(mode, m.Number() - k * dm.Number())};
}

std::string HalfWidth(const Bounds& b) {
  if (!b.lower.IsNumber()) return ValueText(b.lower);
  if (!b.upper.IsNumber()) return "--";
  return NumText((b.upper.Number() - b.lower.Number()) / 2);
}

}  // namespace

void FitAndReport(FatigueRun& run, int16_t s, std::string& summary) {
  auto& sheet = run.ctx.sheet;
  auto& ui = run.ctx.ui;
  const int32_t mode = run.ctx.settings.FatigueMode;
  auto& X = run.XData;
  auto& Y = run.YData;
  const int32_t n_v = run.n_v;
  auto col = [s](int32_t k) { return SetColumn(s, k); };
  const std::string set_text = std::to_string(s);

  for (int32_t g = 1; g <= run.nGroups; ++g) {
    std::string use = ToText(sheet.spGetCell(col(kColUse), g));
    for (char& c : use) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (use != "X") continue;
    const Value r = sheet.spGetCell(col(kColGroupX), g);
    if (!r.IsNumber()) continue;
    for (int32_t j = 1; j <= n_v; ++j) {
      if (X[j].IsNumber() && SameRate(X[j].Number(), r.Number())) {
        X[j] = Value("X " + ToText(X[j]));
        Y[j] = Value("X " + ToText(Y[j]));
      }
    }
  }
  sheet.spPutCol(X, col(kColSortX), n_v, false);
  sheet.spPutCol(Y, col(kColSortY), n_v, false);

  stats::SortPairs(X, Y, n_v, true);
  int32_t n_f = n_v;
  while (n_f > 0 && Y[n_f].IsText()) --n_f;
  if (n_f == 0) {
    summary = "Set " + set_text + " is empty";
    return;
  }

  ValueArray e(n_f + 1, Value(1));
  for (int32_t j = 1; j <= n_f; ++j) {
    X[j] = Value(stats::Log10(X[j].Number()));
    Y[j] = Value(stats::Log10(Y[j].Number()));
  }
  const LineFigures line = Figures(stats::statLinReg(X, Y, e, false, n_f));
  const Value& m = line.m;
  const Value& dm = line.dm;
  const Value& c = line.c;
  const Value& dc = line.dc;
  const Value& r = line.r;

  auto& rt = run.ReportText;
  rt.AddLine("Linear regression (\xC2\xB1 std err):");
  rt.AddLine("slope\t" + ValueText(m) + "\xC2\xB1 " + ValueText(dm));
  rt.AddLine("intcpt\t" + ValueText(c) + "\xC2\xB1 " + ValueText(dc));
  rt.AddLine("ybar\t" + ValueText(line.ybar) + "\xC2\xB1 " + ValueText(line.dybar));
  rt.AddLine("xbar\t" + ValueText(line.xbar));
  ui.Progress().Add(1);

  auto put = [&](int32_t row, const std::string& label, const Value& value) {
    sheet.spPutCell(Value(label), col(kColLabels), row);
    sheet.spPutCell(value, col(kColValues), row);
  };
  const std::string& P = run.ParamName;
  sheet.spPutCell(Value("N"), col(kColLabels), 1);
  sheet.spPutCell(Value(P), col(kColLabels), 2);
  sheet.spPutCell(Value(P + ".lower"), col(kColLabels), 3);
  sheet.spPutCell(Value(P + ".upper"), col(kColLabels), 4);

  Value n;
  Bounds main_bounds;
  if (!m.IsNumber()) {
    n = m;
    main_bounds = {m, m};
  } else {
    if (mode < 0 || mode > 2) {
      ui.MsgBox("Fatigue mode not implemented", ui::kMbOk, AppTitle());
      summary = "Fatigue mode not implemented";
      return;
    }
    n = Parameter(mode, m.Number());
    main_bounds = ParameterBounds(mode, m, dm, 2);
  }
  put(1, "N", Value(n_f));
  put(2, P, n);
  put(3, P + ".lower", main_bounds.lower);
  put(4, P + ".upper", main_bounds.upper);
  rt.Add("n=" + ValueText(n) + " \xC2\xB1 ");
  rt.Add(HalfWidth(main_bounds));
  rt.AddLine(" [" + ValueText(main_bounds.lower) + " - " + ValueText(main_bounds.upper) + "]");

  put(5, "slope", m);
  put(6, "\xC2\xB1,  SEE", dm);
  put(7, "intcpt", c);
  put(8, "\xC2\xB1", dc);
  put(9, "R\xC2\xB2", r.IsNumber() ? CellNumber(r.Number() * r.Number()) : r);

  const Bounds iec = m.IsNumber() ? ParameterBounds(mode, m, dm, 1.96) : Bounds{m, m};
  sheet.spPutCell(Value("IEC60793-1-33"), col(kColLabels), 11);
  put(12, P + "L", iec.lower);
  put(13, P + "U", iec.upper);

  const double ln10 = std::log(10.0);
  put(16, "Intcpt", c.IsNumber() ? CellNumber((c.Number() + 3) * ln10) : c);
  put(17, "\xC2\xB1" "95%", dc.IsNumber() ? CellNumber(2 * dc.Number() * ln10) : dc);
  ui.Progress().Add(1);

  // The fitted line reaches 10 % of the log x range beyond the data on each
  // side. No line without a slope and intercept (e.g. no spread in x).
  if (n_f > 1 && m.IsNumber() && c.IsNumber()) {
    const double x1 = X[1].Number();
    const double xn = X[n_f].Number();
    const double span = xn - x1;
    const double x_lo = x1 - span * 10 / 100;
    const double x_hi = xn + span * 10 / 100;
    const double y_lo = c.Number() + m.Number() * x_lo;
    const double y_hi = c.Number() + m.Number() * x_hi;
    sheet.spPutCell(CellNumber(std::pow(10.0, x_lo)), col(kColLineX), 1);
    sheet.spPutCell(CellNumber(std::pow(10.0, x_hi)), col(kColLineX), 2);
    sheet.spPutCell(CellNumber(std::pow(10.0, y_lo)), col(kColLineY), 1);
    sheet.spPutCell(CellNumber(std::pow(10.0, y_hi)), col(kColLineY), 2);
  }

  summary = "Set " + set_text + ":\t" + std::to_string(n_f) + " measurements at " +
            std::to_string(run.nGroups) + " rates";
}

}  // namespace korund::fatigue
