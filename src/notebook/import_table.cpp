#include "notebook/import_table.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "notebook/csv.h"
#include "notebook/xlsx.h"
#include "util/text.h"

namespace korund::notebook {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The number a text stands for, with "1,5" read as 1.5 when asked.
std::optional<double> ReadNumber(const std::string& text, bool decimal_comma) {
  if (std::optional<double> x = ParseNumber(text)) return x;
  if (decimal_comma && std::count(text.begin(), text.end(), ',') == 1 &&
      text.find('.') == std::string::npos) {
    std::string dotted = text;
    dotted[dotted.find(',')] = '.';
    return ParseNumber(dotted);
  }
  return std::nullopt;
}

// The CSV file's fields as a table of texts (columns[k][r]), and the note
// on a file that looks European.
bool ReadCsvTable(const std::string& path, const ImportSettings& settings,
                  std::vector<std::vector<Value>>* table, std::vector<std::string>* notes,
                  std::string* error) {
  std::string text;
  std::vector<CsvRow> rows;
  if (!ReadCsvFile(path, settings.separator, &text, &rows, error)) return false;
  if (std::string note = EuropeanCsvNote(text, settings.separator, settings.decimal_comma);
      !note.empty()) {
    notes->push_back(note);
  }
  std::string().swap(text);  // the rows hold the fields now
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.size());
  table->assign(width, std::vector<Value>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t k = 0; k < rows[r].size(); ++k) {
      if (!rows[r][k].empty()) (*table)[k][r] = Value(std::move(rows[r][k]));
    }
  }
  return true;
}

// A first row with a word in it names the columns.
bool FirstRowNamesColumns(const std::vector<std::vector<Value>>& table, bool decimal_comma) {
  for (const std::vector<Value>& column : table) {
    if (!column.empty() && column.front().IsText() && !column.front().Text().empty() &&
        !ReadNumber(column.front().Text(), decimal_comma)) {
      return true;
    }
  }
  return false;
}

// False with *error when the columns do not fit the worksheet from
// first_column on.
bool CheckImportLimits(const std::string& path, int32_t first_column,
                       const std::vector<ImportedColumn>& columns, std::string* error) {
  const size_t width = columns.size();
  if (first_column + static_cast<int64_t>(width) - 1 > kMaxColumnNumber) {
    *error = path + ": " + std::to_string(width) + " columns from column " +
             std::to_string(first_column) + " go beyond column " + std::to_string(kMaxColumnNumber);
    return false;
  }
  for (const ImportedColumn& column : columns) {
    if (static_cast<int64_t>(column.cells.size()) > kMaxRowsPerColumn) {
      *error = path + ": " + std::to_string(column.cells.size()) + " rows (the limit is " +
               std::to_string(kMaxRowsPerColumn) + ")";
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsXlsxPath(const std::string& path) {
  if (path.size() < 5) return false;
  return LowerAscii(path.substr(path.size() - 5)) == ".xlsx";
}

bool ImportFile(const std::string& path, const ImportSettings& settings, int32_t first_column,
                ImportedTable* imported, std::string* error) {
  std::vector<std::vector<Value>> table;
  std::map<size_t, std::string> labels;
  std::function<std::string(size_t, size_t)> position;
  if (settings.format == ImportFormat::kXlsx) {
    XlsxSheet sheet;
    if (!ReadXlsxSheet(path, settings.sheet, &sheet, error)) return false;
    table = std::move(sheet.columns);
    labels = std::move(sheet.labels);
    position = [](size_t k, size_t r) { return "cell " + XlsxSheet::CellName(k, r); };
  } else {
    if (!ReadCsvTable(path, settings, &table, &imported->notes, error)) return false;
    position = [](size_t k, size_t r) {
      return "row " + std::to_string(r + 1) + ", column " + std::to_string(k + 1);
    };
  }
  ImportSettings read = settings;
  read.header = settings.header ||
                (settings.guess_header && FirstRowNamesColumns(table, settings.decimal_comma));
  imported->data_rows = 0;
  for (const auto& column : table) {
    imported->data_rows = std::max(imported->data_rows, column.size());
  }
  if (read.header && imported->data_rows > 0) --imported->data_rows;

  std::string build_error;
  const bool built =
      BuildImportColumns(table, read, position, &imported->columns, &imported->notes, &build_error);
  std::vector<std::vector<Value>>().swap(table);  // the columns hold the cells now
  if (!built) {
    *error = path + ": " + build_error;
    return false;
  }
  // A label kept beside the header (by WriteXlsx) names the data again.
  for (const auto& [k, label] : labels) {
    if (read.header && k < imported->columns.size()) imported->columns[k].label = label;
  }
  return CheckImportLimits(path, first_column, imported->columns, error);
}

bool IsUnitWord(const std::string& word) {
  static const char* const kWords[] = {"GPA", "MPA", "KSI", "KPSI", "S", "MIN", "HOUR", "DAY"};
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

std::string HeaderUnit(const std::string& header) {
  const std::string h = Trim(header);
  if (h.size() < 3) return "";
  const char close = h.back();
  const char open = close == ')' ? '(' : close == ']' ? '[' : '\0';
  if (open == '\0') return "";
  size_t start = h.rfind(open);
  if (start == std::string::npos) return "";
  std::string word = UpperAscii(Trim(h.substr(start + 1, h.size() - start - 2)));
  // Plurals and the usual short forms name the same units.
  if (word == "HOURS" || word == "H") word = "HOUR";
  if (word == "DAYS") word = "DAY";
  if (word == "MINS") word = "MIN";
  if (word == "SEC" || word == "SECONDS") word = "S";
  return IsUnitWord(word) ? word : "";
}

bool LooksLikeMistypedNumber(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty() || ParseNumber(t)) return false;
  bool digit = false;
  for (char ch : t) {
    if (std::isdigit(static_cast<unsigned char>(ch))) {
      digit = true;
    } else if (std::string_view(".,+- 'eE").find(ch) == std::string_view::npos) {
      return false;
    }
  }
  return digit && std::string_view("0123456789.,+-").find(t.front()) != std::string_view::npos;
}

bool BuildImportColumns(const std::vector<std::vector<Value>>& table,
                        const ImportSettings& settings,
                        const std::function<std::string(size_t, size_t)>& position,
                        std::vector<ImportedColumn>* columns, std::vector<std::string>* notes,
                        std::string* error) {
  columns->assign(table.size(), {});
  const size_t first_row = settings.header ? 1 : 0;
  size_t numbers = 0;
  for (size_t k = 0; k < table.size(); ++k) {
    ImportedColumn& column = (*columns)[k];
    if (settings.header) column.header = table[k].empty() ? "" : ToText(table[k][0]);
    for (size_t r = first_row; r < table[k].size(); ++r) {
      Value v = table[k][r];
      if (v.IsText()) {
        if (std::optional<double> x = ReadNumber(v.Text(), settings.decimal_comma)) {
          v = Value(*x);
        } else if (LooksLikeMistypedNumber(v.Text())) {
          notes->push_back(position(k, r) + ": \"" + v.Text() +
                           "\" is kept as text; is it a mistyped number?");
        }
      }
      numbers += v.IsNumber();
      column.cells.push_back(std::move(v));
    }
    while (!column.cells.empty() && column.cells.back().IsEmpty()) column.cells.pop_back();
  }
  // Unit words go above the data, where the analyses look for them. Every
  // column moves down with the ones that get a unit, so that the rows of a
  // table (a strength and its rate) stay together.
  std::vector<std::string> units(columns->size(), settings.unit);
  bool any_unit = !settings.unit.empty();
  for (size_t k = 0; k < columns->size() && settings.unit.empty(); ++k) {
    const ImportedColumn& column = (*columns)[k];
    if (!column.header || column.cells.empty()) continue;
    units[k] = HeaderUnit(*column.header);
    if (units[k].empty()) continue;
    any_unit = true;
    notes->push_back(
        "column " + std::to_string(k + 1) + " \"" + *column.header + "\": the unit " + units[k] +
        " is put in row 1, above the data, and the data of every imported column start in row 2");
  }
  for (size_t k = 0; k < columns->size() && any_unit; ++k) {
    std::vector<Value>& cells = (*columns)[k].cells;
    if (!cells.empty()) cells.insert(cells.begin(), units[k].empty() ? Value() : Value(units[k]));
  }
  if (numbers == 0) {
    *error = "no numbers to import";
    return false;
  }
  return true;
}

void PutImportedColumns(Worksheet& sheet, int32_t first_column,
                        std::vector<ImportedColumn> columns) {
  for (size_t k = 0; k < columns.size(); ++k) {
    Column& column = sheet.ColumnAt(first_column + static_cast<int32_t>(k));
    column.cells = std::move(columns[k].cells);
    if (columns[k].header) {
      const std::string& h = *columns[k].header;
      column.title = h.empty() ? std::nullopt : std::optional<std::string>(h);
      column.label = columns[k].label ? columns[k].label : column.title;
    }
  }
}

std::string EuropeanCsvNote(const std::string& text, char separator, bool decimal_comma) {
  if (separator == ';' && decimal_comma) return "";
  size_t lines = 0, with_semicolon = 0;
  bool comma_decimal = false;
  size_t start = 0;
  while (start < text.size() && lines < 50) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (Trim(line).empty()) continue;
    ++lines;
    if (line.find(';') == std::string::npos) continue;
    ++with_semicolon;
    size_t field_start = 0;
    while (field_start <= line.size()) {
      size_t field_end = line.find(';', field_start);
      if (field_end == std::string::npos) field_end = line.size();
      std::string field = Trim(line.substr(field_start, field_end - field_start));
      if (!field.empty() && field.back() == '\r') field.pop_back();
      if (field.find(',') != std::string::npos && ReadNumber(field, true) && !ParseNumber(field)) {
        comma_decimal = true;
      }
      field_start = field_end + 1;
    }
  }
  if (lines == 0 || with_semicolon * 2 < lines || !comma_decimal) return "";
  return "the file looks European (semicolons between fields, decimal commas); "
         "try --separator ';' --decimal-comma";
}

}  // namespace korund::notebook
