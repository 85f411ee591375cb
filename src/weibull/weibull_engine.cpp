// One data set, from the raw column to the result column.
//
// The strengths are converted to GPa by the unit words typed among them,
// sorted, and given failure probabilities F(i) by the chosen rank function.
// The Weibull plot ln ln(1/(1 - F)) against ln S is fitted by least squares;
// the maximum-likelihood estimator runs at 95 % and again at 90 %
// confidence. Four further estimates follow the standards they are named
// after: distribution percentiles (GR-20), the interpolated 15 % and median
// strengths, the two-point estimates of FOTP-28/ITM-13 and IEC 60793-1-33,
// and an estimator-based scale (ASTM C1239). Constants and the order of
// operations are those the laboratories' reference tools use, so the
// figures agree with them to the last digits.
#include "weibull/weibull_engine.h"

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "stats/linreg.h"
#include "stats/sort.h"
#include "stats/weibull_mle.h"
#include "ui/terminate.h"
#include "util/text.h"
#include "util/units.h"
#include "util/worksheet_layout.h"
#include "worksheet/plausibility.h"

namespace korund::weibull {

// The engine fills the columns of the Weibull worksheet by their names.
using namespace layout::weibull;  // NOLINT(google-build-using-namespace)

namespace {

const char* const kNotConverged = "covergence";

// A computed number, or "--" when it overflowed or came from a division by
// zero: no cell may hold NaN or an infinity.
Value Finite(double x) { return std::isfinite(x) ? Value(x) : Value(kNoResult); }

// A figure of the estimator; every figure of a failed estimate shows
// "covergence".
Value Estimate(const stats::Result<stats::WeibullMLE>& mle, double stats::WeibullMLE::*field) {
  return mle.ok() ? Finite((*mle).*field) : Value(kNotConverged);
}

// The estimator at 95 % and 90 %, solved once. Only a failure to converge
// is worth a box; the other failures show in the cells alone.
// ordinates: the plot's, handed on when they are the ones the estimator
// uses itself.
std::vector<stats::Result<stats::WeibullMLE>> RunEstimator(RunContext& ctx, ValueArray& s,
                                                           int32_t n,
                                                           std::span<const double> ordinates) {
  static constexpr float kLevels[] = {95.0f, 90.0f};
  auto mle = stats::statWeibMLEAtLevels(s, n, kLevels, ordinates);
  if (mle.front().failure() == stats::Failure::kNotConverged) {
    ctx.ui.MsgBox(mle.front().message(), ui::kMbIconExclamation + ui::kMbOk,
                  "WEIBULL MLE FAILURE");
  }
  return mle;
}

const char* const kRow1Warning =
    ", row 1 is a number.\r\r"
    "Check that you intend this cell to contain valid data. "
    "Earlier versions of the Weibull analysis software assumed that row 1 contained a "
    "description of the data and ignored that cell even if it contained numeric data. "
    "If row 1 contains valid data this worksheet is not backwards compatible with the earlier "
    "software. Alternatively, if this worksheet was used with the earlier software, "
    "row 1 might contain a number which is not valid data. \r\r"
    "This warning is for backwards compatibility but will be omitted from future versions of "
    "this Weibull analysis pulgin.\r\r"
    "Do you want to continue using row 1 as valid data or stop processing?";

// Everything one set's steps share.
struct SetWork {
  int32_t n = 0;  // number of strengths
  ValueArray s;   // strengths, GPa, ascending, [1..n]
  std::vector<double> f, x, y;  // rank, ln S, Weibull ordinate, [1..n]
  ValueArray labels;
  ValueArray results;
  // The estimate at 95 %; empty when the regression before it failed.
  std::optional<stats::Result<stats::WeibullMLE>> mle;
  // The estimate at 90 %, from the same solution.
  std::optional<stats::Result<stats::WeibullMLE>> mle90;

  bool Estimated() const { return mle && mle->ok(); }

  double S(int32_t i) const { return s[i].Number(); }
  void Put(int32_t row, double value) { results[row] = Finite(value); }
};

// Rows 2..8: the least-squares line through the Weibull plot. False when
// the fit failed (all strengths equal, for one).
bool LinearRegression(RunContext& ctx, SetWork& w) {
  // Unweighted: the weights (here the strengths' logarithms) are not read.
  const auto fit = stats::statLinReg(w.x, w.y, w.x, false, w.n);
  if (!fit.ok()) return false;
  const double m = fit->m;
  const double c = fit->c;
  const double so = std::exp(-c / m);
  w.Put(kRowM, m);
  w.Put(kRowSo, so);
  w.Put(kRowC, c);
  w.Put(kRowR, fit->correlation);
  if (fit->errors) {
    const double delm = fit->errors->delm;
    const double delc = fit->errors->delc;
    const double b = fit->b;
    const double delb = fit->errors->delb;
    const double xbar = fit->xbar;
    w.Put(kRowDm, 2 * delm);
    w.Put(kRowDc, 2 * delc);
    // The change of So when the mean ordinate and the slope each move by one
    // standard error, combined and doubled.
    const double d1 = std::exp(xbar - (b + delb) / m) - so;
    const double d2 = std::exp(xbar - b / (m + delm)) - so;
    w.Put(kRowDSo, 2 * std::sqrt(d1 * d1 + d2 * d2));
  }
  ctx.ui.Progress().Add(1);
  return true;
}

// Rows 10..18: the estimator at 95 %, "covergence" when it failed.
void Estimator95(RunContext& ctx, SetWork& w) {
  // The estimator's plot ranks by i/(n + 1): with that rank function the
  // ordinates are computed already, the same way.
  const bool same_ranks = ctx.settings.FOpt != 1;
  auto levels = RunEstimator(ctx, w.s, w.n, same_ranks ? std::span<const double>(w.y)
                                                       : std::span<const double>());
  w.mle = std::move(levels[0]);
  w.mle90 = std::move(levels[1]);
  const int32_t row = ResultRow(w.labels, "mle");
  using E = stats::WeibullMLE;
  const auto& mle = *w.mle;
  w.results[row] = Estimate(mle, &E::mle);
  w.results[row + 1] = mle.ok() ? Value(mle->iterations) : Value(kNotConverged);
  w.results[row + 2] = Estimate(mle, &E::m);
  w.results[row + 3] = Estimate(mle, &E::m_lo);
  w.results[row + 4] = Estimate(mle, &E::m_hi);
  w.results[row + 5] = Estimate(mle, &E::so);
  w.results[row + 6] = Estimate(mle, &E::so_lo);
  w.results[row + 7] = Estimate(mle, &E::so_hi);
  w.results[row + 8] = Estimate(mle, &E::confidence);
}

// Rows 20, 21: percentiles of the fitted distribution.
void DistributionPercentiles(SetWork& w) {
  if (!w.Estimated() || w.n < 2) return;
  const double m = (*w.mle)->m;
  const double so = (*w.mle)->so;
  const int32_t row = ResultRow(w.labels, "15% distn");
  w.Put(row, so * std::pow(std::log(1 / 0.85), 1 / m));
  w.Put(row + 1, so * std::pow(std::log(1 / 0.5), 1 / m));
}

// Row 22: the strength at F = 0.15, interpolated between its neighbours.
void Interpolated15(SetWork& w) {
  if (!(w.f[1] <= 0.15)) return;
  int32_t i = 1;
  while (i < w.n && w.f[i + 1] <= 0.15) ++i;
  if (i >= w.n) return;  // no right-hand neighbour
  w.Put(ResultRow(w.labels, "15% interp"), w.S(i) + (0.15 - w.f[i]) * (w.S(i + 1) - w.S(i)) / (w.f[i + 1] - w.f[i]));
}

// Rows 25..31: the two-point estimates and the estimator-based scale.
void PointEstimates(SetWork& w) {
  const int32_t n = w.n;
  const double p15 = 0.15 * n + 0.5;
  const double p85 = 0.85 * n + 0.5;
  const double p50 = 0.5 * n + 0.5;
  const auto i15 = static_cast<int32_t>(std::floor(p15));
  const auto i85 = static_cast<int32_t>(std::floor(p85));
  const auto i50 = static_cast<int32_t>(std::floor(p50));

  // A: slope between the points nearest F = 0.15 and 0.85. Equal strengths
  // there leave no slope: both rows stay "--" rather than showing the median
  // as a scale.
  const int32_t row_a = ResultRow(w.labels, "A: md");
  if (i15 >= 1 && i85 <= n && i15 != i85) {
    const double ma = (w.y[i85] - w.y[i15]) / (w.x[i85] - w.x[i15]);
    if (std::isfinite(ma) && ma != 0) {
      w.Put(row_a, ma);
      w.Put(row_a + 1, std::exp(w.x[i50] + 0.366512 / ma));
    }
  }

  // B: the estimator's modulus with the scale it implies.
  if (n > 1) {
    if (w.mle) w.results[row_a + 2] = Estimate(*w.mle, &stats::WeibullMLE::mle);
    if (w.Estimated() && n >= 2) {
      const double m = (*w.mle)->mle;
      double total = 0;
      for (int32_t i = 1; i <= n; ++i) total += w.S(i);
      const double mu = total / n;
      double sum = 0;
      for (int32_t i = 1; i <= n; ++i) sum += std::pow(w.S(i) / mu, m);
      w.Put(row_a + 3, mu * std::pow((1.0 / n) * sum, 1 / m));
    }
  }

  // Bracketed: geometric means of the two strengths around each position.
  const int32_t i15b = p15 > i15 ? i15 + 1 : i15;
  const int32_t i85b = p85 > i85 ? i85 + 1 : i85;
  const int32_t i50b = p50 > i50 ? i50 + 1 : i50;
  const int32_t row_md = ResultRow(w.labels, "md");
  if (i15 >= 1 && i85b <= n && i85 != i15) {
    const double l85 = std::log(std::sqrt(w.S(i85) * w.S(i85b)));
    const double l15 = std::log(std::sqrt(w.S(i15) * w.S(i15b)));
    const double l50 = std::log(std::sqrt(w.S(i50) * w.S(i50b)));
    const double md = 2.46 / (l85 - l15);
    // Equal strengths at the brackets (or products beyond double range)
    // give no modulus; both rows stay "--".
    if (std::isfinite(l85) && std::isfinite(l15) && std::isfinite(l50) && std::isfinite(md)) {
      w.Put(row_md, md);
      w.Put(row_md + 1, std::exp(l50 + 0.3665 / md));
    }
  }
}

// Rows 33..38: the estimator again at 90 %.
void Estimator90(SetWork& w) {
  if (!w.Estimated() || w.n < 2) return;
  const auto& mle = *w.mle90;
  const int32_t row = ResultRow(w.labels, "m.upper") - 1;
  using E = stats::WeibullMLE;
  double E::*const order[] = {&E::m, &E::m_hi, &E::m_lo, &E::so, &E::so_hi, &E::so_lo};
  for (int k = 0; k < 6; ++k) w.results[row + k] = Estimate(mle, order[k]);
}

std::string Summary(int16_t n, const std::string& what) {
  return "Set " + std::to_string(n) + ":\t" + what;
}

}  // namespace

void ApplyUnitWords(ValueArray& s, int32_t count, std::vector<IgnoredCell>* ignored) {
  double unit = 1.0;
  for (int32_t i = 1; i <= count; ++i) {
    Value& v = s[i];
    if (IsValidNumber(v)) {
      const double x = *ToNumber(v) * unit;
      // A value that overflows the double range is no strength; as text it
      // sorts behind the data and drops out like any other note.
      v = std::isfinite(x) ? Value(x) : Value(ToText(v));
      if (!std::isfinite(x) && ignored != nullptr) ignored->push_back({i, v.Text()});
    } else if (v.IsText()) {
      const std::string word = UnitWord(v.Text());
      if (const auto factor = UnitFactor(Quantity::kStrength, word)) {
        unit = *factor;
      } else if (word == kFactorWord) {
        // The cell below holds the factor when it is a number or empty, and
        // is then consumed. A text there is walked in turn, so that a unit
        // word right below "FACTOR" still acts.
        if (i < count && (IsValidNumber(s[i + 1]) || s[i + 1].IsBlank())) {
          Value& next = s[i + 1];
          if (IsValidNumber(next)) unit = *ToNumber(next);
          next = Value(ToText(next));
          ++i;
        }
      } else if (!v.Text().empty() && ignored != nullptr) {
        ignored->push_back({i, v.Text()});
      }
    } else {
      v = Value(std::string());
    }
  }
}

namespace {

// The four columns of set n.
struct SetColumns {
  explicit SetColumns(int16_t n)
      : raw(RawColumn(n)), result(ResultColumn(n)), strength(StrengthColumn(n)),
        ordinate(OrdinateColumn(n)) {}
  int32_t raw, result, strength, ordinate;
};

void TitleColumns(RunContext& ctx, const std::string& set, const SetColumns& cols) {
  worksheet::Sheet& sheet = ctx.sheet;
  sheet.spPutTitle(Value("raw " + set), cols.raw);
  sheet.spPutTitle(Value("set " + set), cols.result);
  ctx.ui.Progress().Add(2);
  sheet.spPutTitle(Value("x" + set), cols.strength);
  sheet.spPutTitle(Value("y" + set), cols.ordinate);
  ctx.ui.Progress().Add(2);
}

// Row 1 of older worksheets holds a description; a number there may not be data. "&Stop"
// ends the run.
void AskAboutRow1(RunContext& ctx, const std::string& set, const SetColumns& cols) {
  if (!IsValidNumber(ctx.sheet.spGetCell(cols.raw, 1))) return;
  const int button = ctx.msg.Go({.text = "Column " + set + kRow1Warning,
                                 .buttons = {"&Continue", "&Stop"},
                                 .icon = 49,
                                 .title = "ROW 1 CONTAINS NUMERIC DATA",
                                 .default_button = 1,
                                 .scale = 1.2f});
  if (button == 2) ui::TerminateProgram(ctx.ui, "");
}

// Says what about the set's strengths looks wrong although it analyses.
void NotePlausibility(RunContext& ctx, int32_t set, const SetWork& w) {
  static constexpr worksheet::ValueWords kWords{"strength", "strengths", " GPa"};
  std::vector<double> gpa;
  gpa.reserve(static_cast<size_t>(w.n));
  for (int32_t i = 1; i <= w.n; ++i) gpa.push_back(w.S(i));
  for (const std::string& note :
       {worksheet::HighStrengthNote(set, gpa, kWords, "if they are in MPa, put MPA above them"),
        worksheet::FewValuesNote(set, gpa.size(), kWords),
        worksheet::AllEqualNote(set, gpa, kWords)}) {
    if (!note.empty()) ctx.ui.Diagnostic(note);
  }
}

// The strengths of the raw column in GPa, ascending, notes and unit words
// dropped; w.n their number.
void ReadStrengths(RunContext& ctx, const SetColumns& cols, SetWork& w) {
  w.n = ctx.sheet.spGetCol(w.s, cols.raw, 1);
  if (w.n == 0) return;
  ctx.ui.Progress().Add(2);
  std::vector<IgnoredCell> ignored;
  ApplyUnitWords(w.s, w.n, &ignored);
  // Row 1 describes the set; any other text left out is said, so that a
  // mistyped number does not vanish without a word.
  for (const IgnoredCell& cell : ignored) {
    if (cell.row == 1) continue;
    ctx.ui.Diagnostic("set " + std::to_string(cols.raw) + ", row " + std::to_string(cell.row) +
                      ": \"" + cell.text + "\" is neither a number nor a unit word; left out");
  }
  stats::SortValues(w.s, -1);
  while (w.n > 0 && w.s[w.n].IsText()) --w.n;
  w.s.resize(w.n + 1);
  w.s[0] = Value(w.n);
  NotePlausibility(ctx, cols.raw, w);
}

// The sorted strengths, the ranks F(i) by the chosen rank function and the
// Weibull plot coordinates; the strength and ordinate columns.
void RankAndPlot(RunContext& ctx, const SetColumns& cols, SetWork& w) {
  ctx.sheet.spPutCol(w.s, cols.strength, -1, false);
  ctx.ui.Progress().Add(1);
  w.f.assign(w.n + 1, 0.0);
  w.x.assign(w.n + 1, 0.0);
  w.y.assign(w.n + 1, 0.0);
  ValueArray ordinates(w.n + 1);
  ordinates[0] = Value(w.n);
  for (int32_t i = 1; i <= w.n; ++i) {
    w.x[i] = std::log(w.S(i));
    w.f[i] = ctx.settings.FOpt == 1 ? (i - 0.5) / w.n : static_cast<double>(i) / (w.n + 1);
    w.y[i] = std::log(std::log(1 / (1 - w.f[i])));
    ordinates[i] = Finite(w.y[i]);
  }
  ctx.sheet.spPutCol(ordinates, cols.ordinate, -1, false);
}

// Every estimate of the result column, in the order of its rows.
void EstimateAll(RunContext& ctx, SetWork& w) {
  if (w.n >= 2 && LinearRegression(ctx, w)) Estimator95(ctx, w);
  DistributionPercentiles(w);
  Interpolated15(w);
  w.Put(ResultRow(w.labels, "50% interp"),
        (w.S((w.n + 1) / 2) + w.S((w.n + 2) / 2)) / 2);
  PointEstimates(w);
  Estimator90(w);
}

}  // namespace

void AnalyseWeibullSet(RunContext& ctx, int16_t n, std::string& summary) {
  worksheet::Sheet& sheet = ctx.sheet;
  const std::string set = std::to_string(n);
  const SetColumns cols(n);

  ctx.ui.Progress().set_value(10 * n);
  TitleColumns(ctx, set, cols);
  AskAboutRow1(ctx, set, cols);

  SetWork w;
  w.labels = ResultLabels();
  w.labels[0] = Value(kResultRows);
  const ValueArray result_template = ResultTemplate(w.labels);
  auto unusable = [&](const char* why) {
    sheet.spPutCell(Value(why), cols.strength, 1);
    sheet.spPutCol(result_template, cols.result, -1, false);
    summary = Summary(n, "empty");
  };

  ReadStrengths(ctx, cols, w);
  if (w.n == 0) return unusable("No Data");
  for (int32_t i = 1; i <= w.n; ++i) {
    if (w.S(i) <= 0) {
      ctx.msg.Go({.text = "Column " + set + " has a value less than or equal to zero. " +
                          "This column will be ignored",
                  .buttons = {"&Ok"},
                  .icon = 48,
                  .title = "BAD DATA"});
      return unusable("(<= 0)");
    }
  }

  RankAndPlot(ctx, cols, w);
  w.results = result_template;
  ctx.ui.Progress().Add(1);
  w.results[1] = Value(w.n);
  EstimateAll(ctx, w);

  sheet.spPutCol(w.results, cols.result, -1, false);
  summary = Summary(n, std::to_string(w.n) + " measurements");
}

}  // namespace korund::weibull
