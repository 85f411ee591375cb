#include "shell/command_line.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <ostream>

#include "gui/image_format.h"
#include "util/run_settings.h"
#include "util/worksheet_layout.h"

namespace korund::shell {

namespace {

using ui::FormOverride;

constexpr const char* kFooter = R"(Analyses (WORD, any case): weibull, dynamic, static, lifetime.

Back ends: "terminal" asks the questions on the terminal (the default when
standard input is one); "qt" shows real dialogs (the default without a
terminal when a display is available); "batch" asks nothing: every box is answered by its
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

namespace {

// The options exactly as typed, before they become an invocation.
struct RawOptions {
  bool batch = false;
  std::string ui_name;
  std::vector<std::string> answers;
  std::string rank_function, mode, group_rates, ignore_ids, copy_set;
  // Lifetime entries, each for its text box ("" = not given).
  std::string n, from_worksheet, set, m, breaks_per_km, length_km, proof_stress, proof_strain,
      modulus, proof_time, b, service_stress, failure_probability, service_years;
  bool lock = false, ignore_weakest = false, no_ignore_weakest = false, no_group_rates = false,
       no_ignore_ids = false, no_copy = false;
  // Options given with a value, even an empty one.
  CLI::Option* group_rates_option = nullptr;
  CLI::Option* ignore_ids_option = nullptr;
  CLI::Option* copy_set_option = nullptr;
};

// Where the run goes: notebook, worksheet, back end, transcript, answers.
void AddRunOptions(CLI::App& app, Invocation& inv, RawOptions& raw) {
  app.add_option("WORD", inv.words,
                 "The analysis: weibull, dynamic, static or lifetime; further words are ignored");
  app.add_option("--notebook", inv.notebook, "The notebook file (default: $KORUND_NOTEBOOK)")
      ->type_name("FILE");
  app.add_option("--worksheet", inv.worksheet,
                 "The worksheet to analyse (default: the notebook's current one)")
      ->type_name("NAME");
  CLI::Option* batch_flag = app.add_flag("--batch", raw.batch, "Same as --ui batch");
  CLI::Option* ui_option =
      app.add_option("--ui", raw.ui_name, "The back end: terminal, qt or batch")
          ->check(CLI::IsMember({"terminal", "qt", "batch"}));
  batch_flag->excludes(ui_option);
  app.add_option("--transcript", inv.transcript,
                 "Append one JSON line per box and dialog shown to FILE")
      ->type_name("FILE");
  app.add_option("--plot", inv.plot,
                 "After a completed run, write the analysis's graph to FILE (.png, .svg, .pdf or .json)")
      ->type_name("FILE");
  app.add_flag("--no-bands{false}", inv.plot_bands,
               "With --plot: leave out the Weibull graph's confidence bands");
  app.add_option("--confidence", inv.plot_confidence,
                 "With --plot: confidence of the Weibull graph's bands in percent (default 95; "
                 "the analysis is not changed)")
      ->type_name("C");
  app.add_option("--plot-title", inv.plot_title,
                 "With --plot: the graph's title (default: the worksheet's name)")
      ->type_name("TEXT");
  app.add_option("--answer", raw.answers,
                 "Batch: press CAPTION in boxes titled TITLE (\"TITLE=CAPTION\"; repeatable, used "
                 "in order, the last one repeats)")
      ->type_name("TITLE=CAPTION")
      ->allow_extra_args(false);  // one value per --answer: a word after it is WORD
}

// The lifetime analysis's entries: texts for its dialog, checked there.
void AddLifetimeOptions(CLI::App& app, RawOptions& raw) {
  const std::string group = "Lifetime options";
  auto add = [&](const char* name, std::string& into, const char* type, const char* help) {
    return app.add_option(name, into, help)->type_name(type)->group(group);
  };
  CLI::Option* n = add("--n", raw.n, "N", "The fatigue parameter n (above 2)");
  CLI::Option* from = add("--from-worksheet", raw.from_worksheet, "NAME",
                          "Read n and its IEC bounds from this analysed fatigue worksheet");
  add("--set", raw.set, "K", "With --from-worksheet: its data set (1 to 6, default 1)");
  add("--m", raw.m, "M", "Weibull modulus of the proof-test breaks (above 0)");
  add("--breaks-per-km", raw.breaks_per_km, "NP", "Proof-test breaks per km (above 0)");
  add("--length-km", raw.length_km, "L", "Service length in km (above 0)");
  CLI::Option* stress = add("--proof-stress", raw.proof_stress, "GPA", "Proof stress in GPa");
  CLI::Option* strain =
      add("--proof-strain", raw.proof_strain, "PERCENT", "Proof strain in % (with --modulus)");
  add("--modulus", raw.modulus, "GPA", "Young's modulus for --proof-strain (default 72)");
  add("--proof-time", raw.proof_time, "S", "Proof-test time in seconds (default 1)");
  add("--b", raw.b, "GPA2S", "Crack-growth constant B in GPa^2 s (default 0)");
  add("--service-stress", raw.service_stress, "GPA",
      "Also give the failure probability at this service stress");
  add("--failure-probability", raw.failure_probability, "F",
      "Target failure probability for the allowed stress (0 < F < 1)");
  add("--service-years", raw.service_years, "LIST",
      "Service times in years, comma-separated (default 1,5,10,20,25,30,40)");
  n->excludes(from);
  stress->excludes(strain);
}

// Analysis options: changes to the options dialog.
void AddAnalysisOptions(CLI::App& app, Invocation& inv, RawOptions& raw) {
  const std::string every = "Options of every analysis";
  const std::string weibull = "Weibull options";
  const std::string fatigue = "Dynamic fatigue options";
  app.add_option("--rank-function", raw.rank_function,
                 "Rank function: 1 = (i - 0.5)/N, 0 = i/(N + 1)")
      ->check(CLI::IsMember({"0", "1"}))
      ->group(weibull);
  app.add_flag("--lock", raw.lock, "Lock the worksheet after the analysis")->group(every);
  app.add_flag("--unlock", inv.unlock,
               "Batch: unlock a locked worksheet (otherwise the run stops, status 3)")
      ->group(every);
  app.add_option("--mode", raw.mode, "Dynamic: rate (stress or strain rate) or velocity (faceplate)")
      ->check(CLI::IsMember({"rate", "velocity"}))
      ->group(fatigue);
  CLI::Option* iw = app.add_flag("--ignore-weakest", raw.ignore_weakest,
                                 "Ignore the weakest at each rate")->group(fatigue);
  CLI::Option* niw = app.add_flag("--no-ignore-weakest", raw.no_ignore_weakest,
                                  "Keep the weakest at each rate")->group(fatigue);
  raw.group_rates_option = app.add_option("--group-rates", raw.group_rates,
                                          "Group similar rates within FACTOR (1 to 100)")
                               ->type_name("FACTOR")
                               ->check(CLI::Range(1.0, 100.0))
                               ->group(fatigue);
  CLI::Option* ngr = app.add_flag("--no-group-rates", raw.no_group_rates, "Do not group rates")
                         ->group(fatigue);
  raw.ignore_ids_option = app.add_option("--ignore-ids", raw.ignore_ids,
                                         "Ignore data whose ID starts with one of CHARS")
                              ->type_name("CHARS")
                              ->group(fatigue);
  CLI::Option* nii = app.add_flag("--no-ignore-ids", raw.no_ignore_ids, "Ignore no data by ID")
                         ->group(fatigue);
  raw.copy_set_option = app.add_option("--copy-set", raw.copy_set,
                                       "Copy data set N (1 to 6) to the clipboard")
                            ->type_name("N")
                            ->check(CLI::Range(1, layout::fatigue::kSets))
                            ->group(fatigue);
  CLI::Option* nc = app.add_flag("--no-copy", raw.no_copy, "Copy nothing to the clipboard")
                        ->group(fatigue);
  app.add_option("--clipboard-file", inv.clipboard_file,
                 "Write the copied table to FILE instead of the desktop clipboard")
      ->type_name("FILE")
      ->group(fatigue);
  AddLifetimeOptions(app, raw);
  iw->excludes(niw);
  raw.group_rates_option->excludes(ngr);
  raw.ignore_ids_option->excludes(nii);
  raw.copy_set_option->excludes(nc);
}

// "TITLE=CAPTION" pairs; false with the offending text in *bad.
bool ReadAnswers(const std::vector<std::string>& answers, Invocation& inv, std::string* bad) {
  for (const std::string& a : answers) {
    const size_t eq = a.find('=');
    if (eq == std::string::npos || eq == 0) {
      *bad = a;
      return false;
    }
    inv.answers.emplace_back(a.substr(0, eq), a.substr(eq + 1));
  }
  return true;
}

// Choices first, then check boxes (which enable their text boxes), then
// the texts.
ui::FormOverrides DialogOverrides(const RawOptions& raw) {
  const bool group_rates = raw.group_rates_option->count() > 0;
  const bool ignore_ids = raw.ignore_ids_option->count() > 0;
  const bool copy_set = raw.copy_set_option->count() > 0;
  ui::FormOverrides o;
  if (!raw.rank_function.empty()) {
    o.push_back(FormOverride::Select("optFopt(" + raw.rank_function + ")"));
  }
  if (!raw.mode.empty()) {
    o.push_back(FormOverride::Select(raw.mode == "rate" ? "optMode(0)" : "optMode(1)"));
  }
  if (raw.lock) o.push_back(FormOverride::Check("chkLock"));
  if (raw.ignore_weakest) o.push_back(FormOverride::Check("chkIgnoreWeakest"));
  if (raw.no_ignore_weakest) o.push_back(FormOverride::Uncheck("chkIgnoreWeakest"));
  if (group_rates) o.push_back(FormOverride::Check("chkGroupRates"));
  if (raw.no_group_rates) o.push_back(FormOverride::Uncheck("chkGroupRates"));
  if (ignore_ids) o.push_back(FormOverride::Check("chkIgnore"));
  if (raw.no_ignore_ids) o.push_back(FormOverride::Uncheck("chkIgnore"));
  if (copy_set) o.push_back(FormOverride::Check("chkCopyData"));
  if (raw.no_copy) o.push_back(FormOverride::Uncheck("chkCopyData"));
  if (!raw.n.empty()) o.push_back(FormOverride::Select("optN(0)"));
  if (!raw.from_worksheet.empty()) o.push_back(FormOverride::Select("optN(1)"));
  if (!raw.proof_stress.empty()) o.push_back(FormOverride::Select("optProof(0)"));
  if (!raw.proof_strain.empty()) o.push_back(FormOverride::Select("optProof(1)"));
  if (!raw.service_stress.empty()) o.push_back(FormOverride::Check("chkServiceStress"));
  if (group_rates) o.push_back(FormOverride::SetText("txtRateFactor", raw.group_rates));
  if (ignore_ids) o.push_back(FormOverride::SetText("txtIgnore", raw.ignore_ids));
  if (copy_set) o.push_back(FormOverride::SetText("txtSetToCopy", raw.copy_set));
  const std::pair<const char*, const std::string*> lifetime[] = {
      {"txtN", &raw.n},
      {"txtWorksheet", &raw.from_worksheet},
      {"txtSet", &raw.set},
      {"txtM", &raw.m},
      {"txtBreaks", &raw.breaks_per_km},
      {"txtLength", &raw.length_km},
      {"txtProof", raw.proof_strain.empty() ? &raw.proof_stress : &raw.proof_strain},
      {"txtModulus", &raw.modulus},
      {"txtProofTime", &raw.proof_time},
      {"txtB", &raw.b},
      {"txtServiceStress", &raw.service_stress},
      {"txtF", &raw.failure_probability},
      {"txtYears", &raw.service_years},
  };
  for (const auto& [box, text] : lifetime) {
    if (!text->empty()) o.push_back(FormOverride::SetText(box, *text));
  }
  return o;
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv,
                                   const std::string& notebook_default, std::ostream& out,
                                   std::ostream& err) {
  ParsedCommandLine result;
  Invocation& inv = result.invocation;
  inv.notebook = notebook_default;

  CLI::App app("KORUND - strength analyses of optical fibres on a notebook file", "korund");
  app.footer(kFooter);
  app.set_version_flag("--version", kVersion, "Print the version and exit");
  RawOptions raw;
  AddRunOptions(app, inv, raw);
  AddAnalysisOptions(app, inv, raw);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, out, err);
    result.status = code == 0 ? 0 : 1;
    return result;
  }

  inv.ui = raw.batch || raw.ui_name == "batch" ? UiKind::kBatch
           : raw.ui_name == "terminal"         ? UiKind::kTerminal
           : raw.ui_name == "qt"               ? UiKind::kQt
                                               : UiKind::kAuto;
  std::string bad;
  if (!ReadAnswers(raw.answers, inv, &bad)) {
    err << "--answer: \"" << bad << "\" is not TITLE=CAPTION\n";
    result.status = 1;
    return result;
  }
  if (!inv.plot.empty() && !gui::ImageFormatForPath(inv.plot) && !gui::IsPlotJsonPath(inv.plot)) {
    err << "--plot: \"" << inv.plot << "\" must end in " << gui::kGraphFileEndings << "\n";
    result.status = 1;
    return result;
  }
  if (!(inv.plot_confidence > 0 && inv.plot_confidence < 100)) {
    err << "--confidence: give a percentage above 0 and below 100\n";
    result.status = 1;
    return result;
  }
  inv.overrides = DialogOverrides(raw);
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
