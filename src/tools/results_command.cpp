#include "tools/results_command.h"

#include <CLI/CLI.hpp>

#include "host/atomic_file.h"
#include "host/notebook_store.h"
#include "notebook/analysis_stamp.h"
#include "notebook/notebook_file.h"
#include "notebook/xlsx.h"
#include "tools/notebook_edit.h"
#include "tools/results_table.h"

namespace korund::tools {

CLI::App* AddResultsCommand(CLI::App& app, ResultsOptions* o) {
  CLI::App* cmd = app.add_subcommand(
      "results", "Print an analysed worksheet's results as a table, one row per data set");
  cmd->add_option("FILE", o->file, "Notebook file")->required();
  cmd->add_option("--worksheet", o->worksheet, "Worksheet (default: the current one)");
  cmd->add_option("--format", o->format, "Table format")
      ->capture_default_str()
      ->check(CLI::IsMember({"csv", "md", "xlsx", "json"}));
  cmd->add_option("--out", o->out, "File to write (default: standard output)");
  cmd->add_option("--digits", o->digits, "Significant digits of the numbers")
      ->capture_default_str()
      ->check(CLI::Range(1, 15));
  cmd->add_flag("--glossary", o->glossary, "Add a line per column saying what it holds");
  return cmd;
}

bool RunResults(const ResultsOptions& o, std::ostream& out, std::ostream& err, std::string* error) {
  notebook::Notebook doc;
  if (!notebook::LoadNotebookFile(o.file, &doc, nullptr, error)) return false;
  notebook::Item* item = notebook::ChooseWorksheet(doc, o.worksheet, o.file, error);
  if (item == nullptr) return false;
  ResultsTable table;
  std::string table_error;
  if (!BuildResultsTable(*item->worksheet(), &table, &table_error)) {
    *error = o.file + ": worksheet \"" + item->name() + "\": " + table_error;
    return false;
  }
  const std::string stale = notebook::StaleResultsNote(*item);
  if (!stale.empty()) {
    table.stale = true;
    err << "korund-notebook: " << stale << '\n';
  }
  if (o.format == "xlsx") {
    if (o.out.empty()) {
      *error = "--format xlsx needs --out FILE";
      return false;
    }
    const notebook::Notebook book = ResultsNotebook(table, o.digits, o.glossary);
    return host::WriteOutputFile(
        o.out,
        [&](const std::string& temp, std::string* err) {
          return notebook::WriteXlsx(book, temp, err);
        },
        error);
  }
  std::string text;
  if (o.format == "md") {
    text = ResultsMarkdown(table, o.digits, o.glossary);
  } else if (o.format == "json") {
    text = ResultsJson(table, o.digits, o.glossary);
  } else {
    text = ResultsCsv(table, o.digits, o.glossary);
  }
  if (o.out.empty()) {
    out << text;
    return true;
  }
  if (!host::RefuseNotebookAsOutput(o.out, o.file, error)) return false;
  return host::WriteFileAtomically(o.out, text, error);
}

}  // namespace korund::tools
