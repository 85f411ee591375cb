#include "tools/notebook_tool.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "host/atomic_file.h"
#include "host/notebook_store.h"
#include "notebook/csv.h"
#include "notebook/notebook.h"
#include "notebook/notebook_file.h"
#include "tools/import_command.h"
#include "tools/notebook_edit.h"
#include "tools/plot_command.h"
#include "tools/results_command.h"
#include "tools/set_command.h"
#include "ui/console.h"
#include "util/text.h"
#include "util/value.h"

namespace korund::tools {
namespace {

using notebook::ChooseWorksheet;
using notebook::Column;
using notebook::CsvRow;
using notebook::Item;
using notebook::ItemType;
using notebook::kMaxColumnNumber;
using notebook::kMaxRowsPerColumn;
using notebook::LoadNotebookFile;
using notebook::Notebook;
using notebook::ReadWholeFile;
using notebook::Worksheet;

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
// Widest a column of `show` gets; longer cells end in "~".
constexpr size_t kShowWidth = 20;

// Worksheet column numbers as the file has them: 1-based, 0 the row titles.
struct ColumnRange {
  bool given = false;
  int32_t first = 0;
  int32_t last = 0;
};

bool ParseColumnRange(const std::string& text, ColumnRange* range, std::string* error) {
  if (text.empty()) return true;
  auto number = [](const std::string& s) -> std::optional<int32_t> {
    if (s.empty() || s.size() > 5 || s.find_first_not_of("0123456789") != std::string::npos) {
      return std::nullopt;
    }
    int32_t n = std::stoi(s);
    if (n > kMaxColumnNumber) return std::nullopt;
    return n;
  };
  size_t dash = text.find('-');
  auto first = number(text.substr(0, dash));
  auto last = dash == std::string::npos ? first : number(text.substr(dash + 1));
  if (!first || !last || *first > *last) {
    *error = "--columns wants A-B or A with column numbers 0 to " +
             std::to_string(kMaxColumnNumber) + " and A <= B, not \"" + text + "\"";
    return false;
  }
  *range = {true, *first, *last};
  return true;
}

bool ColumnUsed(const Worksheet& sheet, int32_t number) {
  return !sheet.Title(number).empty() || sheet.UsedRows(number) > 0;
}

// The columns a table shows: those of the range (every column from 1 when
// none is given) that hold a title or a cell. Only stored columns are
// visited, so a wide range costs nothing.
std::vector<int32_t> ShownColumns(const Worksheet& sheet, const ColumnRange& range) {
  const int32_t first = range.given ? range.first : 1;
  const int32_t last = range.given ? range.last : kMaxColumnNumber;
  std::vector<int32_t> numbers;
  for (auto it = sheet.columns().lower_bound(first);
       it != sheet.columns().end() && it->first <= last; ++it) {
    if (ColumnUsed(sheet, it->first)) numbers.push_back(it->first);
  }
  return numbers;
}

// The last column from 1 on that holds a title or a cell; 0 when none does.
int32_t LastUsedColumn(const Worksheet& sheet) {
  int32_t last = 0;
  for (const auto& [number, column] : sheet.columns()) {
    if (number >= 1 && ColumnUsed(sheet, number)) last = number;
  }
  return last;
}

int32_t RowCount(const Worksheet& sheet, const std::vector<int32_t>& numbers) {
  int32_t rows = 0;
  for (int32_t c : numbers) rows = std::max(rows, sheet.UsedRows(c));
  return rows;
}

// Characters on screen, counting a UTF-8 sequence as one.
size_t DisplayWidth(const std::string& s) {
  return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char ch) {
    return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
  }));
}

// One cell's text for the table: line breaks and tabs as one mark, cut to
// kShowWidth characters.
std::string ShowText(const std::string& text) {
  std::string flat;
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (ch == '\r' || ch == '\n') {
      flat += "\xE2\x86\xB5";  // the "return" arrow
    } else if (ch == '\t') {
      flat += ' ';
    } else {
      flat += ch;
    }
  }
  flat = ui::ToTerminalText(flat);  // no control character reaches the terminal
  if (DisplayWidth(flat) <= kShowWidth) return flat;
  std::string cut;
  size_t chars = 0;
  for (size_t i = 0; i < flat.size(); ++i) {
    bool starts = (static_cast<unsigned char>(flat[i]) & 0xC0) != 0x80;
    if (starts && ++chars == kShowWidth) break;
    cut += flat[i];
  }
  return cut + "~";
}

std::string Pad(const std::string& s, size_t width) {
  size_t w = DisplayWidth(s);
  return w >= width ? s : s + std::string(width - w, ' ');
}

// Prints the table a line at a time: the widths are measured in a first
// pass, so memory stays proportional to the columns shown, not to the
// cells.
void PrintTable(const Worksheet& sheet, const std::string& name, const ColumnRange& range,
                std::ostream& out) {
  const std::vector<int32_t> numbers = ShownColumns(sheet, range);
  if (numbers.empty()) {
    out << "The worksheet \"" << ui::ToTerminalText(name) << "\" is empty";
    if (range.given) {
      out << " in column" << (range.first == range.last ? " " : "s ") << range.first;
      if (range.first != range.last) out << "-" << range.last;
    }
    out << ".\n";
    return;
  }
  const int32_t rows = RowCount(sheet, numbers);
  auto cell = [&](size_t i, int32_t row) { return ShowText(ToText(sheet.Cell(numbers[i], row))); };
  // widths[0] is the row-number column.
  std::vector<size_t> widths(numbers.size() + 1, 0);
  widths[0] = std::max<size_t>(3, std::to_string(rows).size());
  for (size_t i = 0; i < numbers.size(); ++i) {
    size_t& w = widths[i + 1];
    w = std::max(std::to_string(numbers[i]).size(),
                 DisplayWidth(ShowText(sheet.Title(numbers[i]))));
    for (int32_t r = 1; r <= rows; ++r) w = std::max(w, DisplayWidth(cell(i, r)));
  }
  std::string text;
  auto print_line = [&](const std::string& head, auto field) {
    text = std::string(widths[0] - DisplayWidth(head), ' ') + head;
    for (size_t i = 0; i < numbers.size(); ++i) text += "  " + Pad(field(i), widths[i + 1]);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out << text << '\n';
  };
  print_line("row", [&](size_t i) { return std::to_string(numbers[i]); });
  print_line("", [&](size_t i) { return ShowText(sheet.Title(numbers[i])); });
  text = std::string(widths[0], '-');
  for (size_t i = 1; i < widths.size(); ++i) text += "  " + std::string(widths[i], '-');
  out << text << '\n';
  for (int32_t r = 1; r <= rows; ++r) {
    print_line(std::to_string(r), [&](size_t i) { return cell(i, r); });
  }
}

// --- The subcommands ---------------------------------------------------------

struct NewOptions {
  std::string file;
  std::string section = "Section 1";
  std::string worksheet = "Data 1";
  bool force = false;
};

bool RunNew(const NewOptions& o, std::ostream& out, std::string* error) {
  if (o.section.empty() || o.worksheet.empty()) {
    *error = "the section and the worksheet need names";
    return false;
  }
  if (o.section == o.worksheet) {
    *error = "the section and the worksheet need different names";
    return false;
  }
  host::NotebookStore store;
  if (!store.Lock(o.file, error)) return false;
  std::error_code ec;
  if (!o.force && std::filesystem::exists(o.file, ec)) {
    *error = o.file + " already exists (use --force to replace it)";
    return false;
  }
  Notebook doc;
  doc.AddSection(o.section);
  doc.AddWorksheet(o.worksheet);
  doc.set_current(o.worksheet);
  std::string text;
  if (!notebook::SerializeNotebook(doc, o.file, &text, error)) return false;
  if (!store.Replace(text, error)) return false;
  out << "Created " << o.file << " with worksheet \"" << o.worksheet << "\".\n";
  return true;
}

struct ShowOptions {
  std::string file;
  std::string worksheet;
  std::string report;
  std::string columns;
};

bool PrintReport(Notebook& doc, const std::string& name, const std::string& file,
                 std::ostream& out, std::string* error) {
  Item* item = doc.Find(name);
  if (item == nullptr || item->type() != ItemType::kReport) {
    *error = file + ": there is no report named \"" + name + "\"";
    return false;
  }
  std::string text = ui::ToTerminalText(item->text());
  out << text;
  if (!text.empty() && text.back() != '\n') out << '\n';
  return true;
}

bool RunShow(const ShowOptions& o, std::ostream& out, std::string* error) {
  ColumnRange range;
  if (!ParseColumnRange(o.columns, &range, error)) return false;
  Notebook doc;
  if (!LoadNotebookFile(o.file, &doc, nullptr, error)) return false;
  if (!o.report.empty()) return PrintReport(doc, o.report, o.file, out, error);
  if (Item* item = doc.Find(o.worksheet); item != nullptr && item->type() == ItemType::kReport) {
    return PrintReport(doc, o.worksheet, o.file, out, error);
  }
  Item* sheet = ChooseWorksheet(doc, o.worksheet, o.file, error);
  if (sheet == nullptr) return false;
  PrintTable(*sheet->worksheet(), sheet->name(), range, out);
  return true;
}

struct ExportOptions {
  std::string file;
  std::string worksheet;
  std::string csv;
  std::string xlsx;
  std::string columns;
  std::string separator = ",";
};

bool RunExport(const ExportOptions& o, std::ostream& out, std::ostream& err, std::string* error) {
  if (o.csv.empty() == o.xlsx.empty()) {
    *error = "export wants one of --csv FILE and --xlsx FILE";
    return false;
  }
  if (!o.xlsx.empty()) return ExportXlsx(o.file, o.xlsx, err, error);
  ColumnRange range;
  if (!ParseColumnRange(o.columns, &range, error)) return false;
  char separator = ',';
  if (!notebook::ParseSeparator(o.separator, &separator, error)) return false;
  Notebook doc;
  if (!LoadNotebookFile(o.file, &doc, nullptr, error)) return false;
  Item* sheet = ChooseWorksheet(doc, o.worksheet, o.file, error);
  if (sheet == nullptr) return false;
  SayIfStale(*sheet, err);
  const Worksheet& ws = *sheet->worksheet();
  // Gaps stay, so that a column keeps its place when read back.
  const int32_t first = range.given ? range.first : 1;
  const int32_t last = range.given ? range.last : LastUsedColumn(ws);
  if (o.csv == "-") {
    return notebook::WriteWorksheetCsv(ws, first, last, notebook::CsvColumns::kEvery, separator,
                                       [&](std::string_view line) {
                                         out << line;
                                         return true;
                                       });
  }
  if (!host::RefuseNotebookAsOutput(o.csv, o.file, error)) return false;
  // import reads no file larger than a notebook may be, so export writes
  // none. The separators and line ends alone are known at once (they are
  // what a sparse worksheet makes large); the cells are counted on the way,
  // and the target stays as it was until the whole text is in.
  const std::string too_large = o.csv + ": the CSV text would be larger than " +
                                std::to_string(notebook::kMaxFileBytes / (1024 * 1024)) +
                                " MB, more than import reads; nothing was written (choose fewer "
                                "columns or rows with --columns)";
  if (first <= last) {
    const int64_t frame = (static_cast<int64_t>(notebook::WorksheetCsvRows(ws, first, last)) + 1) *
                          (static_cast<int64_t>(last) - first + 2);
    if (frame > notebook::kMaxFileBytes) {
      *error = too_large;
      return false;
    }
  }
  host::AtomicFileWriter file(o.csv);
  if (!file.Open(error)) return false;
  int64_t bytes = 0;
  bool written = notebook::WriteWorksheetCsv(ws, first, last, notebook::CsvColumns::kEvery,
                                             separator, [&](std::string_view line) {
                                               bytes += static_cast<int64_t>(line.size());
                                               if (bytes > notebook::kMaxFileBytes) {
                                                 *error = too_large;
                                                 return false;
                                               }
                                               return file.Write(line, error);
                                             });
  return written && file.Commit(error);
}

bool RunList(const std::string& file, std::ostream& out, std::string* error) {
  Notebook doc;
  if (!LoadNotebookFile(file, &doc, nullptr, error)) return false;
  const std::string current = doc.current().value_or("");
  size_t type_width = 4;
  for (size_t i = 0; i < doc.size(); ++i) {
    type_width = std::max(type_width, DisplayWidth(doc.item(i).type_word()));
  }
  out << "     #  " << Pad("type", type_width) << "  name\n";
  for (size_t i = 0; i < doc.size(); ++i) {
    const Item& item = doc.item(i);
    const bool is_current = item.type() == ItemType::kWorksheet && item.name() == current;
    std::string number = std::to_string(i + 1);
    out << (is_current ? "*" : " ") << std::string(number.size() < 5 ? 5 - number.size() : 0, ' ')
        << number << "  " << Pad(ui::ToTerminalText(item.type_word()), type_width) << "  "
        << ui::ToTerminalText(item.name()) << '\n';
  }
  if (doc.size() == 0) out << "(no items)\n";
  return true;
}

bool RunSelect(const std::string& file, const std::string& name, std::ostream& out,
               std::string* error) {
  auto change = [&](Notebook& doc, std::string* err) {
    if (name.empty() || ChooseWorksheet(doc, name, file, err) == nullptr) {
      if (name.empty()) *err = "select needs a worksheet name";
      return false;
    }
    doc.set_current(name);
    return true;
  };
  if (!EditNotebook(file, change, error)) return false;
  out << "\"" << name << "\" is now the current worksheet of " << file << ".\n";
  return true;
}

}  // namespace

int RunNotebookTool(int argc, const char* const argv[], std::ostream& out, std::ostream& err) {
  CLI::App app{"Creates, fills, shows and exports korund notebook files.", "korund-notebook"};
  app.require_subcommand(1);

  NewOptions new_o;
  CLI::App* cmd_new = app.add_subcommand("new", "Create a notebook with one section and one worksheet");
  cmd_new->add_option("FILE", new_o.file, "Notebook file to create")->required();
  cmd_new->add_option("--section", new_o.section, "Name of the section")->capture_default_str();
  cmd_new->add_option("--worksheet", new_o.worksheet, "Name of the worksheet")->capture_default_str();
  cmd_new->add_flag("--force", new_o.force, "Replace an existing file");

  ImportOptions import_o;
  CLI::App* cmd_import = AddImportCommand(app, &import_o);

  ShowOptions show_o;
  CLI::App* cmd_show = app.add_subcommand("show", "Print a worksheet as a table, or a report's text");
  cmd_show->add_option("FILE", show_o.file, "Notebook file")->required();
  cmd_show->add_option("--worksheet", show_o.worksheet, "Worksheet (or report) to show (default: the current one)");
  cmd_show->add_option("--report", show_o.report, "Report to show");
  cmd_show->add_option("--columns", show_o.columns, "Columns A-B (or one column A) to show");

  ExportOptions export_o;
  CLI::App* cmd_export = app.add_subcommand(
      "export", "Write a worksheet as CSV (titles in the first row), or the notebook as .xlsx");
  cmd_export->add_option("FILE", export_o.file, "Notebook file")->required();
  cmd_export->add_option("--worksheet", export_o.worksheet, "Worksheet (default: the current one)");
  cmd_export->add_option("--csv", export_o.csv, "CSV file to write (\"-\" for standard output)");
  cmd_export->add_option("--xlsx", export_o.xlsx,
                         "Workbook to write: every worksheet and report as a sheet");
  cmd_export->add_option("--columns", export_o.columns, "Columns A-B (or one column A) to write");
  cmd_export->add_option("--separator", export_o.separator, "Field separator (one character or \"tab\")")
      ->capture_default_str();

  std::string list_file;
  CLI::App* cmd_list = app.add_subcommand("list", "List the notebook's items (* marks the current worksheet)");
  cmd_list->add_option("FILE", list_file, "Notebook file")->required();

  std::string select_file, select_name;
  CLI::App* cmd_select = app.add_subcommand("select", "Make a worksheet the current one");
  cmd_select->add_option("FILE", select_file, "Notebook file")->required();
  cmd_select->add_option("NAME", select_name, "Worksheet name")->required();

  SetOptions set_o;
  CLI::App* cmd_set = AddSetCommand(app, &set_o);

  PlotCommandOptions plot_o;
  CLI::App* cmd_plot = AddPlotCommand(app, &plot_o);
  ResultsOptions results_o;
  CLI::App* cmd_results = AddResultsCommand(app, &results_o);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int status = app.exit(e, out, err);
    return status == 0 ? 0 : kExitUsage;
  }

  std::string error;
  bool ok = false;
  if (cmd_new->parsed()) ok = RunNew(new_o, out, &error);
  if (cmd_import->parsed()) ok = RunImport(import_o, out, err, &error);
  if (cmd_show->parsed()) ok = RunShow(show_o, out, &error);
  if (cmd_export->parsed()) ok = RunExport(export_o, out, err, &error);
  if (cmd_list->parsed()) ok = RunList(list_file, out, &error);
  if (cmd_select->parsed()) ok = RunSelect(select_file, select_name, out, &error);
  if (cmd_set->parsed()) ok = RunSet(set_o, out, err, &error);
  if (cmd_plot->parsed()) ok = RunPlot(plot_o, out, err, &error);
  if (cmd_results->parsed()) ok = RunResults(results_o, out, err, &error);
  if (!ok) {
    err << "korund-notebook: " << error << '\n';
    return kExitError;
  }
  return 0;
}

}  // namespace korund::tools
