// Comma-separated values after RFC 4180: fields in double quotes may hold
// separators, line breaks and doubled quotes; lines end in CRLF or LF. Also
// the two ways between CSV and a worksheet: columns in, columns out.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "notebook/notebook.h"

namespace korund::notebook {

using CsvRow = std::vector<std::string>;

// Splits text into rows of fields. A leading UTF-8 byte-order mark is
// skipped; a final line break does not start another row. A quote inside an
// unquoted field is kept as a character. False with *error ("line N: ...")
// for an unterminated quoted field or text after a closing quote.
bool ParseCsv(std::string_view text, char separator, std::vector<CsvRow>* rows,
              std::string* error);

// One field as CSV: quoted (with doubled quotes) when it holds the
// separator, a quote, a line break, or leading or trailing blanks.
std::string CsvField(std::string_view field, char separator);

// Replaces the cells of columns first_column, first_column + 1, ... (width
// columns) with the fields of rows: numbers become numbers, other fields
// texts, empty fields empty cells. With titles, field k of titles becomes
// column k's title ("" or a missing field: no title).
void PutCsvColumns(Worksheet& sheet, int32_t first_column, size_t width,
                   const std::vector<CsvRow>& rows, const CsvRow* titles);

// The columns `numbers` of sheet as CSV text with CRLF line ends: the titles
// first, then every row up to the last used one, numbers in the program's
// text form. No columns give "".
std::string WorksheetCsv(const Worksheet& sheet, const std::vector<int32_t>& numbers,
                         char separator);

// The columns first..last of sheet as CSV text, laid out as WorksheetCsv
// lays out every column of that range: a column that holds nothing still
// has its (empty) fields, so that each column keeps its place. The text goes
// to `write` a line at a time and only stored columns are visited, so that
// memory stays proportional to what the worksheet holds, not to the range
// or the text. False as soon as `write` returns false.
bool WriteWorksheetCsv(const Worksheet& sheet, int32_t first, int32_t last, char separator,
                       const std::function<bool(std::string_view)>& write);

// The rows WriteWorksheetCsv writes below the titles: the last used row of
// the stored columns in first..last.
int32_t WorksheetCsvRows(const Worksheet& sheet, int32_t first, int32_t last);

}  // namespace korund::notebook
