// Where the analyses keep things in a worksheet: every column and row that
// an analysis writes and that its guard, the plots, the results tables and
// the studio read back. Columns and rows are 1-based.
//
// A Weibull worksheet: set n (1..10) reads column n and writes its results
// to column 20 + n, its sorted strengths to 30 + n and their Weibull
// ordinates to 40 + n. Columns 12 to 20 hold the tick percentages, the plot
// styles, the method names and the result labels, column 54 the tick
// positions and column 56 the options record.
//
// A fatigue worksheet: set s (1..6) owns the 30 columns from 30 s - 29 (its
// data, sorted pairs, rate groups, result table, styles and fitted line);
// the columns 181..183 gather every set's rate groups; column 184 holds the
// options record.
#pragma once

#include <cstdint>
#include <string>

#include "util/run_settings.h"
#include "util/value.h"

namespace korund::layout {

// The Weibull options record.
struct WeibullRecord {
  static constexpr int32_t kColumn = 56;
  static constexpr int32_t kKindRow = 2;  // kWeibullKind
  static constexpr int32_t kLockRow = 3;  // -1 locked, 0 not
  static constexpr int32_t kFOptRow = 4;  // the rank function, 0 or 1
  // Rows of earlier versions, blanked by every run.
  static constexpr int32_t kOldRow1 = 1;
  static constexpr int32_t kOldRow5 = 5;
  static constexpr int32_t kWeibullKind = kFitWeibull;
};

// The fatigue options record, shared by the dynamic and the static analysis.
struct FatigueRecord {
  static constexpr int32_t kColumn = 184;
  static constexpr int32_t kModeRow = 1;  // FatigueMode: 0, 1 or 2
  static constexpr int32_t kKindRow = 2;  // FitType: kFitDynamic or kFitStatic
  static constexpr int32_t kLockRow = 3;  // -1 locked, 0 not
  static constexpr int32_t kUnusedRow = 4;
  static constexpr int32_t kIgnoreWeakestRow = 5;
  static constexpr int32_t kGroupRatesRow = 6;
  static constexpr int32_t kRateFactorRow = 7;
  static constexpr int32_t kIgnoreByCommentRow = 8;
  static constexpr int32_t kIgnoreCharsRow = 9;
  static constexpr int32_t kVersionRow = 10;
  static constexpr int32_t kCopyDataRow = 11;
  static constexpr int32_t kSetToCopyRow = 12;
  static constexpr int32_t kMakeReportRow = 13;
  static constexpr int32_t kRows = 13;
};

// The inputs of a lifetime analysis, kept in the worksheet it writes so
// that a rerun starts from them: labels in kLabelColumn, values beside them.
struct LifetimeRecord {
  static constexpr int32_t kLabelColumn = 13;
  static constexpr int32_t kColumn = 14;
  static constexpr int32_t kKindRow = 1;  // kLifetimeKind
  static constexpr int32_t kVersionRow = 2;
  static constexpr int32_t kNFromWorksheetRow = 3;  // -1 read from a fatigue worksheet, 0 typed
  static constexpr int32_t kNRow = 4;
  static constexpr int32_t kNLowerRow = 5;  // IEC bounds of a read n, else empty
  static constexpr int32_t kNUpperRow = 6;
  static constexpr int32_t kFatigueWorksheetRow = 7;
  static constexpr int32_t kSetRow = 8;
  static constexpr int32_t kMRow = 9;
  static constexpr int32_t kBreaksRow = 10;
  static constexpr int32_t kLengthRow = 11;
  static constexpr int32_t kProofByStrainRow = 12;  // -1 strain and modulus given, 0 stress
  static constexpr int32_t kProofStressRow = 13;
  static constexpr int32_t kProofStrainRow = 14;
  static constexpr int32_t kModulusRow = 15;
  static constexpr int32_t kProofTimeRow = 16;
  static constexpr int32_t kBRow = 17;
  static constexpr int32_t kFRow = 18;
  static constexpr int32_t kServiceStressGivenRow = 19;  // -1 or 0
  static constexpr int32_t kServiceStressRow = 20;
  static constexpr int32_t kYearsRow = 21;  // the service times as typed
  static constexpr int32_t kRows = 21;
  static constexpr int32_t kLifetimeKind = kFitLifetime;
};

namespace lifetime {

// The results table: one row per service time from row 1, a column per
// quantity; the columns that do not apply stay empty and untitled.
inline constexpr int32_t kColYears = 1;
inline constexpr int32_t kColAllowed = 2;
inline constexpr int32_t kColRatio = 3;
inline constexpr int32_t kColServiceF = 4;
inline constexpr int32_t kColAllowedLower = 5;
inline constexpr int32_t kColAllowedUpper = 6;
inline constexpr int32_t kTableColumns = 6;
// The titles of the table's columns, index = column.
inline constexpr const char* kTableTitles[kTableColumns + 1] = {
    "",
    "Service time (years)",
    "Allowed stress (GPa)",
    "Allowed / proof",
    "F at service stress",
    "Allowed stress at n lower (GPa)",
    "Allowed stress at n upper (GPa)"};

// The graph's curves: allowed stress against service time in years, for n
// and its bounds, at kCurvePoints times spaced evenly in log time from one
// hour to kCurveLastYears.
inline constexpr int32_t kColCurveYears = 8;
inline constexpr int32_t kColCurveAllowed = 9;
inline constexpr int32_t kColCurveLower = 10;
inline constexpr int32_t kColCurveUpper = 11;
inline constexpr int32_t kCurvePoints = 81;
inline constexpr double kCurveLastYears = 100;

// The worksheet holds at least this many columns and rows.
inline constexpr int32_t kMinColumns = LifetimeRecord::kColumn;
inline constexpr int32_t kMinRows = kCurvePoints;
// The name of the worksheets the analysis adds: the stem and a number.
inline constexpr const char* kWorksheetStem = "Lifetime ";

}  // namespace lifetime

namespace weibull {

inline constexpr int32_t kSets = 10;
// Columns of the sheet. The style columns hold one code per set in rows
// 1..10; the tick columns one row per tick.
inline constexpr int32_t kTickLabelColumn = 12;  // tick percentages (the user may edit them)
inline constexpr int32_t kSymbolColumn = 13;
inline constexpr int32_t kColorColumn = 14;
inline constexpr int32_t kLineColumn = 15;
inline constexpr int32_t kFitColorColumn = 16;
inline constexpr int32_t kFitLineColumn = 17;
inline constexpr int32_t kMethodColumn = 19;  // method names beside their result rows
inline constexpr int32_t kLabelColumn = 20;   // the result labels
inline constexpr int32_t kResultColumn0 = 20;
inline constexpr int32_t kStrengthColumn0 = 30;
inline constexpr int32_t kOrdinateColumn0 = 40;
inline constexpr int32_t kTickColumn = 54;  // tick positions on the ordinate scale
// Every run clears this many columns from kMethodColumn on.
inline constexpr int32_t kClearedColumns = 33;
// An earlier version kept the rank function in this column, under the
// marker "F opt" in kOldOptionMarkerRow and the value in the row below.
inline constexpr int32_t kOldOptionColumn = 11;
inline constexpr int32_t kOldOptionMarkerRow = 12;
inline constexpr int32_t kOldOptionRow = 13;

// The columns of set n (1..kSets).
constexpr int32_t RawColumn(int32_t n) { return n; }
constexpr int32_t ResultColumn(int32_t n) { return kResultColumn0 + n; }
constexpr int32_t StrengthColumn(int32_t n) { return kStrengthColumn0 + n; }
constexpr int32_t OrdinateColumn(int32_t n) { return kOrdinateColumn0 + n; }

// The tick percentages used when the worksheet gives too few.
inline constexpr double kDefaultTickPercents[] = {1, 3, 5, 10, 20, 40, 60, 80, 90, 99};

// The worksheet the guard loads is at least this large.
inline constexpr int32_t kMinColumns = WeibullRecord::kColumn;
inline constexpr int32_t kResultRows = 38;
inline constexpr int32_t kMinRows = kResultRows;

// What a result that cannot be computed shows.
inline constexpr const char* kNoResult = "--";

// The result labels, index = row of a set's result column; element 0 is ""
// (the count takes its place in the worksheet).
inline constexpr const char* kResultLabels[kResultRows + 1] = {
    "",          "N",          "m",          "Dm",         "So",
    "DSo",       "c",          "Dc",         "R",          "",
    "mle",       "Iter",       "m",          "m-",         "m+",
    "So",        "So-",        "So+",        "conf%",      "",
    "15% distn", "50% distn",  "15% interp", "50% interp", "",
    "A: md",     "A: So",      "B: md",      "B: So",      "",
    "md",        "So",         "",           "m",          "m.upper",
    "m.lower",   "So",         "So.upper",   "So.lower"};

// Rows of a set's result column.
inline constexpr int32_t kRowN = 1;
// The least-squares line y = m ln x + c with twice the standard errors.
inline constexpr int32_t kRowM = 2;
inline constexpr int32_t kRowDm = 3;
inline constexpr int32_t kRowSo = 4;
inline constexpr int32_t kRowDSo = 5;
inline constexpr int32_t kRowC = 6;
inline constexpr int32_t kRowDc = 7;
inline constexpr int32_t kRowR = 8;
// The maximum-likelihood estimator at 95 %.
inline constexpr int32_t kRowMle = 10;
inline constexpr int32_t kRowMleM = 12;
inline constexpr int32_t kRowMleMLower = 13;
inline constexpr int32_t kRowMleMUpper = 14;
inline constexpr int32_t kRowMleSo = 15;
inline constexpr int32_t kRowMleSoLower = 16;
inline constexpr int32_t kRowMleSoUpper = 17;
// Strengths at 15 % and 50 % failure of the fitted distribution.
inline constexpr int32_t kRow15Distn = 20;
inline constexpr int32_t kRow50Distn = 21;
// Two-point estimates: FOTP-28 (A) and IEC 60793-1-33.
inline constexpr int32_t kRowAm = 25;
inline constexpr int32_t kRowASo = 26;
inline constexpr int32_t kRowIecM = 30;
inline constexpr int32_t kRowIecSo = 31;
// The estimator at 90 % (ASTM C1239).
inline constexpr int32_t kRowC1239MUpper = 34;
inline constexpr int32_t kRowC1239MLower = 35;
inline constexpr int32_t kRowC1239SoUpper = 37;
inline constexpr int32_t kRowC1239SoLower = 38;

// kResultLabels as values: 39 texts, index = worksheet row.
ValueArray ResultLabels();

// A copy of labels in which every non-empty label of rows 1..38 is "--" and
// element 0 is the count 38: the result column before anything is computed.
ValueArray ResultTemplate(const ValueArray& labels);

// The row of the first occurrence of label in labels (-1 if none).
int32_t ResultRow(const ValueArray& labels, const char* label);

}  // namespace weibull

namespace fatigue {

inline constexpr int32_t kSets = 6;

// Offsets inside a data set's block of 30 columns.
inline constexpr int32_t kColId = 0;
inline constexpr int32_t kColRawY = 1;
inline constexpr int32_t kColRawX = 2;
inline constexpr int32_t kColSortY = 3;
inline constexpr int32_t kColSortX = 4;
inline constexpr int32_t kColGroupX = 5;
inline constexpr int32_t kColGroupY = 6;
inline constexpr int32_t kColGroupLow = 7;
inline constexpr int32_t kColGroupHigh = 8;
inline constexpr int32_t kColCount = 9;
inline constexpr int32_t kColUse = 10;
inline constexpr int32_t kColLabels = 11;  // the result labels
inline constexpr int32_t kColValues = 12;  // the results, beside their labels
// Style codes, in kStyleRow.
inline constexpr int32_t kStyleRow = 1;
inline constexpr int32_t kColSymbol = 13;
inline constexpr int32_t kColColor = 14;
inline constexpr int32_t kColFill = 15;
inline constexpr int32_t kColLine = 16;
inline constexpr int32_t kColLineColor = 17;
// The two end points of the fitted line.
inline constexpr int32_t kColLineX = 18;
inline constexpr int32_t kColLineY = 19;
inline constexpr int32_t kLineFromRow = 1;
inline constexpr int32_t kLineToRow = 2;

// Worksheet column of offset k in the block of data set s (1..6).
constexpr int32_t SetColumn(int32_t s, int32_t k) { return 30 * s - 29 + k; }

// Columns shared by all sets.
inline constexpr int32_t kColFitX = 181;
inline constexpr int32_t kColFitY = 182;
inline constexpr int32_t kColFitErr = 183;
inline constexpr int32_t kColParms = FatigueRecord::kColumn;

// The worksheet the guard loads has at least this many rows.
inline constexpr int32_t kMinRows = 25;

// Rows of a set's result table (labels in kColLabels, values in kColValues).
// The parameter is nd (dynamic) or ns (static), with its bounds at twice
// the slope's standard error and, in the IEC 60793-1-33 form, 1.96 times.
inline constexpr int32_t kRowN = 1;
inline constexpr int32_t kRowParam = 2;
inline constexpr int32_t kRowParamLower = 3;
inline constexpr int32_t kRowParamUpper = 4;
inline constexpr int32_t kRowSlope = 5;
inline constexpr int32_t kRowSlopeError = 6;
inline constexpr int32_t kRowIntercept = 7;
inline constexpr int32_t kRowInterceptError = 8;
inline constexpr int32_t kRowR2 = 9;
inline constexpr int32_t kRowIecTitle = 11;
inline constexpr int32_t kRowIecLower = 12;
inline constexpr int32_t kRowIecUpper = 13;
inline constexpr int32_t kRowLnIntercept = 16;
inline constexpr int32_t kRowLnInterceptError = 17;
// The results table of a set ends at this row.
inline constexpr int32_t kResultTableRows = 17;

// The label the analysis writes beside row `row` of the result table, for
// the parameter name `param` ("nd" or "ns"); "" for a row without one.
std::string ResultLabel(int32_t row, const std::string& param);

}  // namespace fatigue

}  // namespace korund::layout
