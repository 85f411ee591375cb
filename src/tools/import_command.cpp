#include "tools/import_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <map>

#include "notebook/csv.h"
#include "notebook/notebook_file.h"
#include "notebook/xlsx.h"
#include "tools/import_table.h"
#include "tools/notebook_edit.h"
#include "util/text.h"

namespace korund::tools {
namespace {

using notebook::kMaxColumnNumber;
using notebook::kMaxRowsPerColumn;

bool IsXlsxPath(const std::string& path) {
  if (path.size() < 5) return false;
  return LowerAscii(path.substr(path.size() - 5)) == ".xlsx";
}

bool ReadCsvTable(const ImportOptions& o, std::vector<std::vector<Value>>* table,
                  std::vector<std::string>* notes, std::string* error) {
  char separator = ',';
  if (o.separator == "tab" || o.separator == "\\t") {
    separator = '\t';
  } else if (o.separator.size() == 1 && o.separator[0] != '"' && o.separator[0] != '\r' &&
             o.separator[0] != '\n') {
    separator = o.separator[0];
  } else {
    *error = "--separator wants one character (or \"tab\"), not \"" + o.separator + "\"";
    return false;
  }
  std::string text;
  if (!notebook::ReadWholeFile(o.data, &text, error)) return false;
  std::vector<notebook::CsvRow> rows;
  std::string csv_error;
  if (!notebook::ParseCsv(text, separator, &rows, &csv_error)) {
    *error = o.data + ": " + csv_error;
    return false;
  }
  if (std::string note = EuropeanCsvNote(text, separator, o.decimal_comma); !note.empty()) {
    notes->push_back(note);
  }
  std::string().swap(text);  // the rows hold the fields now
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.size());
  table->assign(width, std::vector<Value>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t k = 0; k < rows[r].size(); ++k) {
      if (!rows[r][k].empty()) (*table)[k][r] = Value(rows[r][k]);
    }
  }
  return true;
}

}  // namespace

CLI::App* AddImportCommand(CLI::App& app, ImportOptions* o) {
  CLI::App* cmd = app.add_subcommand(
      "import",
      "Put the columns of a CSV or .xlsx file into a worksheet (replacing those columns' cells)");
  cmd->add_option("FILE", o->file, "Notebook file")->required();
  cmd->add_option("DATA", o->data, "CSV or .xlsx file to read (the format follows the extension)")
      ->required();
  cmd->add_option("--worksheet", o->worksheet,
                  "Worksheet to fill (created when missing; default: the current one)");
  cmd->add_option("--sheet", o->sheet, "Sheet of the .xlsx file (default: the first)");
  cmd->add_option("--column", o->column, "First worksheet column to fill")
      ->capture_default_str()
      ->check(CLI::Range(0, kMaxColumnNumber));
  cmd->add_flag("--header", o->header,
                "The first row holds the column names (kept as titles and labels)");
  cmd->add_flag("--decimal-comma", o->decimal_comma, "Read \"1,5\" as 1.5");
  cmd->add_option("--unit", o->unit,
                  "Unit word to put above each column's data: GPA, MPA, KSI, KPSI; S, MIN, "
                  "HOUR, DAY");
  cmd->add_option("--separator", o->separator, "CSV field separator (one character or \"tab\")")
      ->capture_default_str();
  return cmd;
}

bool RunImport(const ImportOptions& o, std::ostream& out, std::ostream& err, std::string* error) {
  ImportSettings settings;
  settings.header = o.header;
  settings.decimal_comma = o.decimal_comma;
  settings.unit = UpperAscii(o.unit);
  if (!settings.unit.empty() && !IsUnitWord(settings.unit)) {
    *error = "--unit wants GPA, MPA, KSI, KPSI, S, MIN, HOUR or DAY, not \"" + o.unit + "\"";
    return false;
  }
  const bool xlsx = IsXlsxPath(o.data);
  if (!xlsx && !o.sheet.empty()) {
    *error = "--sheet is for .xlsx files; " + o.data + " is read as CSV";
    return false;
  }

  std::vector<std::vector<Value>> table;
  std::map<size_t, std::string> labels;
  std::vector<std::string> notes;
  std::function<std::string(size_t, size_t)> position;
  if (xlsx) {
    notebook::XlsxSheet sheet;
    if (!notebook::ReadXlsxSheet(o.data, o.sheet, &sheet, error)) return false;
    table = std::move(sheet.columns);
    labels = std::move(sheet.labels);
    position = [](size_t k, size_t r) { return "cell " + notebook::XlsxSheet::CellName(k, r); };
  } else {
    if (!ReadCsvTable(o, &table, &notes, error)) return false;
    position = [](size_t k, size_t r) {
      return "row " + std::to_string(r + 1) + ", column " + std::to_string(k + 1);
    };
  }
  size_t data_rows = 0;
  for (const auto& column : table) data_rows = std::max(data_rows, column.size());
  if (o.header && data_rows > 0) --data_rows;

  std::vector<ImportedColumn> columns;
  std::string build_error;
  bool built = BuildImportColumns(table, settings, position, &columns, &notes, &build_error);
  std::vector<std::vector<Value>>().swap(table);  // the columns hold the cells now
  for (const std::string& note : notes) err << "note: " << o.data << ": " << note << '\n';
  if (!built) {
    *error = o.data + ": " + build_error;
    return false;
  }
  // A label kept beside the header (by export --xlsx) names the data again.
  for (const auto& [k, label] : labels) {
    if (o.header && k < columns.size()) columns[k].label = label;
  }
  const size_t width = columns.size();
  if (o.column + static_cast<int64_t>(width) - 1 > kMaxColumnNumber) {
    *error = o.data + ": " + std::to_string(width) + " columns from column " +
             std::to_string(o.column) + " go beyond column " + std::to_string(kMaxColumnNumber);
    return false;
  }
  for (const ImportedColumn& column : columns) {
    if (static_cast<int64_t>(column.cells.size()) > kMaxRowsPerColumn) {
      *error = o.data + ": " + std::to_string(column.cells.size()) + " rows (the limit is " +
               std::to_string(kMaxRowsPerColumn) + ")";
      return false;
    }
  }

  std::string sheet_name;
  auto change = [&](notebook::Notebook& doc, std::string* err_text) {
    notebook::Item* sheet = nullptr;
    if (!o.worksheet.empty() && doc.Find(o.worksheet) == nullptr) {
      // A new worksheet goes to the end of the notebook.
      sheet = &doc.AddWorksheet(o.worksheet);
      if (!doc.current()) doc.set_current(o.worksheet);
    } else {
      sheet = notebook::ChooseWorksheet(doc, o.worksheet, o.file, err_text);
      if (sheet == nullptr) return false;
    }
    sheet_name = sheet->name();
    PutImportedColumns(*sheet->worksheet(), o.column, std::move(columns));
    return true;
  };
  if (!EditNotebook(o.file, change, error)) return false;
  out << "Imported " << data_rows << " row" << (data_rows == 1 ? "" : "s") << " into column"
      << (width == 1 ? " " + std::to_string(o.column)
                     : "s " + std::to_string(o.column) + " to " +
                           std::to_string(o.column + static_cast<int32_t>(width) - 1))
      << " of worksheet \"" << sheet_name << "\".\n";
  return true;
}

bool ExportXlsx(const std::string& file, const std::string& xlsx, std::string* error) {
  if (!RefuseNotebookAsOutput(xlsx, file, error)) return false;
  notebook::Notebook doc;
  if (!notebook::LoadNotebookFile(file, &doc, nullptr, error)) return false;
  return WriteOutputFile(
      xlsx,
      [&](const std::string& temp, std::string* err_text) {
        return notebook::WriteXlsx(doc, temp, err_text);
      },
      error);
}

}  // namespace korund::tools
