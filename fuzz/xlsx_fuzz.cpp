// The workbook reader on arbitrary bytes (through a file, as it reads
// them): it refuses or reads one sheet, never crashes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "notebook/xlsx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/korund-fuzz-" + std::to_string(::getpid()) + ".xlsx";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  korund::notebook::XlsxSheet sheet;
  std::string error;
  (void)korund::notebook::ReadXlsxSheet(path, "", &sheet, &error);
  return 0;
}
