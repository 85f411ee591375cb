#include "shell/command_line.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <ostream>

#include "gui/plot_export.h"
#include "util/run_settings.h"

namespace korund::shell {

namespace {

using ui::FormOverride;

constexpr const char* kFooter = R"(Analyses (WORD, any case): weibull, dynamic, static.

Back ends: "terminal" asks the questions on the terminal (the default when
standard input is one); "batch" asks nothing: every box is answered by its
default button or by --answer, a Retry/Cancel box by Cancel, and a locked
worksheet is unlocked only with --unlock. Boxes go to standard error, the
FINISHED summary to standard output.

Exit status:
  0  the analysis completed and the notebook was written back
  1  a fatal error ended the run (also an unreadable command line and, in
     batch mode, an option value the options dialog rejected)
  2  the command line named no analysis (or was empty)
  3  the user stopped or cancelled the run
On every non-zero status the notebook is unchanged.)";

}  // namespace

std::string Invocation::CommandLine() const {
  std::string line;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) line += " ";
    line += words[i];
  }
  return line;
}

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv,
                                   const std::string& notebook_default, std::ostream& out,
                                   std::ostream& err) {
  ParsedCommandLine result;
  Invocation& inv = result.invocation;
  inv.notebook = notebook_default;

  CLI::App app("KORUND - strength analyses of optical fibres on a notebook file", "korund");
  app.footer(kFooter);
  app.set_version_flag("--version", kVersion, "Print the version and exit");
  app.add_option("WORD", inv.words, "The analysis: weibull, dynamic or static; further words are ignored");

  app.add_option("--notebook", inv.notebook, "The notebook file (default: $KORUND_NOTEBOOK)")
      ->type_name("FILE");
  app.add_option("--worksheet", inv.worksheet,
                 "The worksheet to analyse (default: the notebook's current one)")
      ->type_name("NAME");
  bool batch = false;
  std::string ui_name;
  CLI::Option* batch_flag = app.add_flag("--batch", batch, "Same as --ui batch");
  CLI::Option* ui_option = app.add_option("--ui", ui_name, "The back end: terminal or batch")
                               ->check(CLI::IsMember({"terminal", "batch"}));
  batch_flag->excludes(ui_option);
  app.add_option("--transcript", inv.transcript,
                 "Append one JSON line per box and dialog shown to FILE")
      ->type_name("FILE");
  app.add_option("--plot", inv.plot,
                 "After a completed run, write the analysis's graph to FILE (.png, .svg or .pdf)")
      ->type_name("FILE");
  std::vector<std::string> answers;
  app.add_option("--answer", answers,
                 "Batch: press CAPTION in boxes titled TITLE (\"TITLE=CAPTION\"; repeatable, used "
                 "in order, the last one repeats)")
      ->type_name("TITLE=CAPTION")
      ->allow_extra_args(false);  // one value per --answer: a word after it is WORD

  // Analysis options: changes to the options dialog.
  std::string rank_function, mode, group_rates, ignore_ids, copy_set;
  bool lock = false, ignore_weakest = false, no_ignore_weakest = false, no_group_rates = false,
       no_ignore_ids = false, no_copy = false;
  const std::string every = "Options of every analysis";
  const std::string weibull = "Weibull options";
  const std::string fatigue = "Dynamic fatigue options";
  app.add_option("--rank-function", rank_function,
                 "Rank function: 1 = (i - 0.5)/N, 0 = i/(N + 1)")
      ->check(CLI::IsMember({"0", "1"}))
      ->group(weibull);
  app.add_flag("--lock", lock, "Lock the worksheet after the analysis")->group(every);
  app.add_flag("--unlock", inv.unlock,
               "Batch: unlock a locked worksheet (otherwise the run stops, status 3)")
      ->group(every);
  app.add_option("--mode", mode, "Dynamic: rate (stress or strain rate) or velocity (faceplate)")
      ->check(CLI::IsMember({"rate", "velocity"}))
      ->group(fatigue);
  CLI::Option* iw = app.add_flag("--ignore-weakest", ignore_weakest,
                                 "Ignore the weakest at each rate")->group(fatigue);
  CLI::Option* niw = app.add_flag("--no-ignore-weakest", no_ignore_weakest,
                                  "Keep the weakest at each rate")->group(fatigue);
  CLI::Option* gr = app.add_option("--group-rates", group_rates,
                                   "Group similar rates within FACTOR (1 to 100)")
                        ->type_name("FACTOR")
                        ->check(CLI::Range(1.0, 100.0))
                        ->group(fatigue);
  CLI::Option* ngr = app.add_flag("--no-group-rates", no_group_rates, "Do not group rates")
                         ->group(fatigue);
  CLI::Option* ii = app.add_option("--ignore-ids", ignore_ids,
                                   "Ignore data whose ID starts with one of CHARS")
                        ->type_name("CHARS")
                        ->group(fatigue);
  CLI::Option* nii = app.add_flag("--no-ignore-ids", no_ignore_ids, "Ignore no data by ID")
                         ->group(fatigue);
  CLI::Option* cs = app.add_option("--copy-set", copy_set,
                                   "Copy data set N (1 to 6) to the clipboard")
                        ->type_name("N")
                        ->check(CLI::Range(1, 6))
                        ->group(fatigue);
  CLI::Option* nc = app.add_flag("--no-copy", no_copy, "Copy nothing to the clipboard")
                        ->group(fatigue);
  app.add_option("--clipboard-file", inv.clipboard_file,
                 "Write the copied table to FILE instead of the desktop clipboard")
      ->type_name("FILE")
      ->group(fatigue);
  iw->excludes(niw);
  gr->excludes(ngr);
  ii->excludes(nii);
  cs->excludes(nc);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, out, err);
    result.status = code == 0 ? 0 : 1;
    return result;
  }

  inv.ui = batch || ui_name == "batch" ? UiKind::kBatch
           : ui_name == "terminal"     ? UiKind::kTerminal
                                       : UiKind::kAuto;
  for (const std::string& a : answers) {
    const size_t eq = a.find('=');
    if (eq == std::string::npos || eq == 0) {
      err << "--answer: \"" << a << "\" is not TITLE=CAPTION\n";
      result.status = 1;
      return result;
    }
    inv.answers.emplace_back(a.substr(0, eq), a.substr(eq + 1));
  }

  if (!inv.plot.empty() && !gui::ImageFormatForPath(inv.plot)) {
    err << "--plot: \"" << inv.plot << "\" must end in .png, .svg or .pdf\n";
    result.status = 1;
    return result;
  }

  // Choices first, then check boxes (which enable their text boxes), then
  // the texts.
  ui::FormOverrides& o = inv.overrides;
  if (!rank_function.empty()) o.push_back(FormOverride::Select("optFopt(" + rank_function + ")"));
  if (!mode.empty()) o.push_back(FormOverride::Select(mode == "rate" ? "optMode(0)" : "optMode(1)"));
  if (lock) o.push_back(FormOverride::Check("chkLock"));
  if (ignore_weakest) o.push_back(FormOverride::Check("chkIgnoreWeakest"));
  if (no_ignore_weakest) o.push_back(FormOverride::Uncheck("chkIgnoreWeakest"));
  if (gr->count() > 0) o.push_back(FormOverride::Check("chkGroupRates"));
  if (no_group_rates) o.push_back(FormOverride::Uncheck("chkGroupRates"));
  if (ii->count() > 0) o.push_back(FormOverride::Check("chkIgnore"));
  if (no_ignore_ids) o.push_back(FormOverride::Uncheck("chkIgnore"));
  if (cs->count() > 0) o.push_back(FormOverride::Check("chkCopyData"));
  if (no_copy) o.push_back(FormOverride::Uncheck("chkCopyData"));
  if (gr->count() > 0) o.push_back(FormOverride::SetText("txtRateFactor", group_rates));
  if (ii->count() > 0) o.push_back(FormOverride::SetText("txtIgnore", ignore_ids));
  if (cs->count() > 0) o.push_back(FormOverride::SetText("txtSetToCopy", copy_set));

  result.run = true;
  return result;
}

std::string ExecutablePath(const char* argv0) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec && !self.empty()) return self.string();
  return std::filesystem::absolute(argv0 == nullptr ? "korund" : argv0, ec).string();
}

}  // namespace korund::shell
