// Turning a table read from a CSV or workbook file into worksheet columns,
// and saying what was done: headers kept as titles and labels, numbers
// read (with a decimal comma when asked), unit words placed above the data,
// and texts that look like mistyped numbers listed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "notebook/notebook.h"
#include "util/value.h"

namespace korund::tools {

struct ImportSettings {
  bool header = false;         // the first row holds the column names
  bool decimal_comma = false;  // "1,5" is 1.5
  std::string unit;            // a unit word for every column, "" for none
};

struct ImportedColumn {
  std::optional<std::string> header;  // with ImportSettings::header
  std::optional<std::string> label;   // the label, when not the header
  std::vector<Value> cells;           // row 1 first
};

// The unit words a column may start with (strengths, then times).
bool IsUnitWord(const std::string& word);

// The unit word a header names in brackets at its end, "Strength (MPa)" ->
// "MPA"; "" when it names none.
std::string HeaderUnit(const std::string& header);

// A text that is not a number but is made of digits, signs, points, commas
// and blanks, as a mistyped number is ("2185,2", "1.2.3", "12 5").
bool LooksLikeMistypedNumber(const std::string& text);

// Builds the columns from the table (columns[k][r]: column k, row r of the
// file; texts are read as numbers where they are numbers). position(k, r)
// names a cell of the file for the notes, which are appended to *notes.
// False with *error when no cell holds a number.
bool BuildImportColumns(const std::vector<std::vector<Value>>& table,
                        const ImportSettings& settings,
                        const std::function<std::string(size_t, size_t)>& position,
                        std::vector<ImportedColumn>* columns, std::vector<std::string>* notes,
                        std::string* error);

// Replaces the cells of columns first_column... with the imported ones; a
// header becomes the column's title and (unless a label is given) label.
// The cells are moved in: a large import is not held twice.
void PutImportedColumns(notebook::Worksheet& sheet, int32_t first_column,
                        std::vector<ImportedColumn> columns);

// A note when a CSV text looks European (semicolons between fields, decimal
// commas) but is not read so; "" otherwise.
std::string EuropeanCsvNote(const std::string& text, char separator, bool decimal_comma);

}  // namespace korund::tools
