// CSV import on arbitrary bytes: read through the import pipeline with both
// separators, put into a worksheet and written out again without a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "notebook/csv.h"
#include "notebook/import_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korund::notebook;
  // The pipeline reads files, as the programs do.
  static const std::string path = "/tmp/korund-csv-fuzz-" + std::to_string(getpid()) + ".csv";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    const bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written) return 0;
  } else {
    return 0;
  }
  for (char separator : {',', ';'}) {
    ImportSettings settings;
    settings.separator = separator;
    settings.guess_header = true;
    settings.decimal_comma = separator == ';';
    ImportedTable table;
    std::string error;
    if (!ImportFile(path, settings, 1, &table, &error)) continue;
    const auto width = static_cast<int32_t>(table.columns.size());
    if (width == 0 || width > 64) continue;
    Worksheet sheet;
    PutImportedColumns(sheet, 1, std::move(table.columns));
    (void)WriteWorksheetCsv(sheet, 1, width, CsvColumns::kEvery, separator,
                            [](std::string_view) { return true; });
  }
  return 0;
}
