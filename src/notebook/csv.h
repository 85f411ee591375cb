// Comma-separated values after RFC 4180: fields in double quotes may hold
// separators, line breaks and doubled quotes; lines end in CRLF or LF. Also
// a worksheet's columns written out as CSV (import_table.h reads them in).
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
// for an unterminated quoted field or text after a closing quote. lines,
// when given, gets the 1-based line each row starts on (a quoted line break
// makes a row span lines).
bool ParseCsv(std::string_view text, char separator, std::vector<CsvRow>* rows, std::string* error,
              std::vector<int>* lines = nullptr);

// One field as CSV: quoted (with doubled quotes) when it holds the
// separator, a quote, a line break, or leading or trailing blanks.
std::string CsvField(std::string_view field, char separator);

// Takes one row (which it may move from) and the line it starts on; false
// stops the reading.
using CsvRowSink = std::function<bool(CsvRow& row, int line)>;

// The bytes of a file's start that ReadCsvRows keeps for notes on its form.
inline constexpr size_t kCsvHeadBytes = 1 << 20;

// Reads the file at path (kMaxFileBytes at most) once, a block at a time,
// and hands each row to on_row as it is complete, split as ParseCsv splits
// it; memory stays at a row and a block. *head (when given) receives the
// file's first kCsvHeadBytes. False with *error as ReadCsvFile; false with
// *error as on_row left it when on_row stopped the reading.
bool ReadCsvRows(const std::string& path, char separator, const CsvRowSink& on_row,
                 std::string* head, std::string* error);

// Reads the whole file at path (kMaxFileBytes at most) into *text and
// splits it as ParseCsv does. False with *error: "PATH: what" when the file
// cannot be read, "PATH: line N: what" when it is not CSV.
bool ReadCsvFile(const std::string& path, char separator, std::string* text,
                 std::vector<CsvRow>* rows, std::string* error, std::vector<int>* lines = nullptr);

// The separator a command line names: one character, or "tab" (or "\t")
// for a tab. False with *error for anything else, a quote or a line break.
bool ParseSeparator(const std::string& text, char* separator, std::string* error);

// Which columns of a range a CSV text holds.
enum class CsvColumns {
  kEvery,  // every column, one that holds nothing as empty fields, so that
           // each column keeps its place
  kUsed,   // only the columns that hold a title or a cell, side by side
};

// The columns first..last of sheet as CSV text with CRLF line ends: the
// titles first, then every row up to the last used one, numbers in the
// program's text form. kUsed with no such column gives no line at all. The
// text goes to `write` a line at a time and only stored columns are
// visited, so that memory stays proportional to what the worksheet holds,
// not to the range or the text. False as soon as `write` returns false.
bool WriteWorksheetCsv(const Worksheet& sheet, int32_t first, int32_t last, CsvColumns which,
                       char separator, const std::function<bool(std::string_view)>& write);

// The rows WriteWorksheetCsv writes below the titles: the last used row of
// the stored columns in first..last.
int32_t WorksheetCsvRows(const Worksheet& sheet, int32_t first, int32_t last);

}  // namespace korund::notebook
