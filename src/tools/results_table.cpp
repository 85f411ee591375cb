#include "tools/results_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "notebook/csv.h"

namespace korund::tools {
namespace {

using notebook::Worksheet;

// One column of the table: where its value lies in a set's result column
// (row, and the label the analysis writes beside it), its header and its
// meaning.
struct Field {
  int32_t row;
  std::string label;
  std::string header;
  std::string meaning;
};

// The Weibull layout: the options record in column 56, the result labels
// in column 20, set n's results in column 20 + n, its data in column n.
constexpr int32_t kWeibullParms = 56;
constexpr int32_t kWeibullLabels = 20;
constexpr int32_t kWeibullSets = 10;
// The fatigue layout: the options record in column 184; set s owns the 30
// columns from 30s - 29, with the data in offsets 0 to 2 and the result
// labels and values in offsets 11 and 12.
constexpr int32_t kFatigueParms = 184;
constexpr int32_t kFatigueSets = 6;
constexpr int32_t kFatigueBlock = 30;

std::vector<Field> WeibullFields() {
  return {
      {1, "N", "N", "number of strengths analysed"},
      {2, "m", "LS m", "Weibull modulus from the least-squares line through the Weibull plot"},
      {4, "So", "LS So (GPa)", "scale strength (63.2 % failure) from the least-squares line"},
      {12, "m", "MLE m", "maximum-likelihood Weibull modulus, corrected for bias (unbiased)"},
      {13, "m-", "MLE m lower 95%", "lower 95 % confidence bound of the MLE modulus"},
      {14, "m+", "MLE m upper 95%", "upper 95 % confidence bound of the MLE modulus"},
      {15, "So", "MLE So (GPa)", "maximum-likelihood scale strength"},
      {16, "So-", "MLE So lower 95% (GPa)", "lower 95 % confidence bound of the MLE scale"},
      {17, "So+", "MLE So upper 95% (GPa)", "upper 95 % confidence bound of the MLE scale"},
      {20, "15% distn", "15% strength (GPa)",
       "strength at 15 % failure probability of the MLE distribution (GR-20)"},
      {21, "50% distn", "50% strength (GPa)",
       "strength at 50 % failure probability of the MLE distribution (GR-20)"},
      {25, "A: md", "FOTP-28 m", "two-point Weibull modulus after FOTP-28 / ITM-13"},
      {26, "A: So", "FOTP-28 So (GPa)", "two-point scale strength after FOTP-28 / ITM-13"},
      {30, "md", "IEC m", "bracketed two-point Weibull modulus after IEC 60793-1-33"},
      {31, "So", "IEC So (GPa)", "bracketed two-point scale strength after IEC 60793-1-33"},
      {35, "m.lower", "C1239 m lower 90%", "lower 90 % bound of the modulus after ASTM C1239"},
      {34, "m.upper", "C1239 m upper 90%", "upper 90 % bound of the modulus after ASTM C1239"},
      {38, "So.lower", "C1239 So lower 90% (GPa)",
       "lower 90 % bound of the scale strength after ASTM C1239"},
      {37, "So.upper", "C1239 So upper 90% (GPa)",
       "upper 90 % bound of the scale strength after ASTM C1239"},
  };
}

std::vector<Field> FatigueFields(bool dynamic) {
  const std::string n = dynamic ? "nd" : "ns";
  const std::string what = dynamic ? "dynamic" : "static";
  const std::string log_unit = dynamic ? "log10 GPa" : "log10 s";
  return {
      {1, "N", "N", "number of measurements in the fit"},
      {2, n, n, what + " fatigue parameter from the log-log regression"},
      {3, n + ".lower", n + " lower (2 SE)", "lower bound, slope + 2 standard errors"},
      {4, n + ".upper", n + " upper (2 SE)", "upper bound, slope - 2 standard errors"},
      {12, n + "L", n + " lower (IEC)",
       "lower bound after IEC 60793-1-33, slope + 1.96 standard errors"},
      {13, n + "U", n + " upper (IEC)",
       "upper bound after IEC 60793-1-33, slope - 1.96 standard errors"},
      {5, "slope", "slope",
       dynamic ? "slope of log10 strength against log10 rate"
               : "slope of log10 time to failure against log10 stress"},
      {7, "intcpt", "intercept (" + log_unit + ")", "intercept of that line"},
      {9, "R\xC2\xB2", "R\xC2\xB2", "coefficient of determination of the fit"},
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

// Checks the labels beside a set's values, so that a worksheet laid out
// otherwise is not read as results.
bool LabelsMatch(const Worksheet& sheet, int32_t label_column, const std::vector<Field>& fields,
                 std::string* error) {
  for (const Field& f : fields) {
    Value label = sheet.Cell(label_column, f.row);
    if (!label.IsText() || label.Text() != f.label) {
      *error = "column " + std::to_string(label_column) + " row " + std::to_string(f.row) +
               " should hold the result label \"" + f.label + "\", not \"" + ToText(label) +
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

}  // namespace

bool BuildResultsTable(const Worksheet& sheet, ResultsTable* table, std::string* error) {
  *table = ResultsTable();
  // A number is asked for: an empty cell would compare equal to 0.
  const Value weibull_kind = sheet.Cell(kWeibullParms, 2);
  if (weibull_kind.IsNumber() && weibull_kind.Number() == 2) {
    table->kind = "weibull";
    const std::vector<Field> fields = WeibullFields();
    StartTable(fields, table);
    bool labels_checked = false;
    for (int n = 1; n <= kWeibullSets; ++n) {
      const int32_t values = kWeibullLabels + n;
      if (!NumberAt(sheet, values, 1)) continue;
      if (!labels_checked && !LabelsMatch(sheet, kWeibullLabels, fields, error)) return false;
      labels_checked = true;
      ResultsTable::Row row{SetName(sheet, {n}, n), {}};
      for (const Field& f : fields) row.values.push_back(NumberAt(sheet, values, f.row));
      table->rows.push_back(std::move(row));
    }
    return true;
  }
  Value fit_type = sheet.Cell(kFatigueParms, 2);
  if (fit_type.IsNumber() && (fit_type.Number() == 0 || fit_type.Number() == 1)) {
    const bool dynamic = fit_type.Number() == 0;
    table->kind = dynamic ? "dynamic" : "static";
    const std::vector<Field> fields = FatigueFields(dynamic);
    StartTable(fields, table);
    for (int s = 1; s <= kFatigueSets; ++s) {
      const int32_t base = kFatigueBlock * s - (kFatigueBlock - 1);
      const int32_t labels = base + 11, values = base + 12;
      if (!NumberAt(sheet, values, 1)) continue;
      if (!LabelsMatch(sheet, labels, fields, error)) return false;
      ResultsTable::Row row{SetName(sheet, {base + 1, base + 2, base}, s), {}};
      for (const Field& f : fields) row.values.push_back(NumberAt(sheet, values, f.row));
      table->rows.push_back(std::move(row));
    }
    return true;
  }
  *error = "the worksheet holds no analysis results (its options record, column " +
           std::to_string(kWeibullParms) + " or " + std::to_string(kFatigueParms) +
           ", is not one korund wrote); run korund weibull, dynamic or static on it first";
  return false;
}

double Rounded(double x, int digits) {
  if (!std::isfinite(x) || x == 0) return x;
  char text[64];
  std::snprintf(text, sizeof text, "%.*e", digits - 1, x);
  return std::strtod(text, nullptr);
}

std::string RoundedText(double x, int digits) { return FormatNumber(Rounded(x, digits)); }

namespace {

std::string Cell(const std::optional<double>& v, int digits) {
  return v ? RoundedText(*v, digits) : "--";
}

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
    for (const auto& v : row.values) fields.push_back(Cell(v, digits));
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
    for (const auto& v : row.values) text += " " + Cell(v, digits) + " |";
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
    for (const auto& v : t.rows[r].values) text += ", " + (v ? RoundedText(*v, digits) : "null");
    text += "]";
  }
  text += t.rows.empty() ? "]" : "\n  ]";
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
      } else if (const auto& v = t.rows[r].values[c - 1]) {
        sheet.SetCell(column, row, Value(Rounded(*v, digits)));
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
