// shell/: korund's front end -- main builds the notebook host and the UI
// back end from the command line (command_line.h) and runs the program's
// entry sequence (this file): title and version check, help file, the
// command line into FitType, style tables, attach, the analysis's worksheet
// guard, write-back, release and the "FINISHED" box. The settings file that
// records where the program lives is settings_store.h.
#pragma once

#include <functional>
#include <string>

#include "host/host.h"
#include "shell/settings_store.h"
#include "ui/ui.h"
#include "util/run_settings.h"
#include "worksheet/run_analysis.h"
#include "worksheet/run_context.h"

namespace korund::shell {

// The analyses' worksheet guards; main hands in the real ones, tests their
// own.
using Guards = worksheet::AnalysisGuards;

struct RunInputs {
  std::string command_line;  // the program's own words, joined by blanks
  std::string exe_path;      // the running executable, absolute
  int version_major = 0;     // the project version, compared with kVersion
  int version_minor = 0;
};

// "major.MM": the minor number with two digits ("0" in front, the last two
// characters kept): 2,0 -> "2.00"; 2,5 -> "2.05"; 2,10 -> "2.10".
std::string VersionStamp(int major, int minor);

// Where the program lives as AppPath records it: folder + "/" + base name,
// every doubled "/" made single (a root folder already ends in "/").
std::string AppPathFor(const std::string& folder, const std::string& base_name);

// The executable's folder and base name without extension, as AppPath.
std::string AppPathOf(const std::string& exe_path);

// Records AppPath (a store that fails does not stop the run), then reads the
// first blank-separated word, any case, into settings.FitType. An empty
// command line ends the run silently (TerminateProgramError, kNoAnalysis).
// Any other unknown word shows "PLUG-IN TERMINATING" and returns true (the
// run must stop); false when FitType was set.
bool ReadCommandLine(const std::string& command_line, const std::string& exe_path,
                     SettingsStore& store, ui::Ui& ui, RunSettings& settings);

// Runs the entry sequence. Returns the exit status of a run that ends here:
// 0 after "FINISHED", 1 when the worksheet could not be opened, 2 when the
// command line named no analysis. Every other end (Cancel, "&Stop", fatal
// errors, a failed write-back) throws TerminateProgramError; nothing is
// written back then. *results_worksheet, when given, receives the name of
// the worksheet the results went to (the analysed one, or the one a
// lifetime analysis added).
int RunKorund(const RunInputs& inputs, ui::Ui& ui, host::Host& host, SettingsStore& store,
              const Guards& guards, std::string* results_worksheet = nullptr);

}  // namespace korund::shell
