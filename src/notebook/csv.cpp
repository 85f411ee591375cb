#include "notebook/csv.h"

#include <algorithm>
#include <optional>

namespace korund::notebook {

bool ParseCsv(std::string_view text, char separator, std::vector<CsvRow>* rows,
              std::string* error) {
  rows->clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t i = 0;
  int line = 1;
  CsvRow row;
  std::string field;
  while (i < text.size()) {
    // At the start of a field.
    if (text[i] == '"') {
      const int start_line = line;
      ++i;
      for (;;) {
        if (i >= text.size()) {
          *error = "line " + std::to_string(start_line) + ": a quoted field is not closed";
          return false;
        }
        char ch = text[i++];
        if (ch == '"') {
          if (i < text.size() && text[i] == '"') {
            field += '"';
            ++i;
            continue;
          }
          break;
        }
        if (ch == '\n') ++line;
        field += ch;
      }
      if (i < text.size() && text[i] != separator && text[i] != '\r' && text[i] != '\n') {
        *error = "line " + std::to_string(line) + ": text after a closing quote";
        return false;
      }
    } else {
      while (i < text.size() && text[i] != separator && text[i] != '\r' && text[i] != '\n') {
        field += text[i++];
      }
    }
    row.push_back(std::move(field));
    field.clear();
    if (i >= text.size()) break;
    if (text[i] == separator) {
      ++i;
      if (i >= text.size()) row.emplace_back();  // "a," ends in an empty field
      continue;
    }
    // A line break: CRLF, LF, or a lone CR.
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    ++i;
    ++line;
    rows->push_back(std::move(row));
    row.clear();
  }
  if (!row.empty()) rows->push_back(std::move(row));
  return true;
}

std::string CsvField(std::string_view field, char separator) {
  bool quote = !field.empty() && (field.front() == ' ' || field.back() == ' ' ||
                                  field.front() == '\t' || field.back() == '\t');
  for (char ch : field) {
    if (ch == separator || ch == '"' || ch == '\r' || ch == '\n') quote = true;
  }
  if (!quote) return std::string(field);
  std::string out = "\"";
  for (char ch : field) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
  return out;
}

void PutCsvColumns(Worksheet& sheet, int32_t first_column, size_t width,
                   const std::vector<CsvRow>& rows, const CsvRow* titles) {
  for (size_t k = 0; k < width; ++k) {
    Column& column = sheet.ColumnAt(first_column + static_cast<int32_t>(k));
    column.cells.assign(rows.size(), Value());
    for (size_t r = 0; r < rows.size(); ++r) {
      if (k >= rows[r].size() || rows[r][k].empty()) continue;
      const std::string& field = rows[r][k];
      if (std::optional<double> x = ParseNumber(field)) {
        column.cells[r] = Value(*x);
      } else {
        column.cells[r] = Value(field);
      }
    }
    if (titles != nullptr) {
      const std::string title = k < titles->size() ? (*titles)[k] : std::string();
      column.title = title.empty() ? std::nullopt : std::optional<std::string>(title);
    }
  }
}

std::string WorksheetCsv(const Worksheet& sheet, const std::vector<int32_t>& numbers,
                         char separator) {
  int32_t rows = 0;
  for (int32_t c : numbers) rows = std::max(rows, sheet.UsedRows(c));
  std::string text;
  auto add_line = [&](auto field) {
    for (size_t i = 0; i < numbers.size(); ++i) {
      if (i > 0) text += separator;
      text += CsvField(field(numbers[i]), separator);
    }
    text += "\r\n";
  };
  if (numbers.empty()) return text;
  add_line([&](int32_t c) { return sheet.Title(c); });
  for (int32_t r = 1; r <= rows; ++r) {
    add_line([&](int32_t c) { return ToText(sheet.Cell(c, r)); });
  }
  return text;
}

int32_t WorksheetCsvRows(const Worksheet& sheet, int32_t first, int32_t last) {
  int32_t rows = 0;
  for (auto it = sheet.columns().lower_bound(first);
       it != sheet.columns().end() && it->first <= last; ++it) {
    rows = std::max(rows, sheet.UsedRows(it->first));
  }
  return rows;
}

bool WriteWorksheetCsv(const Worksheet& sheet, int32_t first, int32_t last, char separator,
                       const std::function<bool(std::string_view)>& write) {
  if (first > last) return true;
  std::vector<const std::pair<const int32_t, Column>*> stored;
  for (auto it = sheet.columns().lower_bound(first);
       it != sheet.columns().end() && it->first <= last; ++it) {
    stored.push_back(&*it);
  }
  const int32_t rows = WorksheetCsvRows(sheet, first, last);
  std::string line;
  // One line: the stored columns' fields, each after as many separators as
  // columns before it in the range.
  auto write_line = [&](auto field) {
    line.clear();
    int32_t at = first;  // the column whose field comes next
    for (const auto* entry : stored) {
      line.append(static_cast<size_t>(entry->first - at), separator);
      line += CsvField(field(entry->second), separator);
      at = entry->first;
    }
    line.append(static_cast<size_t>(last - at), separator);
    line += "\r\n";
    return write(line);
  };
  if (!write_line([](const Column& c) { return c.title.value_or(""); })) return false;
  for (int32_t r = 1; r <= rows; ++r) {
    const size_t index = static_cast<size_t>(r) - 1;
    auto cell = [index](const Column& c) {
      return index < c.cells.size() ? ToText(c.cells[index]) : std::string();
    };
    if (!write_line(cell)) return false;
  }
  return true;
}

}  // namespace korund::notebook
