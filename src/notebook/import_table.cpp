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

// A first row with a word in it names the columns.
bool RowNamesColumns(const CsvRow& row, bool decimal_comma);

// What a CSV file's reading keeps: the fields of the columns asked for as
// a table of texts (columns[k][r], the others left empty), and what the
// notes need to know of every row.
struct CsvTable {
  std::vector<std::vector<Value>> columns;
  size_t rows = 0;
  bool first_row_names = false;
  DecimalCommaPairs pairs;
};

// Reads the CSV file once, row by row, refusing a row that does not line
// up and stopping as soon as the kept columns pass a worksheet's columns,
// a column's rows or a notebook's cells.
bool ReadCsvTable(const std::string& path, const ImportSettings& settings, int32_t first_column,
                  CsvTable* table, std::vector<std::string>* notes, std::string* error) {
  std::string head;
  CsvRowWidths widths;
  int64_t cells = 0;  // kept, counted to each column's end
  // The file's columns kept (0-based): those asked for, or every one.
  std::vector<bool> kept;
  for (int32_t c : settings.columns) {
    if (static_cast<size_t>(c) > kept.size()) kept.resize(static_cast<size_t>(c), false);
    kept[static_cast<size_t>(c) - 1] = true;
  }
  const bool every = settings.columns.empty();
  const int64_t most_columns = int64_t{kMaxColumnNumber} - first_column + 1;
  auto refuse = [&](int line, const std::string& what) {
    *error = path + ": line " + std::to_string(line) + ": " + what;
    return false;
  };
  const CsvRowSink on_row = [&](CsvRow& row, int line) {
    if (!widths.Add(row, line, head, settings.separator, error)) {
      *error = path + ": " + *error;
      return false;
    }
    const size_t r = table->rows++;
    if (r == 0) table->first_row_names = RowNamesColumns(row, settings.decimal_comma);
    table->pairs.Add(row);
    if (every && static_cast<int64_t>(row.size()) > most_columns) {
      return refuse(line, std::to_string(row.size()) + " columns from column " +
                              std::to_string(first_column) + " go beyond column " +
                              std::to_string(kMaxColumnNumber));
    }
    if (row.size() > table->columns.size()) table->columns.resize(row.size());
    // A header row is not counted among a column's rows.
    const bool header = settings.header || (settings.guess_header && table->first_row_names);
    for (size_t k = 0; k < row.size(); ++k) {
      if (row[k].empty() || !(every || (k < kept.size() && kept[k]))) continue;
      std::vector<Value>& column = table->columns[k];
      if (static_cast<int64_t>(r) + (header ? 0 : 1) > kMaxRowsPerColumn) {
        return refuse(line, "column " + std::to_string(k + 1) + " has more than " +
                                std::to_string(kMaxRowsPerColumn) + " rows (the limit is " +
                                std::to_string(kMaxRowsPerColumn) + ")");
      }
      cells += static_cast<int64_t>(r + 1 - column.size());
      if (cells > kMaxCellsPerNotebook) {
        return refuse(line, "the columns would hold more than " +
                                std::to_string(kMaxCellsPerNotebook) + " cells (the limit)");
      }
      column.resize(r);
      column.emplace_back(std::move(row[k]));
    }
    return true;
  };
  if (!ReadCsvRows(path, settings.separator, on_row, &head, error)) return false;
  if (std::string note = EuropeanCsvNote(head, settings.separator, settings.decimal_comma);
      !note.empty()) {
    notes->push_back(note);
  }
  return true;
}

// Fields up to the last one that holds more than blanks. The empty fields
// that spreadsheets leave at the end of short rows, and blank lines (width
// 0), say nothing about how many columns the file has.
size_t UsedWidth(const CsvRow& row) {
  size_t width = row.size();
  while (width > 0 && Trim(row[width - 1]).empty()) --width;
  return width;
}

// True when every comma of a line lies inside a field (the line split at
// separator) that reads as a number with a decimal comma.
bool CommasAreDecimal(const std::string& line, char separator) {
  size_t start = 0;
  for (;;) {
    size_t end = line.find(separator, start);
    if (end == std::string::npos) end = line.size();
    const std::string field = Trim(line.substr(start, end - start));
    if (field.find(',') != std::string::npos && !ReadNumber(field, true)) return false;
    if (end == line.size()) return true;
    start = end + 1;
  }
}

bool AllDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char ch) {
    return std::isdigit(static_cast<unsigned char>(ch)) != 0;
  });
}

// The unit word a header's unit stands for ("hours" -> "HOUR"); "" when it
// is none.
std::string UnitWordOf(const std::string& text) {
  std::string word = UpperAscii(Trim(text));
  // Plurals and the usual short forms name the same units.
  if (word == "HOURS" || word == "H") word = "HOUR";
  if (word == "DAYS") word = "DAY";
  if (word == "MINS") word = "MIN";
  if (word == "SEC" || word == "SECONDS") word = "S";
  return IsUnitWord(word) ? word : "";
}

bool RowNamesColumns(const CsvRow& row, bool decimal_comma) {
  for (const std::string& field : row) {
    if (!field.empty() && !ReadNumber(field, decimal_comma)) return true;
  }
  return false;
}

// The same for a workbook's first row.
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
  ImportSettings read = settings;
  size_t rows = 0;
  std::string pairs_note;
  if (settings.format == ImportFormat::kXlsx) {
    XlsxSheet sheet;
    if (!ReadXlsxSheet(path, settings.sheet, &sheet, error)) return false;
    table = std::move(sheet.columns);
    labels = std::move(sheet.labels);
    position = [](size_t k, size_t r) { return "cell " + XlsxSheet::CellName(k, r); };
    read.header = settings.header ||
                  (settings.guess_header && FirstRowNamesColumns(table, settings.decimal_comma));
    for (const auto& column : table) rows = std::max(rows, column.size());
  } else {
    CsvTable csv;
    if (!ReadCsvTable(path, settings, first_column, &csv, &imported->notes, error)) return false;
    table = std::move(csv.columns);
    position = [](size_t k, size_t r) {
      return "row " + std::to_string(r + 1) + ", column " + std::to_string(k + 1);
    };
    read.header = settings.header || (settings.guess_header && csv.first_row_names);
    rows = csv.rows;
    if (settings.separator == ',' && !read.header) pairs_note = csv.pairs.Note();
  }
  imported->data_rows = rows;
  if (read.header && imported->data_rows > 0) --imported->data_rows;
  if (!pairs_note.empty()) imported->notes.push_back(pairs_note);

  std::string build_error;
  const bool built = BuildImportColumns(std::move(table), read, position, &imported->columns,
                                        &imported->notes, &build_error);
  if (!built) {
    *error = path + ": " + build_error;
    return false;
  }
  // A label kept beside the header (by WriteXlsx) names the data again.
  for (size_t i = 0; i < imported->columns.size() && read.header; ++i) {
    const size_t k = settings.columns.empty() ? i : static_cast<size_t>(settings.columns[i] - 1);
    if (auto it = labels.find(k); it != labels.end()) imported->columns[i].label = it->second;
  }
  return CheckImportLimits(path, first_column, imported->columns, error);
}

bool IsUnitWord(const std::string& word) {
  static const char* const kWords[] = {"GPA", "MPA", "KSI", "KPSI", "S", "MIN", "HOUR", "DAY"};
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

std::string HeaderUnit(const std::string& header, std::string* name) {
  const std::string h = Trim(header);
  std::string unit, before;
  const char close = h.empty() ? '\0' : h.back();
  if (close == ')' || close == ']') {
    const size_t open = h.rfind(close == ')' ? '(' : '[');
    if (open == std::string::npos) return "";
    unit = UnitWordOf(h.substr(open + 1, h.size() - open - 2));
    before = Trim(h.substr(0, open));
  } else if (const size_t slash = h.rfind('/'); slash != std::string::npos && slash > 0) {
    // "t/min" is a quantity over its unit; "MPa/s" is a rate, not seconds.
    before = Trim(h.substr(0, slash));
    const size_t blank = before.find_last_of(" \t");
    if (!UnitWordOf(before.substr(blank == std::string::npos ? 0 : blank + 1)).empty()) return "";
    unit = UnitWordOf(h.substr(slash + 1));
  }
  if (!unit.empty() && name != nullptr) *name = before;
  return unit;
}

bool ParseColumnList(const std::string& text, std::vector<int32_t>* columns, std::string* error) {
  columns->clear();
  // A column number, 0 when the text is none.
  auto number = [](const std::string& s) -> int32_t {
    const std::string t = Trim(s);
    if (t.size() > 5 || !AllDigits(t)) return 0;
    const int32_t n = std::stoi(t);
    return n <= kMaxColumnNumber ? n : 0;
  };
  std::vector<bool> named(kMaxColumnNumber + 1, false);
  size_t start = 0;
  for (;;) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    const size_t dash = item.find('-');
    const int32_t first = number(item.substr(0, dash));
    const int32_t last = dash == std::string::npos ? first : number(item.substr(dash + 1));
    bool ok = first > 0 && last >= first;
    for (int32_t c = first; ok && c <= last; ++c) {
      ok = !named[c];
      named[c] = true;
      columns->push_back(c);
    }
    if (!ok) {
      *error = "--columns wants the file's columns, each once, as numbers from 1 to " +
               std::to_string(kMaxColumnNumber) + " and ranges such as 2 or 2,4-5, not " +
               QuotedExcerpt(text);
      return false;
    }
    if (end == text.size()) return true;
    start = end + 1;
  }
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
  return BuildImportColumns(std::vector<std::vector<Value>>(table), settings, position, columns,
                            notes, error);
}

bool BuildImportColumns(std::vector<std::vector<Value>>&& table, const ImportSettings& settings,
                        const std::function<std::string(size_t, size_t)>& position,
                        std::vector<ImportedColumn>* columns, std::vector<std::string>* notes,
                        std::string* error) {
  // The file's columns to import, 0-based, in order.
  std::vector<size_t> picked;
  for (int32_t c : settings.columns) {
    if (c < 1 || static_cast<size_t>(c) > table.size()) {
      *error = "there is no column " + std::to_string(c) + " (the file has " +
               std::to_string(table.size()) + (table.size() == 1 ? " column)" : " columns)");
      return false;
    }
    picked.push_back(static_cast<size_t>(c) - 1);
  }
  for (size_t k = 0; k < table.size() && settings.columns.empty(); ++k) picked.push_back(k);

  columns->assign(picked.size(), {});
  const size_t first_row = settings.header ? 1 : 0;
  size_t numbers = 0;
  for (size_t i = 0; i < picked.size(); ++i) {
    const size_t k = picked[i];
    ImportedColumn& column = (*columns)[i];
    if (settings.header) column.header = table[k].empty() ? "" : ToText(table[k][0]);
    // The file's column becomes the imported one, read in place; a column
    // picked twice is copied the second time.
    const bool again = std::find(picked.begin(), picked.begin() + i, k) != picked.begin() + i;
    column.cells = again ? table[k] : std::move(table[k]);
    if (first_row > 0 && !column.cells.empty()) column.cells.erase(column.cells.begin());
    for (size_t r = 0; r < column.cells.size(); ++r) {
      Value& v = column.cells[r];
      if (v.IsText()) {
        if (std::optional<double> x = ReadNumber(v.Text(), settings.decimal_comma)) {
          v = Value(*x);
        } else if (LooksLikeMistypedNumber(v.Text())) {
          notes->push_back(position(k, r + first_row) + ": " + QuotedExcerpt(v.Text()) +
                           " is kept as text; is it a mistyped number?");
        }
      }
      numbers += v.IsNumber();
    }
    while (!column.cells.empty() && column.cells.back().IsEmpty()) column.cells.pop_back();
  }
  // Unit words go above the data, where the analyses look for them. Every
  // column moves down with the ones that get a unit, so that the rows of a
  // table (a strength and its rate) stay together.
  std::vector<std::string> units(columns->size(), settings.unit);
  bool any_unit = !settings.unit.empty();
  // The header without its unit names the data.
  for (size_t i = 0; i < columns->size() && settings.unit.empty(); ++i) {
    ImportedColumn& column = (*columns)[i];
    if (!column.header || column.cells.empty()) continue;
    std::string name;
    units[i] = HeaderUnit(*column.header, &name);
    if (units[i].empty()) continue;
    any_unit = true;
    std::string note =
        "column " + std::to_string(picked[i] + 1) + " " + QuotedExcerpt(*column.header);
    if (!name.empty()) {
      note += " is titled " + QuotedExcerpt(name) + ";";
      column.header = name;
    } else {
      note += ":";
    }
    notes->push_back(note + " the unit " + units[i] +
                     " is put in row 1, above the data, and the data of every imported column "
                     "start in row 2");
  }
  for (size_t k = 0; k < columns->size() && any_unit; ++k) {
    std::vector<Value>& cells = (*columns)[k].cells;
    if (cells.empty()) continue;
    cells.emplace(cells.begin());
    if (!units[k].empty()) cells.front() = Value(units[k]);
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
    column.tokens.Clear();
    if (columns[k].header) {
      const std::string& h = *columns[k].header;
      column.title = h.empty() ? std::nullopt : std::optional<std::string>(h);
      column.label = columns[k].label ? columns[k].label : column.title;
    }
  }
}

bool CsvRowWidths::Add(const std::vector<std::string>& row, int line, std::string_view head,
                       char separator, std::string* error) {
  const size_t width = UsedWidth(row);
  if (width == 0) return true;
  if (!have_first_) {
    // The first row's fields all count: "1," says the file has two columns.
    have_first_ = true;
    expected_ = row.size();
    first_line_ = line;
    return true;
  }
  if (width <= expected_) return true;
  *error = "line " + std::to_string(line) + ": " + std::to_string(width) +
           " fields, more than the " + std::to_string(expected_) + " of line " +
           std::to_string(first_line_);
  // A comma separator cuts "2210,43" in two. A separator the file already
  // holds between its fields is the one to read it with.
  if (separator != ',') return false;
  std::string joined;
  for (size_t k = 0; k < width; ++k) joined += (k > 0 ? "," : "") + row[k];
  const char other =
      head.find(';') == std::string::npos && head.find('\t') != std::string::npos ? '\t' : ';';
  if (CommasAreDecimal(joined, other)) {
    *error += "; are the commas in " + QuotedExcerpt(joined) +
              " decimal commas? Then import with --separator " + (other == '\t' ? "tab" : "';'") +
              " --decimal-comma";
  }
  return false;
}

void DecimalCommaPairs::Add(const std::vector<std::string>& row) {
  width_ = std::max(width_, row.size());
  if (!possible_) return;
  for (size_t k = 2; k < row.size(); ++k) {
    if (!row[k].empty()) possible_ = false;
  }
  const std::string empty;
  const std::string& first = row.empty() ? empty : row[0];
  const std::string& second = row.size() < 2 ? empty : row[1];
  if (!AllDigits(first)) {
    // Only a blank line may lack the whole number.
    if (!first.empty() || !second.empty()) possible_ = false;
    return;
  }
  if (second.empty()) return;  // a whole number
  if (!AllDigits(second) || second.size() > 3) {
    possible_ = false;
    return;
  }
  if (example_.empty()) example_ = first + "," + second;
}

std::string DecimalCommaPairs::Note() const {
  if (!possible_ || width_ < 2 || example_.empty()) return "";
  return "every row is a whole number and up to three digits, such as " +
         QuotedExcerpt(example_) +
         ", read as two columns; if each row is one number with a decimal comma, import with "
         "--separator ';' --decimal-comma";
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
