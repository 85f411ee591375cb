// For the studio's tests: the one QApplication, whole-file helpers, the
// example notebooks, and a worksheet as text for comparisons.
#pragma once

#include <QTemporaryDir>
#include <cstdlib>
#include <sstream>
#include <string>

#include "notebook/notebook.h"
#include "testing/qt_test_support.h"
#include "testing/test_files.h"

namespace korund::studio {

using gui::TestApp;
using host::testing::ReadFile;
using host::testing::WriteFile;

inline std::string ExamplePath(const std::string& name) {
  return std::string(KORUND_SOURCE_DIR) + "/examples/" + name;
}

// Analyses the notebook at `path` in place by korund's batch run of `word`
// ("weibull", "dynamic", "static"); returns its status.
inline int RunKorundBatch(const std::string& word, const std::string& path) {
  const std::string command = "\"" + std::string(std::getenv("KORUND_TEST_BINARY_DIR")) +
                              "/bin/korund\" " + word + " --batch --notebook \"" + path +
                              "\" >/dev/null 2>&1";
  return std::system(command.c_str());
}

// Every title and cell of a worksheet, one column a line. Empty cells at a
// column's end are no cells (the file does not keep them either).
inline std::string SheetText(const notebook::Worksheet& ws) {
  std::ostringstream out;
  for (const auto& [number, column] : ws.columns()) {
    size_t end = column.cells.size();
    while (end > 0 && column.cells[end - 1].IsEmpty()) --end;
    if (!column.title && end == 0) continue;
    out << number << " [" << column.title.value_or("") << "]";
    for (size_t i = 0; i < end; ++i) out << " " << ToText(column.cells[i]);
    out << "\n";
  }
  return out.str();
}

}  // namespace korund::studio
