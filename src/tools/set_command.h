// korund-notebook set: one cell of a worksheet, changed in place.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace korund::tools {

struct SetOptions {
  std::string file;
  std::string cell;   // "B9" or "2:9"
  std::string value;  // a number, a text, or "" to clear the cell
  std::string worksheet;
};

// Reads a cell as the command line names it: column letters and a row
// ("B9", A being column 1) or column:row ("2:9", columns numbered as the
// worksheet numbers them, 0 the row titles). False with *error for anything
// else or a cell beyond the worksheet's columns and rows.
bool ParseCellName(const std::string& text, int32_t* column, int32_t* row, std::string* error);

// Adds the "set" subcommand, filling *o when it is parsed.
CLI::App* AddSetCommand(CLI::App& app, SetOptions* o);

// Changes the cell and prints what it held and holds now; a value that
// looks like a mistyped number gets a note on err. False with *error; the
// notebook is then unchanged.
bool RunSet(const SetOptions& o, std::ostream& out, std::ostream& err, std::string* error);

}  // namespace korund::tools
