// First stage of a data set's analysis: the set's columns are titled and
// blanked, its style cells defaulted, and its raw rows turned into a clean
// list of (x, y) pairs. Rows that cannot be used are not deleted: a tag in
// front of their x (and y) makes them text, and text sorts behind every
// number, so after sorting the usable pairs are exactly the first n_v.

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "fatigue/fatigue_run.h"
#include "stats/sort.h"
#include "util/plot_styles.h"
#include "util/text.h"
#include "util/units.h"
#include "worksheet/plausibility.h"

namespace korund::fatigue {

namespace {

Value Tagged(const std::string& tag, const Value& v) { return Value(tag + ToText(v)); }

std::string Numbered(const std::string& head, int16_t s) { return head + std::to_string(s); }

void TitleAndClear(worksheet::Sheet& sheet, int32_t column, const std::string& title) {
  sheet.spClearCols(column, 1, false, title);
}

void LayOutSet(FatigueRun& run, int16_t s) {
  auto& sheet = run.ctx.sheet;
  auto& settings = run.ctx.settings;
  auto& progress = run.ctx.ui.Progress();
  const std::string xs = ToText(run.XShort);
  const std::string ys = ToText(run.YShort);
  auto col = [s](int32_t k) { return SetColumn(s, k); };

  sheet.spPutTitle(Numbered("ID ", s), col(kColId));
  sheet.spPutTitle(Numbered("raw " + ys + " ", s), col(kColRawY));
  sheet.spPutTitle(Numbered("raw " + xs + " ", s), col(kColRawX));
  sheet.spPutTitle(Numbered("symb ", s), col(kColSymbol));
  sheet.spPutTitle(Numbered("color ", s), col(kColColor));
  sheet.spPutTitle(Numbered("fill ", s), col(kColFill));
  progress.Add(1);
  sheet.spPutTitle(Numbered("line ", s), col(kColLine));
  sheet.spPutTitle(Numbered("linecol ", s), col(kColLineColor));
  sheet.spPutTitle(Numbered("use ", s), col(kColUse));

  TitleAndClear(sheet, col(kColSortY), Numbered("sort " + ys + " ", s));
  TitleAndClear(sheet, col(kColSortX), Numbered("sort " + xs + " ", s));

  // A style code the user put in the style row survives; anything else is replaced.
  const Value symbol = settings.SymbolCodes.size() > static_cast<size_t>(s)
                           ? settings.SymbolCodes[s] : Value("");
  const Value color = settings.ColorCodes.size() > static_cast<size_t>(s)
                          ? settings.ColorCodes[s] : Value("");
  if (!IsSymbolCode(sheet.spGetCell(col(kColSymbol), kStyleRow))) {
    sheet.spPutCell(symbol, col(kColSymbol), kStyleRow);
  }
  for (int32_t k : {kColColor, kColFill}) {
    if (!IsColorCode(sheet.spGetCell(col(k), kStyleRow))) sheet.spPutCell(color, col(k), kStyleRow);
  }
  if (!IsLineCode(sheet.spGetCell(col(kColLine), kStyleRow))) {
    sheet.spPutCell(Value("@line(1)"), col(kColLine), kStyleRow);
  }
  if (!IsColorCode(sheet.spGetCell(col(kColLineColor), kStyleRow))) {
    sheet.spPutCell(color, col(kColLineColor), kStyleRow);
  }
  progress.Add(1);

  TitleAndClear(sheet, col(kColGroupX), Numbered(xs + " ", s));
  TitleAndClear(sheet, col(kColGroupY), Numbered(ys + " ", s));
  TitleAndClear(sheet, col(kColGroupLow), Numbered(ys + "- ", s));
  progress.Add(1);
  TitleAndClear(sheet, col(kColGroupHigh), Numbered(ys + "+ ", s));
  TitleAndClear(sheet, col(kColCount), Numbered("count ", s));
  TitleAndClear(sheet, kColFitX, "fit X");
  TitleAndClear(sheet, kColFitY, "fit Y");
  TitleAndClear(sheet, kColFitErr, "fit err");
  TitleAndClear(sheet, col(kColLabels), Numbered("results ", s));
  TitleAndClear(sheet, col(kColValues), Numbered("= ", s));
  TitleAndClear(sheet, col(kColLineX), Numbered("regnX ", s));
  TitleAndClear(sheet, col(kColLineY), Numbered("regnY ", s));
  progress.Add(1);
}

// A number typed as text ("12.5") is a measurement like any other; held as
// text it would sort among the tagged rows yet be counted as usable.
void NumbersFromText(ValueArray& data) {
  for (size_t i = 1; i < data.size(); ++i) {
    if (data[i].IsText() && IsValidNumber(data[i])) data[i] = Value(*ToNumber(data[i]));
  }
}

void Pad(ValueArray& data, int32_t n) {
  if (static_cast<int32_t>(data.size()) < n + 1) data.resize(n + 1, Value(""));
  data[0] = Value(n);
}

// Reads the set's comment, x and y columns into the run, padded to the
// longest of x and y; returns that length.
int32_t ReadSet(FatigueRun& run, int16_t s) {
  auto& sheet = run.ctx.sheet;
  sheet.spGetCol(run.Comments, SetColumn(s, kColId), 1);
  const int32_t nx = sheet.spGetCol(run.XData, SetColumn(s, kColRawX), 1);
  int32_t n = sheet.spGetCol(run.YData, SetColumn(s, kColRawY), 1);
  NumbersFromText(run.XData);
  NumbersFromText(run.YData);

  // A ragged end: the shorter column is padded with empty cells.
  n = std::max(n, nx);
  Pad(run.XData, n);
  Pad(run.YData, n);
  Pad(run.Comments, n);
  return n;
}

// Texts in the y and x columns that are neither a unit word nor "FACTOR"
// with its factor are left out of the fit; each is said, so that a mistyped
// number does not vanish without a word.
void ReportIgnoredCells(FatigueRun& run, int16_t s, int32_t n) {
  const Quantity quantity =
      run.ctx.settings.FitType == kFitStatic ? Quantity::kTime : Quantity::kStrength;
  auto report = [&](int32_t offset, int32_t row, const std::string& text) {
    run.ctx.ui.Diagnostic("set " + std::to_string(s) + ", column " +
                          std::to_string(SetColumn(s, offset)) + ", row " + std::to_string(row) +
                          ": \"" + text + "\" is neither a number nor a unit word; left out");
  };
  for (int32_t i = 1; i <= n; ++i) {
    const Value& y = run.YData[i];
    const Value& x = run.XData[i];
    bool factor_row = false;
    if (y.IsText() && !y.IsBlank()) {
      const std::string word = UnitWord(y.Text());
      if (word == kFactorWord) {
        factor_row = true;
      } else if (!UnitFactor(quantity, word)) {
        report(kColRawY, i, y.Text());
      }
    }
    if (x.IsText() && !x.IsBlank() && !factor_row) report(kColRawX, i, x.Text());
  }
}

// A row whose comment starts with one of the trigger characters is tagged
// with that character.
void TagByComment(FatigueRun& run, int32_t n) {
  auto& X = run.XData;
  auto& Y = run.YData;
  const std::vector<std::string_view> triggers = SplitCharacters(run.ctx.settings.IgnoreChars);
  for (int32_t i = 1; i <= n; ++i) {
    const std::string comment = ToText(run.Comments[i]);
    if (comment.empty()) continue;
    const std::string_view first = std::string_view(comment).substr(0, CharLength(comment, 0));
    for (const std::string_view c : triggers) {
      if (first == c) {
        const std::string tag = std::string(c) + " ";
        X[i] = Tagged(tag, X[i]);
        Y[i] = Tagged(tag, Y[i]);
      }
    }
  }
}

// Unit words rescale the y values below them, until the next unit word.
// Unmarked strengths are GPa and unmarked times seconds.
void ScaleByUnitWords(FatigueRun& run, int32_t n) {
  auto& X = run.XData;
  auto& Y = run.YData;
  const Quantity quantity =
      run.ctx.settings.FitType == kFitStatic ? Quantity::kTime : Quantity::kStrength;
  double unit_factor = 1.0;
  for (int32_t i = 1; i <= n; ++i) {
    if (IsValidNumber(X[i]) && IsValidNumber(Y[i])) {
      // A product beyond the range of doubles is no measurement: "--"
      // makes the row unusable like any other text.
      Y[i] = CellNumber(unit_factor * *ToNumber(Y[i]));
    }
    if (Y[i].IsText()) {
      const std::string word = UnitWord(Y[i].Text());
      if (const auto factor = UnitFactor(quantity, word)) {
        unit_factor = *factor;
      } else if (word == kFactorWord && IsValidNumber(X[i])) {
        unit_factor = *ToNumber(X[i]);
      }
    }
  }
}

// Empty cells become "...", an x beside a y that is no number is quoted,
// and a pair with a value not above zero is tagged "V".
void TagUnusable(FatigueRun& run, int32_t n) {
  auto& X = run.XData;
  auto& Y = run.YData;
  for (int32_t i = 1; i <= n; ++i) {
    if (X[i].IsBlank()) X[i] = Value("...");
    if (Y[i].IsBlank()) Y[i] = Value("...");
    if (IsNumeric(X[i]) && !IsNumeric(Y[i])) X[i] = Value("'" + ToText(X[i]) + "'");
  }

  for (int32_t i = 1; i <= n; ++i) {
    if (IsValidNumber(X[i]) && IsValidNumber(Y[i]) &&
        (*ToNumber(X[i]) <= 0.0 || *ToNumber(Y[i]) <= 0.0)) {
      X[i] = Tagged("V ", X[i]);
      Y[i] = Tagged("V  ", Y[i]);
    }
  }
}

// Sorts the pairs, writes them to the sort columns and returns the number
// of usable pairs, which now come first.
int32_t SortAndCount(FatigueRun& run, int16_t s, int32_t n) {
  auto& X = run.XData;
  auto& Y = run.YData;
  // By x ascending and, within equal x, y descending (the sort is stable).
  stats::SortPairs(Y, X, n, false);
  stats::SortPairs(X, Y, n, true);
  run.ctx.sheet.spPutCol(X, SetColumn(s, kColSortX), n, false);
  run.ctx.sheet.spPutCol(Y, SetColumn(s, kColSortY), n, false);

  // Every usable x is a number and numbers sort first. (A trigger character
  // that leaves a tagged x reading as a number must not count it as usable.)
  int32_t n_v = 0;
  while (n_v < n && X[n_v + 1].IsNumber()) ++n_v;
  X[0] = Value(n_v);
  Y[0] = Value(n_v);
  return n_v;
}

// Says what about the usable pairs looks wrong although they analyse: the
// strengths (dynamic) or applied stresses (static) in GPa, and either
// column all one value.
void NotePlausibility(FatigueRun& run, int16_t s) {
  const bool is_static = run.ctx.settings.FitType == kFitStatic;
  static constexpr worksheet::ValueWords kStrengths{"strength", "strengths", " GPa"};
  static constexpr worksheet::ValueWords kStresses{"stress", "stresses", " GPa"};
  static constexpr worksheet::ValueWords kRates{"rate", "rates", ""};
  static constexpr worksheet::ValueWords kTimes{"time", "times", " s"};
  std::vector<double> x, y;
  for (int32_t i = 1; i <= run.n_v; ++i) {
    x.push_back(*ToNumber(run.XData[i]));
    y.push_back(*ToNumber(run.YData[i]));
  }
  const auto& stress = is_static ? x : y;
  const auto& other = is_static ? y : x;
  const auto& stress_words = is_static ? kStresses : kStrengths;
  // Static stresses carry no unit words: MPa must be turned into GPa by hand.
  const char* advice = is_static ? "if they are in MPa, enter them in GPa"
                                 : "if they are in MPa, put MPA above them";
  for (const std::string& note :
       {worksheet::HighStrengthNote(s, stress, stress_words, advice),
        worksheet::FewValuesNote(s, stress.size(), stress_words),
        worksheet::AllEqualNote(s, stress, stress_words),
        worksheet::AllEqualNote(s, other, is_static ? kTimes : kRates)}) {
    if (!note.empty()) run.ctx.ui.Diagnostic(note);
  }
}

}  // namespace

bool PrepareAndCleanSet(FatigueRun& run, int16_t s, std::string& summary) {
  const auto& settings = run.ctx.settings;
  run.n_v = 0;
  run.nGroups = 0;

  run.ReportText.AddLine(Numbered("DATA SET ", s));
  run.ctx.ui.Progress().set_value(10 * s);
  LayOutSet(run, s);

  const int32_t n = ReadSet(run, s);
  if (n < 1) {
    summary = "Set " + std::to_string(s) + ":\tempty";
    run.ReportText.AddLine("empty");
    if (settings.CopyData && settings.SetToCopy == s) run.ctx.ui.ClearClipboard();
    return false;
  }

  ReportIgnoredCells(run, s, n);
  if (settings.IgnoreByComment) TagByComment(run, n);
  ScaleByUnitWords(run, n);
  TagUnusable(run, n);
  run.n_v = SortAndCount(run, s, n);
  if (run.n_v == 0) {
    summary = "Set " + std::to_string(s) + " is empty";
    run.ReportText.AddLine("empty");
    return false;
  }

  NotePlausibility(run, s);
  run.ReportText.AddLine(std::to_string(run.n_v) + " total measurements");
  run.ReportText.AddLine("rate\tstrength\t\xC2\xB1\tcount");
  run.ctx.ui.Progress().Add(1);
  return true;
}

}  // namespace korund::fatigue
