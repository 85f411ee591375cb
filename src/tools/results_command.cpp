#include "tools/results_command.h"

#include <CLI/CLI.hpp>

#include "host/atomic_file.h"
#include "host/notebook_store.h"
#include "notebook/analysis_stamp.h"
#include "notebook/notebook_file.h"
#include "notebook/xlsx.h"
#include "tools/notebook_edit.h"
#include "tools/results_table.h"
#include "util/value.h"

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
  cmd->add_option("--quantile", o->quantiles,
                  "Weibull: failure probability in percent of a strength column with its "
                  "bounds (repeatable; default 1)");
  cmd->add_option("--confidence", o->confidence, "Weibull: confidence in percent of those bounds")
      ->capture_default_str();
  return cmd;
}

namespace {

// A percentage strictly between 0 and 100, else false with *error.
bool CheckPercent(const char* option, double value, std::string* error) {
  if (value > 0 && value < 100) return true;
  *error =
      std::string(option) + " " + FormatNumber(value) + ": give a percentage above 0 and below 100";
  return false;
}

}  // namespace

bool RunResults(const ResultsOptions& o, std::ostream& out, std::ostream& err, std::string* error) {
  FitCheckOptions checks;
  if (!o.quantiles.empty()) checks.quantiles = o.quantiles;
  checks.confidence = o.confidence;
  for (double q : checks.quantiles) {
    if (!CheckPercent("--quantile", q, error)) return false;
  }
  if (!CheckPercent("--confidence", checks.confidence, error)) return false;
  notebook::Notebook doc;
  if (!notebook::LoadNotebookFile(o.file, &doc, nullptr, error)) return false;
  notebook::Item* item = notebook::ChooseWorksheet(doc, o.worksheet, o.file, error);
  if (item == nullptr) return false;
  ResultsTable table;
  std::string table_error;
  if (!BuildResultsTable(*item->worksheet(), &table, &table_error, checks)) {
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
