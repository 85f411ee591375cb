// The report-ready results of an analysed worksheet: one row per analysed
// data set, its values read from the worksheet's result columns (never
// computed again), and the table written as CSV, Markdown, JSON or a
// workbook.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "notebook/notebook.h"

namespace korund::tools {

// One result: a number, a text (a test's verdict), or neither ("--").
struct ResultValue {
  std::optional<double> number;
  std::string text;  // a text result when not empty
  // A number, or nothing, reads as itself.
  ResultValue() = default;
  ResultValue(double n) : number(n) {}                 // NOLINT
  ResultValue(std::nullopt_t) {}                       // NOLINT
  ResultValue(std::optional<double> n) : number(n) {}  // NOLINT
  explicit ResultValue(std::string t) : text(std::move(t)) {}
};

struct ResultsTable {
  std::string kind;  // "weibull", "dynamic" or "static"
  // headers[0] names the set column; the others carry their units.
  std::vector<std::string> headers;
  std::vector<std::string> glossary;  // one line per header
  struct Row {
    std::string name;                 // the data's label, else "Set n"
    std::vector<ResultValue> values;  // one per header after the first
  };
  std::vector<Row> rows;
  // The worksheet changed after its analysis: the values are as stored.
  bool stale = false;
};

// The Weibull table's fit checks: the strengths at these failure
// probabilities with their bounds at this confidence (both in percent,
// strictly between 0 and 100).
struct FitCheckOptions {
  std::vector<double> quantiles = {1};
  double confidence = 95;
};

// Reads the results of the worksheet: the kind of the analysis that wrote it
// (plot::DetectPlotKind), a row per set whose result count is a number. A cell that holds
// no number is nullopt. A Weibull table adds the goodness of fit and the
// strengths of `checks`, computed from the worksheet's sorted strengths and
// raw MLE m and So (plot::CheckWeibullFit). False with *error when the
// worksheet holds no analysis or its result labels are not where the
// analysis puts them.
bool BuildResultsTable(const notebook::Worksheet& sheet, ResultsTable* table, std::string* error,
                       const FitCheckOptions& checks = {});

// x rounded to `digits` significant digits, in the program's number form.
std::string RoundedText(double x, int digits);
double Rounded(double x, int digits);

// One value as every format shows it: its text, the number rounded to
// `digits`, or "--".
std::string ResultText(const ResultValue& v, int digits);

// The table in each format; "--" (null in JSON) where there is no result.
// With glossary, each column's meaning follows the table.
std::string ResultsCsv(const ResultsTable& t, int digits, bool glossary);
std::string ResultsMarkdown(const ResultsTable& t, int digits, bool glossary);
std::string ResultsJson(const ResultsTable& t, int digits, bool glossary);
// As a notebook whose worksheet "Results" holds the table (headers as
// titles) and, with glossary, a report "Glossary": ready for WriteXlsx.
notebook::Notebook ResultsNotebook(const ResultsTable& t, int digits, bool glossary);

}  // namespace korund::tools
