#include "studio/cell_text.h"

#include "notebook/csv.h"

namespace korund::studio {

Value ValueFromTyped(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return Value();
  if (std::optional<double> number = ParseNumber(text)) return Value(*number);
  return Value(std::string(text));
}

std::string BlockAsTsv(const notebook::Worksheet& sheet, int32_t first_column, int32_t last_column,
                       int32_t first_row, int32_t last_row) {
  std::string out;
  for (int32_t row = first_row; row <= last_row; ++row) {
    for (int32_t column = first_column; column <= last_column; ++column) {
      if (column > first_column) out += '\t';
      out += notebook::CsvField(CellText(sheet.Cell(column, row)), '\t');
    }
    out += '\n';
  }
  return out;
}

bool BlockFromTsv(std::string_view text, CellBlock* block, std::string* error) {
  std::vector<notebook::CsvRow> rows;
  if (!notebook::ParseCsv(text, '\t', &rows, error)) return false;
  block->clear();
  for (const notebook::CsvRow& row : rows) {
    std::vector<Value>& out = block->emplace_back();
    for (const std::string& field : row) out.push_back(ValueFromTyped(field));
  }
  return true;
}

}  // namespace korund::studio
