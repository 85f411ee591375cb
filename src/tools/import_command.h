// korund-notebook import (CSV or .xlsx into a worksheet) and export --xlsx
// (the whole notebook as a workbook).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "notebook/notebook.h"

namespace CLI {
class App;
}

namespace korund::tools {

struct ImportOptions {
  std::string file;  // the notebook
  std::string data;  // the CSV or .xlsx file
  std::string worksheet;
  bool new_worksheet = false;          // add the worksheet when it is missing
  std::string sheet;                   // of a workbook; "" the first
  std::optional<std::string> columns;  // the file's columns to import, "2,4-5"
  int32_t column = 1;
  bool header = false;
  bool decimal_comma = false;
  std::string unit;
  std::string separator = ",";
};

// Adds the "import" subcommand, filling *o when it is parsed.
CLI::App* AddImportCommand(CLI::App& app, ImportOptions* o);

// Imports; notes on what was read go to err. False with *error; the
// notebook is then unchanged.
bool RunImport(const ImportOptions& o, std::ostream& out, std::ostream& err, std::string* error);

// Writes every worksheet and report of the notebook at `file` to the
// workbook `xlsx`. False with *error; xlsx is then unchanged.
bool ExportXlsx(const std::string& file, const std::string& xlsx, std::ostream& err,
                std::string* error);

// Says on err that the item's results are older than its data, if they are.
void SayIfStale(const notebook::Item& item, std::ostream& err);

}  // namespace korund::tools
