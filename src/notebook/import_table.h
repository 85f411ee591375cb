// Importing a CSV file or one sheet of a workbook into worksheet columns,
// the one way both front ends import: headers kept as titles and labels,
// numbers read (with a decimal comma when asked), unit words placed above
// the data, and notes on what was noticed (texts that look like mistyped
// numbers, a CSV file that looks European or like decimal commas read as
// separators, units found in headers). A CSV file whose rows do not line up
// with its first row is refused rather than imported shifted.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "notebook/notebook.h"
#include "util/value.h"

namespace korund::notebook {

enum class ImportFormat { kCsv, kXlsx };

struct ImportSettings {
  ImportFormat format = ImportFormat::kCsv;
  bool header = false;         // the first row holds the column names
  bool guess_header = false;   // ... or does when any of its cells is a word
  bool decimal_comma = false;  // "1,5" is 1.5
  std::string unit;            // a unit word for every column, "" for none
  char separator = ',';        // between the fields of a CSV file
  std::string sheet;           // of a workbook; "" the first
  std::vector<int32_t> columns;  // the file's columns (1-based) to import, in
                                 // this order; empty for all of them
};

struct ImportedColumn {
  std::optional<std::string> header;  // when the first row holds names
  std::optional<std::string> label;   // the label, when not the header
  std::vector<Value> cells;           // row 1 first
};

// What an import read, ready for PutImportedColumns.
struct ImportedTable {
  std::vector<ImportedColumn> columns;
  std::vector<std::string> notes;  // each without the file's name
  size_t data_rows = 0;            // rows of the file below the header
};

// True for a path that ends in ".xlsx" (any case).
bool IsXlsxPath(const std::string& path);

// The unit words a column may start with (strengths, then times).
bool IsUnitWord(const std::string& word);

// The unit word a header names in brackets at its end or after a slash:
// "Strength (MPa)", "Strength [MPa]", "Strength/MPa" -> "MPA"; "" when it
// names none. With a unit, *name (when given) gets the header before it
// ("Strength"; "" for a header that is only a unit).
std::string HeaderUnit(const std::string& header, std::string* name = nullptr);

// Reads a list of the file's columns as the command line gives it: 1-based
// numbers and ranges, "2" or "2,4-5". False with *error for anything else,
// a column beyond kMaxColumnNumber, or a column named twice.
bool ParseColumnList(const std::string& text, std::vector<int32_t>* columns, std::string* error);

// A text that is not a number but is made of digits, signs, points, commas
// and blanks, as a mistyped number is ("2185,2", "1.2.3", "12 5").
bool LooksLikeMistypedNumber(const std::string& text);

// Reads the file at path and builds the columns to be put from column
// first_column on. False with *error ("PATH: what", or the reader's "PATH:
// line N: what" and "PATH: sheet S, cell C: what") when the file cannot be
// read, holds no number, or goes beyond the worksheet's columns or rows;
// notes gathered before such a failure stay in table->notes. The file is
// read once, as a stream, keeping only the columns asked for, and the
// reading stops as soon as they pass a limit of rows, columns or cells.
bool ImportFile(const std::string& path, const ImportSettings& settings, int32_t first_column,
                ImportedTable* table, std::string* error);

// Builds the columns from the table (columns[k][r]: column k, row r of the
// file; texts are read as numbers where they are numbers), only those of
// settings.columns when it names some. position(k, r) names a cell of the
// file for the notes, which are appended to *notes. False with *error when
// settings.columns names a column the table does not have or no cell holds
// a number.
bool BuildImportColumns(const std::vector<std::vector<Value>>& table,
                        const ImportSettings& settings,
                        const std::function<std::string(size_t, size_t)>& position,
                        std::vector<ImportedColumn>* columns, std::vector<std::string>* notes,
                        std::string* error);
// The same for a table no longer needed: its cells are moved, not copied.
bool BuildImportColumns(std::vector<std::vector<Value>>&& table, const ImportSettings& settings,
                        const std::function<std::string(size_t, size_t)>& position,
                        std::vector<ImportedColumn>* columns, std::vector<std::string>* notes,
                        std::string* error);

// Replaces the cells of columns first_column... with the imported ones; a
// header becomes the column's title and (unless a label is given) label.
// The cells are moved in: a large import is not held twice.
void PutImportedColumns(Worksheet& sheet, int32_t first_column,
                        std::vector<ImportedColumn> columns);

// A CSV file's rows must line up. Fed the rows in order, Add is false
// with *error ("line N: what") at the first row with more fields than the
// first row that is not blank, its own trailing empty fields not counted.
// When its extra fields look like the decimals of numbers that a comma
// separator cut in two, the error says how to read them; head (the file's
// start) shows which other separator the file holds.
class CsvRowWidths {
 public:
  bool Add(const std::vector<std::string>& row, int line, std::string_view head, char separator,
           std::string* error);

 private:
  bool have_first_ = false;
  size_t expected_ = 0;
  int first_line_ = 0;
};

// A note when every row of a headerless CSV file (fed in order) is a whole
// number, then (in all but some rows) a field of one to three digits
// ("2210,43"), as one number a row with a decimal comma reads when a comma
// separates fields; "" otherwise.
class DecimalCommaPairs {
 public:
  void Add(const std::vector<std::string>& row);
  std::string Note() const;

 private:
  bool possible_ = true;
  size_t width_ = 0;
  std::string example_;
};

// A note when a CSV text looks European (semicolons between fields, decimal
// commas) but is not read so; "" otherwise.
std::string EuropeanCsvNote(const std::string& text, char separator, bool decimal_comma);

}  // namespace korund::notebook
