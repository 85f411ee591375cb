#include "tools/results_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "notebook/csv.h"
#include "plot/plot_builder.h"
#include "plot/weibull_fit_check.h"
#include "stats/normal_quantile.h"
#include "util/worksheet_layout.h"

namespace korund::tools {
namespace {

using notebook::Worksheet;

// One column of the table: where its value lies in a set's result column
// (the row, whose label the analysis writes beside it), its header and its
// meaning.
struct Field {
  int32_t row;
  std::string header;
  std::string meaning;
};

std::vector<Field> WeibullFields() {
  namespace wl = layout::weibull;
  return {
      {wl::kRowN, "N", "number of strengths analysed"},
      {wl::kRowM, "LS m", "Weibull modulus from the least-squares line through the Weibull plot"},
      {wl::kRowSo, "LS So (GPa)", "scale strength (63.2 % failure) from the least-squares line"},
      {wl::kRowMle, "MLE m",
       "maximum-likelihood Weibull modulus as estimated (the plot's MLE line uses it)"},
      {wl::kRowMleM, "MLE m (unbiased)", "MLE m corrected for its small-sample bias"},
      {wl::kRowMleMLower, "MLE m lower 95%", "lower 95 % confidence bound of MLE m"},
      {wl::kRowMleMUpper, "MLE m upper 95%", "upper 95 % confidence bound of MLE m"},
      {wl::kRowMleSo, "MLE So (GPa)", "maximum-likelihood scale strength (63.2 % failure)"},
      {wl::kRowMleSoLower, "MLE So lower 95% (GPa)", "lower 95 % confidence bound of the MLE scale"},
      {wl::kRowMleSoUpper, "MLE So upper 95% (GPa)", "upper 95 % confidence bound of the MLE scale"},
      {wl::kRow15Distn, "15% strength (GPa)",
       "strength at 15 % failure probability of the distribution with MLE So and MLE m "
       "(unbiased) (GR-20)"},
      {wl::kRow50Distn, "50% strength (GPa)",
       "strength at 50 % failure probability of that distribution (GR-20)"},
      {wl::kRowAm, "FOTP-28 m", "two-point Weibull modulus after FOTP-28 / ITM-13"},
      {wl::kRowASo, "FOTP-28 So (GPa)", "two-point scale strength after FOTP-28 / ITM-13"},
      {wl::kRowIecM, "IEC m", "bracketed two-point Weibull modulus after IEC 60793-1-33"},
      {wl::kRowIecSo, "IEC So (GPa)", "bracketed two-point scale strength after IEC 60793-1-33"},
      {wl::kRowC1239MLower, "C1239 m lower 90%", "lower 90 % bound of the modulus after ASTM C1239"},
      {wl::kRowC1239MUpper, "C1239 m upper 90%", "upper 90 % bound of the modulus after ASTM C1239"},
      {wl::kRowC1239SoLower, "C1239 So lower 90% (GPa)",
       "lower 90 % bound of the scale strength after ASTM C1239"},
      {wl::kRowC1239SoUpper, "C1239 So upper 90% (GPa)",
       "upper 90 % bound of the scale strength after ASTM C1239"},
  };
}

std::vector<Field> FatigueFields(bool dynamic) {
  namespace fl = layout::fatigue;
  const std::string n = dynamic ? "nd" : "ns";
  const std::string what = dynamic ? "dynamic" : "static";
  const std::string log_unit = dynamic ? "log10 GPa" : "log10 s";
  return {
      {fl::kRowN, "N", "number of measurements in the fit"},
      {fl::kRowParam, n, what + " fatigue parameter from the log-log regression"},
      {fl::kRowParamLower, n + " lower (2 SE)", "lower bound, slope + 2 standard errors"},
      {fl::kRowParamUpper, n + " upper (2 SE)", "upper bound, slope - 2 standard errors"},
      {fl::kRowIecLower, n + " lower (IEC)",
       "lower bound after IEC 60793-1-33, slope + 1.96 standard errors"},
      {fl::kRowIecUpper, n + " upper (IEC)",
       "upper bound after IEC 60793-1-33, slope - 1.96 standard errors"},
      {fl::kRowSlope, "slope",
       dynamic ? "slope of log10 strength against log10 rate"
               : "slope of log10 time to failure against log10 stress"},
      {fl::kRowIntercept, "intercept (" + log_unit + ")", "intercept of that line"},
      {fl::kRowR2, "R\xC2\xB2", "coefficient of determination of the fit"},
  };
}

std::optional<double> NumberAt(const Worksheet& sheet, int32_t column, int32_t row) {
  Value v = sheet.Cell(column, row);
  if (v.IsNumber() && std::isfinite(v.Number())) return v.Number();
  return std::nullopt;
}

std::string SetName(const Worksheet& sheet, const std::vector<int32_t>& data_columns, int n) {
  for (int32_t c : data_columns) {
    const notebook::Column* column = sheet.FindColumn(c);
    if (column != nullptr && column->label && !column->label->empty()) return *column->label;
  }
  return "Set " + std::to_string(n);
}

// Checks the labels beside a set's values (label_of(row) is what the
// analysis writes there), so that a worksheet laid out otherwise is not read
// as results.
template <typename LabelOf>
bool LabelsMatch(const Worksheet& sheet, int32_t label_column, const std::vector<Field>& fields,
                 const LabelOf& label_of, std::string* error) {
  for (const Field& f : fields) {
    const std::string expected = label_of(f.row);
    Value label = sheet.Cell(label_column, f.row);
    if (!label.IsText() || label.Text() != expected) {
      *error = "column " + std::to_string(label_column) + " row " + std::to_string(f.row) +
               " should hold the result label \"" + expected + "\", not \"" + ToText(label) +
               "\"; analyse the worksheet again";
      return false;
    }
  }
  return true;
}

void StartTable(const std::vector<Field>& fields, ResultsTable* table) {
  table->headers = {"Set"};
  table->glossary = {"Set: the data set, by the name its data column carries"};
  for (const Field& f : fields) {
    table->headers.push_back(f.header);
    table->glossary.push_back(f.header + ": " + f.meaning);
  }
}

// The goodness-of-fit and quantile columns after the Weibull fields.
void AddFitCheckHeaders(const FitCheckOptions& checks, ResultsTable* table) {
  auto add = [table](const std::string& header, const std::string& meaning) {
    table->headers.push_back(header);
    table->glossary.push_back(header + ": " + meaning);
  };
  add("A-D A\xC2\xB2",
      "Anderson-Darling statistic of the strengths against the maximum-likelihood Weibull "
      "distribution (MLE m and So before the bias correction)");
  add("A-D A\xC2\xB2*", "A\xC2\xB2 times (1 + 0.2/sqrt(N)), the form the critical values are for");
  add("A-D p",
      "significance band of A\xC2\xB2* (critical values 0.637, 0.757, 0.877, 1.038 at 10, 5, "
      "2.5, 1 %); a small p says one Weibull distribution does not describe the set");
  const std::string c = FormatNumber(checks.confidence);
  for (double q : checks.quantiles) {
    const std::string s = "S(" + FormatNumber(q) + "%)";
    add(s + " (GPa)", "strength at " + FormatNumber(q) +
                          " % failure probability of the maximum-likelihood Weibull distribution");
    add(s + " lower " + c + "% (GPa)", "lower " + c +
                                           " % pointwise confidence bound of that strength "
                                           "(Fisher matrix, large-sample)");
    add(s + " upper " + c + "% (GPa)",
        "upper " + c + " % pointwise confidence bound of that strength");
  }
}

// Set n's values of the columns AddFitCheckHeaders adds.
std::vector<ResultValue> FitCheckValues(const Worksheet& sheet, int n,
                                        const FitCheckOptions& checks) {
  const plot::WeibullFitCheck check = plot::CheckWeibullFit(sheet, n);
  std::vector<ResultValue> values;
  if (const auto& ad = check.anderson_darling) {
    values.insert(values.end(), {ResultValue(ad->a2), ResultValue(ad->a2_star),
                                 ResultValue(stats::FitBandText(ad->band))});
  } else {
    values.resize(3);
  }
  const double z = stats::TwoSidedNormalFactor(checks.confidence / 100);
  for (double q : checks.quantiles) {
    std::optional<stats::QuantileBounds> b;
    if (check.covariance) {
      const auto r = stats::WeibullQuantileBounds(*check.covariance, q / 100, z);
      if (r.ok()) b = *r;
    }
    if (b) {
      values.insert(values.end(),
                    {ResultValue(b->strength), ResultValue(b->lower), ResultValue(b->upper)});
    } else {
      values.resize(values.size() + 3);
    }
  }
  return values;
}

// A row per Weibull set that has results. False with *error when the result
// labels are not where the analysis puts them.
bool ReadWeibullRows(const Worksheet& sheet, const std::vector<Field>& fields,
                     const FitCheckOptions& checks, ResultsTable* table, std::string* error) {
  namespace wl = layout::weibull;
  auto label_of = [](int32_t row) { return std::string(wl::kResultLabels[row]); };
  bool labels_checked = false;
  for (int n = 1; n <= wl::kSets; ++n) {
    const int32_t values = wl::ResultColumn(n);
    if (!NumberAt(sheet, values, wl::kRowN)) continue;
    if (!labels_checked && !LabelsMatch(sheet, wl::kLabelColumn, fields, label_of, error)) {
      return false;
    }
    labels_checked = true;
    ResultsTable::Row row{SetName(sheet, {wl::RawColumn(n)}, n), {}};
    for (const Field& f : fields) row.values.push_back(NumberAt(sheet, values, f.row));
    for (ResultValue& v : FitCheckValues(sheet, n, checks)) row.values.push_back(std::move(v));
    table->rows.push_back(std::move(row));
  }
  return true;
}

// A row per fatigue set that has results; false as ReadWeibullRows.
bool ReadFatigueRows(const Worksheet& sheet, const std::vector<Field>& fields, bool dynamic,
                     ResultsTable* table, std::string* error) {
  namespace fl = layout::fatigue;
  const std::string param = dynamic ? "nd" : "ns";
  auto label_of = [&](int32_t row) { return fl::ResultLabel(row, param); };
  for (int s = 1; s <= fl::kSets; ++s) {
    auto col = [s](int32_t offset) { return fl::SetColumn(s, offset); };
    const int32_t values = col(fl::kColValues);
    if (!NumberAt(sheet, values, fl::kRowN)) continue;
    if (!LabelsMatch(sheet, col(fl::kColLabels), fields, label_of, error)) return false;
    ResultsTable::Row row{
        SetName(sheet, {col(fl::kColRawY), col(fl::kColRawX), col(fl::kColId)}, s), {}};
    for (const Field& f : fields) row.values.push_back(NumberAt(sheet, values, f.row));
    table->rows.push_back(std::move(row));
  }
  return true;
}

// A lifetime worksheet: a row per service time, a column per quantity the
// analysis titled.
bool ReadLifetimeRows(const Worksheet& sheet, ResultsTable* table, std::string* error) {
  namespace L = layout::lifetime;
  static const char* const kMeanings[L::kTableColumns + 1] = {
      "",
      "the service time, a year being 365.25 days",
      "the constant service stress at which the length fails within the service time with the "
      "target failure probability F",
      "the allowed stress as a fraction of the proof stress",
      "the probability that the length fails within the service time at the given service "
      "stress",
      "the allowed stress with n at the lower IEC bound of the fatigue worksheet",
      "the allowed stress with n at the upper IEC bound of the fatigue worksheet"};
  std::vector<int32_t> columns;
  for (int32_t c = 1; c <= L::kTableColumns; ++c) {
    const notebook::Column* column = sheet.FindColumn(c);
    if (column != nullptr && column->title == std::string(L::kTableTitles[c])) {
      columns.push_back(c);
    }
  }
  if (columns.empty() || columns.front() != L::kColYears) {
    *error = "the lifetime results table is not where the analysis puts it";
    return false;
  }
  for (int32_t c : columns) {
    table->headers.push_back(L::kTableTitles[c]);
    table->glossary.push_back(std::string(L::kTableTitles[c]) + ": " + kMeanings[c]);
  }
  for (int32_t row = 1;; ++row) {
    const std::optional<double> years = NumberAt(sheet, L::kColYears, row);
    if (!years) break;
    ResultsTable::Row r;
    r.name = FormatNumber(*years);
    for (size_t i = 1; i < columns.size(); ++i) {
      r.values.push_back(NumberAt(sheet, columns[i], row));
    }
    table->rows.push_back(std::move(r));
  }
  return true;
}

}  // namespace

bool BuildResultsTable(const Worksheet& sheet, ResultsTable* table, std::string* error,
                       const FitCheckOptions& checks) {
  *table = ResultsTable();
  const std::optional<plot::PlotKind> kind = plot::DetectPlotKind(sheet);
  if (!kind) {
    *error = "the worksheet holds no analysis results (its options record, column " +
             std::to_string(layout::WeibullRecord::kColumn) + " or " +
             std::to_string(layout::FatigueRecord::kColumn) +
             ", is not one korund wrote); run korund weibull, dynamic or static on it first";
    return false;
  }
  table->kind = plot::KindName(*kind);
  if (*kind == plot::PlotKind::kLifetime) return ReadLifetimeRows(sheet, table, error);
  if (*kind == plot::PlotKind::kWeibull) {
    const std::vector<Field> fields = WeibullFields();
    StartTable(fields, table);
    AddFitCheckHeaders(checks, table);
    return ReadWeibullRows(sheet, fields, checks, table, error);
  }
  const bool dynamic = *kind == plot::PlotKind::kDynamic;
  const std::vector<Field> fields = FatigueFields(dynamic);
  StartTable(fields, table);
  return ReadFatigueRows(sheet, fields, dynamic, table, error);
}

double Rounded(double x, int digits) {
  if (!std::isfinite(x) || x == 0) return x;
  char text[64];
  std::snprintf(text, sizeof text, "%.*e", digits - 1, x);
  return std::strtod(text, nullptr);
}

std::string RoundedText(double x, int digits) { return FormatNumber(Rounded(x, digits)); }

namespace {


std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    unsigned char u = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (u < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", u);
      out += esc;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string MarkdownText(const std::string& s) {
  std::string out;
  for (char ch : s) {
    if (ch == '|') out += '\\';
    out += (ch == '\r' || ch == '\n') ? ' ' : ch;
  }
  return out;
}

}  // namespace

std::string ResultText(const ResultValue& v, int digits) {
  if (!v.text.empty()) return v.text;
  return v.number ? RoundedText(*v.number, digits) : "--";
}

std::string ResultsCsv(const ResultsTable& t, int digits, bool glossary) {
  std::string text;
  auto line = [&](const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
      text += (i > 0 ? "," : "") + notebook::CsvField(fields[i], ',');
    }
    text += "\r\n";
  };
  line(t.headers);
  for (const auto& row : t.rows) {
    std::vector<std::string> fields = {row.name};
    for (const auto& v : row.values) fields.push_back(ResultText(v, digits));
    line(fields);
  }
  if (glossary) {
    text += "\r\n";
    for (const std::string& g : t.glossary) line({g});
  }
  return text;
}

std::string ResultsMarkdown(const ResultsTable& t, int digits, bool glossary) {
  std::string text = "|";
  for (const std::string& h : t.headers) text += " " + MarkdownText(h) + " |";
  text += "\n|";
  for (size_t i = 0; i < t.headers.size(); ++i) text += i == 0 ? " --- |" : " ---: |";
  text += "\n";
  for (const auto& row : t.rows) {
    text += "| " + MarkdownText(row.name) + " |";
    for (const auto& v : row.values) text += " " + ResultText(v, digits) + " |";
    text += "\n";
  }
  if (glossary) {
    text += "\n";
    for (const std::string& g : t.glossary) text += "- " + MarkdownText(g) + "\n";
  }
  return text;
}

std::string ResultsJson(const ResultsTable& t, int digits, bool glossary) {
  std::string text = "{\n  \"kind\": " + JsonString(t.kind) + ",\n  \"columns\": [";
  for (size_t i = 0; i < t.headers.size(); ++i) {
    text += (i > 0 ? ", " : "") + JsonString(t.headers[i]);
  }
  text += "],\n  \"rows\": [";
  for (size_t r = 0; r < t.rows.size(); ++r) {
    text += (r > 0 ? ",\n    [" : "\n    [") + JsonString(t.rows[r].name);
    for (const ResultValue& v : t.rows[r].values) {
      text += ", " + (!v.text.empty() ? JsonString(v.text)
                      : v.number      ? RoundedText(*v.number, digits)
                                      : std::string("null"));
    }
    text += "]";
  }
  text += t.rows.empty() ? "]" : "\n  ]";
  text += std::string(",\n  \"stale\": ") + (t.stale ? "true" : "false");
  if (glossary) {
    text += ",\n  \"glossary\": [";
    for (size_t i = 0; i < t.glossary.size(); ++i) {
      text += (i > 0 ? ",\n    " : "\n    ") + JsonString(t.glossary[i]);
    }
    text += "\n  ]";
  }
  return text + "\n}\n";
}

notebook::Notebook ResultsNotebook(const ResultsTable& t, int digits, bool glossary) {
  notebook::Notebook doc;
  Worksheet& sheet = *doc.AddWorksheet("Results").worksheet();
  for (size_t c = 0; c < t.headers.size(); ++c) {
    const int32_t column = static_cast<int32_t>(c) + 1;
    sheet.SetTitle(column, t.headers[c]);
    for (size_t r = 0; r < t.rows.size(); ++r) {
      const int32_t row = static_cast<int32_t>(r) + 1;
      if (c == 0) {
        sheet.SetCell(column, row, Value(t.rows[r].name));
      } else if (const ResultValue& v = t.rows[r].values[c - 1]; !v.text.empty()) {
        sheet.SetCell(column, row, Value(v.text));
      } else if (v.number) {
        sheet.SetCell(column, row, Value(Rounded(*v.number, digits)));
      } else {
        sheet.SetCell(column, row, Value("--"));
      }
    }
  }
  if (glossary) {
    std::string text;
    for (const std::string& g : t.glossary) text += g + "\r\n";
    doc.AddReport("Glossary", text);
  }
  return doc;
}

}  // namespace korund::tools
