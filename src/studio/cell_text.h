// Cells as people type and copy them: one cell's text, and rectangular
// ranges as the tab-separated text other spreadsheet programs put on the
// clipboard. No Qt here, so the rules are tested without a display.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "notebook/notebook.h"
#include "util/value.h"

namespace korund::studio {

// A block of values, row by row; rows may differ in length.
using CellBlock = std::vector<std::vector<Value>>;

// What a typed text stores: "" (or only blanks) an empty cell, a text that
// reads as a number (ParseNumber) the number, anything else the text.
Value ValueFromTyped(std::string_view text);

// A cell as shown and copied: numbers in the program's text form.
inline std::string CellText(const Value& v) { return ToText(v); }

// Columns first_column..last_column, rows first_row..last_row (1-based;
// column 0 is the row titles) as tab-separated lines ending in "\n".
// Fields holding a tab, a line break or a quote are quoted.
std::string BlockAsTsv(const notebook::Worksheet& sheet, int32_t first_column, int32_t last_column,
                       int32_t first_row, int32_t last_row);

// Clipboard text as a block: lines split at LF or CRLF, fields at tabs,
// quoted fields as spreadsheets write them; each field read as if typed.
// A final line break adds no row. False with *error for a broken quote.
bool BlockFromTsv(std::string_view text, CellBlock* block, std::string* error);

}  // namespace korund::studio
