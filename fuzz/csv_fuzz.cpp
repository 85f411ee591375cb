// CSV import on arbitrary bytes: parsed with both separators, put into a
// worksheet and written out again without a crash.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "notebook/csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korund::notebook;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (char separator : {',', ';'}) {
    std::vector<CsvRow> rows;
    std::string error;
    if (!ParseCsv(text, separator, &rows, &error)) continue;
    size_t width = 0;
    for (const CsvRow& row : rows) width = std::max(width, row.size());
    if (width == 0 || width > 64) continue;
    Worksheet sheet;
    PutCsvColumns(sheet, 1, width, rows, rows.empty() ? nullptr : &rows.front());
    std::vector<int32_t> numbers;
    for (size_t c = 1; c <= width; ++c) numbers.push_back(static_cast<int32_t>(c));
    (void)WorksheetCsv(sheet, numbers, separator);
  }
  return 0;
}
