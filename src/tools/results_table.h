// The report-ready results of an analysed worksheet: one row per analysed
// data set, its values read from the worksheet's result columns (never
// computed again), and the table written as CSV, Markdown, JSON or a
// workbook.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "notebook/notebook.h"

namespace korund::tools {

struct ResultsTable {
  std::string kind;  // "weibull", "dynamic" or "static"
  // headers[0] names the set column; the others carry their units.
  std::vector<std::string> headers;
  std::vector<std::string> glossary;  // one line per header
  struct Row {
    std::string name;                           // the data's label, else "Set n"
    std::vector<std::optional<double>> values;  // one per header after the first
  };
  std::vector<Row> rows;
  // The worksheet changed after its analysis: the values are as stored.
  bool stale = false;
};

// Reads the results of the worksheet: the kind of the analysis that wrote it
// (plot::DetectPlotKind), a row per set whose result count is a number. A cell that holds
// no number is nullopt. False with *error when the worksheet holds no
// analysis or its result labels are not where the analysis puts them.
bool BuildResultsTable(const notebook::Worksheet& sheet, ResultsTable* table, std::string* error);

// x rounded to `digits` significant digits, in the program's number form.
std::string RoundedText(double x, int digits);
double Rounded(double x, int digits);

// The table in each format; "--" (null in JSON) where there is no result.
// With glossary, each column's meaning follows the table.
std::string ResultsCsv(const ResultsTable& t, int digits, bool glossary);
std::string ResultsMarkdown(const ResultsTable& t, int digits, bool glossary);
std::string ResultsJson(const ResultsTable& t, int digits, bool glossary);
// As a notebook whose worksheet "Results" holds the table (headers as
// titles) and, with glossary, a report "Glossary": ready for WriteXlsx.
notebook::Notebook ResultsNotebook(const ResultsTable& t, int digits, bool glossary);

}  // namespace korund::tools
