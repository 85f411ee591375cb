// Office Open XML workbooks (.xlsx, ECMA-376): reading one sheet's cells and
// writing a notebook as a workbook.
//
// Reading opens the ZIP package (libzip), follows the package and workbook
// relationships to the sheet and the shared strings, and reads the cells
// (pugixml): numbers stay numbers (dates are their serial numbers), shared,
// inline and formula strings become texts, booleans the worksheet's -1 and
// 0, error values and ISO 8601 date cells their text ("#DIV/0!"). Each
// part read is limited in size and nesting depth; pugixml never expands
// entities a document type declares, so no part grows in memory beyond its
// bytes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "notebook/notebook.h"

namespace korund::notebook {

// Most uncompressed bytes read from one part, and from all parts together.
inline constexpr int64_t kMaxXlsxPartBytes = 128LL * 1024 * 1024;
inline constexpr int64_t kMaxXlsxTotalBytes = 256LL * 1024 * 1024;
// Deepest element nesting accepted in a part (a sheet needs about seven).
inline constexpr int kMaxXlsxDepth = 64;

// One sheet's cells: columns[0] is column A, each column's cells[0] row 1.
// Cells the sheet does not hold are empty values; each column ends at its
// last stored cell.
struct XlsxSheet {
  std::string name;
  std::vector<std::vector<Value>> columns;
  // Column labels that WriteXlsx kept as comments ("label: ...") on the
  // first row, by column index.
  std::map<size_t, std::string> labels;
  // Where cell (column index, row index) came from, "B7", for messages.
  static std::string CellName(size_t column, size_t row);
};

// Reads the sheet named sheet_name ("" for the first sheet) of the workbook
// at path. False with *error ("PATH: ...") when the file is not a workbook,
// has no such sheet (the error names those it has), a part is too large or
// too deep, or the sheet goes beyond kMaxColumnNumber columns,
// kMaxRowsPerColumn rows or kMaxCellsPerNotebook cells.
bool ReadXlsxSheet(const std::string& path, const std::string& sheet_name, XlsxSheet* sheet,
                   std::string* error);

// Writes the notebook as a workbook at path: each worksheet a sheet whose
// first row holds the column titles (column 1 in column A), a column's label,
// when it differs from its title, as a comment on the title cell; numbers
// as plain number cells with the shortest digits that read back as the same
// double (infinities and NaN as empty cells), texts as texts; each report a
// sheet with one text line per row. Sheet names are the item names, cut to
// 31 characters and made unique and legal. The row-title column 0 and
// items of other types are not written. False with *error when a column
// lies beyond the workbook's 16384 columns, a text is longer than 32767
// characters, or the file cannot be written; path is then removed, so it
// should name a new file (a temporary one to be renamed into place).
bool WriteXlsx(const Notebook& notebook, const std::string& path, std::string* error);

}  // namespace korund::notebook
