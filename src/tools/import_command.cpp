#include "tools/import_command.h"

#include <CLI/CLI.hpp>

#include "host/atomic_file.h"
#include "host/notebook_store.h"
#include "notebook/analysis_stamp.h"
#include "notebook/csv.h"
#include "notebook/import_table.h"
#include "notebook/notebook_file.h"
#include "notebook/xlsx.h"
#include "tools/notebook_edit.h"
#include "util/text.h"

namespace korund::tools {
namespace {

using notebook::kMaxColumnNumber;

// The import settings the options ask for. False with *error for an option
// the data file cannot take.
bool ReadImportOptions(const ImportOptions& o, notebook::ImportSettings* settings,
                       std::string* error) {
  if (o.columns && !notebook::ParseColumnList(*o.columns, &settings->columns, error)) {
    return false;
  }
  settings->header = o.header;
  settings->decimal_comma = o.decimal_comma;
  settings->unit = UpperAscii(o.unit);
  if (!settings->unit.empty() && !notebook::IsUnitWord(settings->unit)) {
    *error = "--unit wants GPA, MPA, KSI, KPSI, S, MIN, HOUR or DAY, not \"" + o.unit + "\"";
    return false;
  }
  if (notebook::IsXlsxPath(o.data)) {
    settings->format = notebook::ImportFormat::kXlsx;
    settings->sheet = o.sheet;
    return true;
  }
  if (!o.sheet.empty()) {
    *error = "--sheet is for .xlsx files; " + o.data + " is read as CSV";
    return false;
  }
  return notebook::ParseSeparator(o.separator, &settings->separator, error);
}

}  // namespace

CLI::App* AddImportCommand(CLI::App& app, ImportOptions* o) {
  CLI::App* cmd = app.add_subcommand(
      "import",
      "Put the columns of a CSV or .xlsx file into a worksheet (replacing those columns' cells)");
  cmd->add_option("FILE", o->file, "Notebook file")->required();
  cmd->add_option("DATA", o->data, "CSV or .xlsx file to read (the format follows the extension)")
      ->required();
  cmd->add_option("--worksheet", o->worksheet, "Worksheet to fill (default: the current one)");
  cmd->add_flag("--new-worksheet", o->new_worksheet,
                "Add the --worksheet at the end of the notebook when it is missing");
  cmd->add_option("--sheet", o->sheet, "Sheet of the .xlsx file (default: the first)");
  cmd->add_option("--column", o->column,
                  "First worksheet column to fill (numbered from 1 as show numbers them; 0 holds "
                  "the row titles)")
      ->capture_default_str()
      ->check(CLI::Range(0, kMaxColumnNumber));
  cmd->add_option("--columns", o->columns,
                  "Only these columns of the file, numbered from 1, in this order (2 or 2,4-5), "
                  "into consecutive worksheet columns from --column (default: every column)");
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
  notebook::ImportSettings settings;
  if (!ReadImportOptions(o, &settings, error)) return false;
  notebook::ImportedTable table;
  const bool read = notebook::ImportFile(o.data, settings, o.column, &table, error);
  for (const std::string& note : table.notes) err << "note: " << o.data << ": " << note << '\n';
  if (!read) return false;
  const size_t width = table.columns.size();
  std::string sheet_name;
  auto change = [&](notebook::Notebook& doc, std::string* err_text) {
    notebook::Item* sheet = WorksheetToEdit(doc, o.worksheet, o.file, o.new_worksheet, err_text);
    if (sheet == nullptr) {
      if (!o.worksheet.empty() && doc.Find(o.worksheet) == nullptr) {
        *err_text += " (--new-worksheet adds it)";
      }
      return false;
    }
    sheet_name = sheet->name();
    notebook::PutImportedColumns(*sheet->worksheet(), o.column, std::move(table.columns));
    return true;
  };
  if (!EditNotebook(o.file, change, error)) return false;
  const size_t rows = table.data_rows;
  out << "Imported " << rows << " row" << (rows == 1 ? "" : "s") << " into column"
      << (width == 1 ? " " + std::to_string(o.column)
                     : "s " + std::to_string(o.column) + " to " +
                           std::to_string(o.column + static_cast<int32_t>(width) - 1))
      << " of worksheet \"" << sheet_name << "\".\n";
  return true;
}

void SayIfStale(const notebook::Item& item, std::ostream& err) {
  const std::string stale = notebook::StaleResultsNote(item);
  if (!stale.empty()) err << "korund-notebook: " << stale << '\n';
}

bool ExportXlsx(const std::string& file, const std::string& xlsx, std::ostream& err,
                std::string* error) {
  if (!host::RefuseNotebookAsOutput(xlsx, file, error)) return false;
  notebook::Notebook doc;
  if (!notebook::LoadNotebookFile(file, &doc, nullptr, error)) return false;
  for (size_t i = 0; i < doc.size(); ++i) SayIfStale(doc.item(i), err);
  return host::WriteOutputFile(
      xlsx,
      [&](const std::string& temp, std::string* err_text) {
        return notebook::WriteXlsx(doc, temp, err_text);
      },
      error);
}

}  // namespace korund::tools
