#include "notebook/csv.h"

#include <algorithm>

#include "notebook/notebook_file.h"
#include "util/text.h"

namespace korund::notebook {

bool ParseCsv(std::string_view text, char separator, std::vector<CsvRow>* rows, std::string* error,
              std::vector<int>* lines) {
  rows->clear();
  if (lines != nullptr) lines->clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t i = 0;
  int line = 1;
  CsvRow row;
  std::string field;
  while (i < text.size()) {
    if (row.empty() && lines != nullptr) lines->push_back(line);
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

bool ReadCsvFile(const std::string& path, char separator, std::string* text,
                 std::vector<CsvRow>* rows, std::string* error, std::vector<int>* lines) {
  if (!ReadWholeFile(path, text, error)) return false;
  if (ParseCsv(*text, separator, rows, error, lines)) return true;
  *error = path + ": " + *error;
  return false;
}

bool ParseSeparator(const std::string& text, char* separator, std::string* error) {
  if (text == "tab" || text == "\\t") {
    *separator = '\t';
  } else if (text.size() == 1 && text[0] != '"' && text[0] != '\r' && text[0] != '\n') {
    *separator = text[0];
  } else {
    *error = "--separator wants one character (or \"tab\"), not " + QuotedExcerpt(text);
    return false;
  }
  return true;
}

int32_t WorksheetCsvRows(const Worksheet& sheet, int32_t first, int32_t last) {
  int32_t rows = 0;
  for (auto it = sheet.columns().lower_bound(first);
       it != sheet.columns().end() && it->first <= last; ++it) {
    rows = std::max(rows, sheet.UsedRows(it->first));
  }
  return rows;
}

bool WriteWorksheetCsv(const Worksheet& sheet, int32_t first, int32_t last, CsvColumns which,
                       char separator, const std::function<bool(std::string_view)>& write) {
  if (first > last) return true;
  const bool every = which == CsvColumns::kEvery;
  std::vector<const std::pair<const int32_t, Column>*> stored;
  for (auto it = sheet.columns().lower_bound(first);
       it != sheet.columns().end() && it->first <= last; ++it) {
    if (every || !it->second.cells.empty() || it->second.title) stored.push_back(&*it);
  }
  if (!every && stored.empty()) return true;
  const int32_t rows = WorksheetCsvRows(sheet, first, last);
  std::string line;
  // One line: the stored columns' fields; with every column, each after as
  // many separators as columns before it in the range.
  auto write_line = [&](auto field) {
    line.clear();
    int32_t at = first;  // the column whose field comes next
    for (size_t i = 0; i < stored.size(); ++i) {
      const int32_t number = stored[i]->first;
      line.append(every ? static_cast<size_t>(number - at) : (i > 0 ? 1 : 0), separator);
      line += CsvField(field(stored[i]->second), separator);
      at = number;
    }
    if (every) line.append(static_cast<size_t>(last - at), separator);
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
