#include "tools/set_command.h"

#include <cctype>
#include <optional>

#include <CLI/CLI.hpp>

#include "notebook/import_table.h"
#include "notebook/notebook.h"
#include "notebook/xlsx.h"
#include "tools/notebook_edit.h"
#include "ui/console.h"
#include "util/text.h"
#include "util/value.h"

namespace korund::tools {
namespace {

using notebook::kMaxColumnNumber;
using notebook::kMaxRowsPerColumn;

// A whole number of at most max_digits digits; -1 for anything else.
int64_t ReadWhole(const std::string& text, size_t max_digits) {
  if (text.empty() || text.size() > max_digits ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return -1;
  }
  return std::stoll(text);
}

// A cell's value as the user reads it back.
std::string Shown(const Value& v) {
  if (v.IsEmpty()) return "(empty)";
  if (v.IsNumber()) return FormatNumber(v.Number());
  return ui::ToTerminalText(QuotedExcerpt(v.Text()));
}

}  // namespace

bool ParseCellName(const std::string& text, int32_t* column, int32_t* row, std::string* error) {
  int64_t c = -1, r = -1;
  if (const size_t colon = text.find(':'); colon != std::string::npos) {
    c = ReadWhole(text.substr(0, colon), 5);
    r = ReadWhole(text.substr(colon + 1), 7);
  } else {
    size_t letters = 0;
    int64_t n = 0;
    while (letters < text.size() && letters < 4 &&
           std::isalpha(static_cast<unsigned char>(text[letters]))) {
      n = n * 26 + (std::toupper(static_cast<unsigned char>(text[letters])) - 'A' + 1);
      ++letters;
    }
    if (letters > 0) {
      c = n;
      r = ReadWhole(text.substr(letters), 7);
    }
  }
  if (c < 0 || r < 0) {
    *error =
        "a cell is column letters and a row (B9) or column:row (2:9), not " + QuotedExcerpt(text);
    return false;
  }
  if (c > kMaxColumnNumber || r < 1 || r > kMaxRowsPerColumn) {
    *error = "cell " + QuotedExcerpt(text) + " is beyond the worksheet: columns 0 to " +
             std::to_string(kMaxColumnNumber) + ", rows 1 to " + std::to_string(kMaxRowsPerColumn);
    return false;
  }
  *column = static_cast<int32_t>(c);
  *row = static_cast<int32_t>(r);
  return true;
}

CLI::App* AddSetCommand(CLI::App& app, SetOptions* o) {
  CLI::App* cmd = app.add_subcommand("set", "Change one cell of a worksheet");
  cmd->add_option("FILE", o->file, "Notebook file")->required();
  cmd->add_option("CELL", o->cell,
                  "B9 (column letters, A is column 1) or 2:9 (column:row, columns numbered from 1 "
                  "as show and import --column number them, 0 the row titles)")
      ->required();
  cmd->add_option("VALUE", o->value,
                  "A number (1.5, -2E-3; the decimal point is '.'), a text, or \"\" to clear the "
                  "cell")
      ->required();
  cmd->add_option("--worksheet", o->worksheet, "Worksheet (default: the current one)");
  return cmd;
}

bool RunSet(const SetOptions& o, std::ostream& out, std::ostream& err, std::string* error) {
  int32_t column = 0, row = 0;
  if (!ParseCellName(o.cell, &column, &row, error)) return false;
  Value value;
  if (std::optional<double> x = ParseNumber(o.value)) {
    value = Value(*x);
  } else if (!o.value.empty()) {
    value = Value(o.value);
  }
  Value old;
  std::string sheet_name;
  auto change = [&](notebook::Notebook& doc, std::string* err_text) {
    notebook::Item* sheet = WorksheetToEdit(doc, o.worksheet, o.file, false, err_text);
    if (sheet == nullptr) return false;
    old = sheet->worksheet()->Cell(column, row);
    sheet->worksheet()->SetCell(column, row, value);
    sheet_name = sheet->name();
    return true;
  };
  if (!EditNotebook(o.file, change, error)) return false;
  if (value.IsText() && notebook::LooksLikeMistypedNumber(value.Text())) {
    err << "note: " << Shown(value)
        << " is stored as text; is it a mistyped number? (the decimal point is '.')\n";
  }
  const std::string rows = std::to_string(row);
  const std::string cell =
      column == 0 ? "0:" + rows + " (row titles, row " + rows + ")"
                  : notebook::XlsxSheet::CellName(static_cast<size_t>(column) - 1, row - 1) +
                        " (column " + std::to_string(column) + ", row " + rows + ")";
  out << "Worksheet " << ui::ToTerminalText(QuotedExcerpt(sheet_name)) << ", cell " << cell << ": "
      << Shown(old) << " \xE2\x86\x92 " << Shown(value) << '\n';
  return true;
}

}  // namespace korund::tools
