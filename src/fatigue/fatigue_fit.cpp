// Last stage of a data set's analysis: whole rate groups the user marked
// "X" are left out, a straight line is fitted to log10 y against log10 x
// over the individual measurements (weight 1 each, not the group means),
// and its slope m becomes the fatigue parameter of the mode:
//   mode 0 (stress rate)        n = 1/m - 1
//   mode 1 (faceplate velocity) n = 1/m + 1
//   mode 2 (static)             n = -m
// with bounds from m +/- k*dm for k = 2 and, in the IEC 60793-1-33 form,
// k = 1.96. A result that cannot be computed shows "--".

#include <cmath>
#include <string>

#include "fatigue/fatigue_run.h"
#include "stats/descriptive.h"
#include "stats/linreg.h"
#include "stats/sort.h"
#include "ui/ui.h"
#include "util/run_settings.h"
#include "util/text.h"

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
Value Parameter(FatigueMode mode, double slope) {
  switch (mode) {
    case FatigueMode::kStressRate:
      return slope == 0.0 ? Value("--") : CellNumber(1.0 / slope - 1.0);
    case FatigueMode::kFaceplateVelocity:
      return slope == 0.0 ? Value("--") : CellNumber(1.0 / slope + 1.0);
    case FatigueMode::kStatic:
      break;
  }
  return CellNumber(-slope);
}

struct Bounds {
  Value lower;
  Value upper;
};

Bounds ParameterBounds(FatigueMode mode, const Value& m, const Value& dm, double k) {
  if (!dm.IsNumber()) return {dm, dm};
  return {Parameter(mode, m.Number() + k * dm.Number()),
          Parameter(mode, m.Number() - k * dm.Number())};
}

std::string HalfWidth(const Bounds& b) {
  if (!b.lower.IsNumber()) return ValueText(b.lower);
  if (!b.upper.IsNumber()) return "--";
  return NumText((b.upper.Number() - b.lower.Number()) / 2);
}

// Whole rate groups marked "X" in the use column are tagged "X", which
// leaves them out of the fit; the sort columns show the tags.
void ExcludeMarkedGroups(FatigueRun& run, int16_t s) {
  auto& sheet = run.ctx.sheet;
  auto& X = run.XData;
  auto& Y = run.YData;
  const int32_t n_v = run.n_v;
  for (int32_t g = 1; g <= run.nGroups; ++g) {
    if (UpperAscii(ToText(sheet.spGetCell(SetColumn(s, kColUse), g))) != "X") continue;
    const Value r = sheet.spGetCell(SetColumn(s, kColGroupX), g);
    if (!r.IsNumber()) continue;
    for (int32_t j = 1; j <= n_v; ++j) {
      if (X[j].IsNumber() && SameRate(X[j].Number(), r.Number())) {
        X[j] = Value("X " + ToText(X[j]));
        Y[j] = Value("X " + ToText(Y[j]));
      }
    }
  }
  sheet.spPutCol(X, SetColumn(s, kColSortX), n_v, false);
  sheet.spPutCol(Y, SetColumn(s, kColSortY), n_v, false);
}

void ReportRegression(FatigueRun& run, const LineFigures& line) {
  auto& rt = run.ReportText;
  rt.AddLine("Linear regression (\xC2\xB1 std err):");
  rt.AddLine("slope\t" + ValueText(line.m) + "\xC2\xB1 " + ValueText(line.dm));
  rt.AddLine("intcpt\t" + ValueText(line.c) + "\xC2\xB1 " + ValueText(line.dc));
  rt.AddLine("ybar\t" + ValueText(line.ybar) + "\xC2\xB1 " + ValueText(line.dybar));
  rt.AddLine("xbar\t" + ValueText(line.xbar));
  run.ctx.ui.Progress().Add(1);
}

// The results table of the set: the fatigue parameter with its bounds, the
// line, and the IEC 60793-1-33 figures; the parameter line of the report.
void WriteResults(FatigueRun& run, int16_t s, const LineFigures& line, int32_t n_f) {
  auto& sheet = run.ctx.sheet;
  const FatigueMode mode = run.ctx.settings.FatigueMode;
  const Value& m = line.m;
  const Value& dm = line.dm;
  const Value& c = line.c;
  const Value& dc = line.dc;
  const Value& r = line.r;
  const std::string& P = run.ParamName;
  auto label = [&](int32_t row) {
    sheet.spPutCell(Value(ResultLabel(row, P)), SetColumn(s, kColLabels), row);
  };
  auto put = [&](int32_t row, const Value& value) {
    label(row);
    sheet.spPutCell(value, SetColumn(s, kColValues), row);
  };
  for (int32_t row : {kRowN, kRowParam, kRowParamLower, kRowParamUpper}) label(row);

  Value n;
  Bounds main_bounds;
  if (!m.IsNumber()) {
    n = m;
    main_bounds = {m, m};
  } else {
    n = Parameter(mode, m.Number());
    main_bounds = ParameterBounds(mode, m, dm, 2);
  }
  put(kRowN, Value(n_f));
  put(kRowParam, n);
  put(kRowParamLower, main_bounds.lower);
  put(kRowParamUpper, main_bounds.upper);
  auto& rt = run.ReportText;
  rt.Add("n=" + ValueText(n) + " \xC2\xB1 ");
  rt.Add(HalfWidth(main_bounds));
  rt.AddLine(" [" + ValueText(main_bounds.lower) + " - " + ValueText(main_bounds.upper) + "]");

  put(kRowSlope, m);
  put(kRowSlopeError, dm);
  put(kRowIntercept, c);
  put(kRowInterceptError, dc);
  put(kRowR2, r.IsNumber() ? CellNumber(r.Number() * r.Number()) : r);

  const Bounds iec = m.IsNumber() ? ParameterBounds(mode, m, dm, 1.96) : Bounds{m, m};
  label(kRowIecTitle);
  put(kRowIecLower, iec.lower);
  put(kRowIecUpper, iec.upper);

  const double ln10 = std::log(10.0);
  put(kRowLnIntercept, c.IsNumber() ? CellNumber((c.Number() + 3) * ln10) : c);
  put(kRowLnInterceptError, dc.IsNumber() ? CellNumber(2 * dc.Number() * ln10) : dc);
  run.ctx.ui.Progress().Add(1);
}

// The fitted line reaches 10 % of the log x range beyond the data on each
// side. No line without a slope and intercept (e.g. no spread in x).
void WriteFittedLine(FatigueRun& run, int16_t s, const LineFigures& line, int32_t n_f) {
  const Value& m = line.m;
  const Value& c = line.c;
  if (!(n_f > 1 && m.IsNumber() && c.IsNumber())) return;
  auto& sheet = run.ctx.sheet;
  const double x1 = run.XData[1].Number();
  const double xn = run.XData[n_f].Number();
  const double span = xn - x1;
  const double x_lo = x1 - span * 10 / 100;
  const double x_hi = xn + span * 10 / 100;
  const double y_lo = c.Number() + m.Number() * x_lo;
  const double y_hi = c.Number() + m.Number() * x_hi;
  sheet.spPutCell(CellNumber(std::pow(10.0, x_lo)), SetColumn(s, kColLineX), kLineFromRow);
  sheet.spPutCell(CellNumber(std::pow(10.0, x_hi)), SetColumn(s, kColLineX), kLineToRow);
  sheet.spPutCell(CellNumber(std::pow(10.0, y_lo)), SetColumn(s, kColLineY), kLineFromRow);
  sheet.spPutCell(CellNumber(std::pow(10.0, y_hi)), SetColumn(s, kColLineY), kLineToRow);
}

}  // namespace

void FitAndReport(FatigueRun& run, int16_t s, std::string& summary) {
  auto& X = run.XData;
  auto& Y = run.YData;
  const std::string set_text = std::to_string(s);

  ExcludeMarkedGroups(run, s);
  stats::SortPairs(X, Y, run.n_v, true);
  int32_t n_f = run.n_v;
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
  ReportRegression(run, line);
  WriteResults(run, s, line, n_f);
  WriteFittedLine(run, s, line, n_f);

  summary = "Set " + set_text + ":\t" + std::to_string(n_f) + " measurements at " +
            std::to_string(run.nGroups) + " rates";
}

}  // namespace korund::fatigue
