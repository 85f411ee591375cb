// The korund command line:
//   korund WORD [--notebook FILE] [--worksheet NAME] [--batch | --ui terminal|qt|batch]
//               [--transcript FILE] [--answer "TITLE=CAPTION"]... [--plot FILE]
//               [analysis options]
// WORD and any further words are the program's own command line; the
// analysis options become changes to the options dialog (form overrides).
#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "ui/form_overrides.h"

namespace korund::shell {

// The one-line usage shown when korund is started without an analysis word.
inline constexpr const char* kUsageLine =
    "usage: korund weibull|dynamic|static|lifetime [--notebook FILE] [--worksheet NAME] [--batch] "
    "[options] (korund --help lists them)";

enum class UiKind { kAuto, kTerminal, kBatch, kQt };

struct Invocation {
  std::vector<std::string> words;  // positional words, as given
  std::string notebook;            // "" = no notebook
  std::string worksheet;           // "" = the notebook's current one
  UiKind ui = UiKind::kAuto;       // kAuto: terminal when stdin is one
  std::string transcript;          // "" = none
  std::vector<std::pair<std::string, std::string>> answers;  // title, caption
  bool unlock = false;
  ui::FormOverrides overrides;
  std::string clipboard_file;
  std::string plot;  // "" = no graph after the run
  bool plot_bands = true;       // the Weibull graph's confidence bands
  double plot_confidence = 95;  // their confidence, percent
  std::string plot_title;       // "" = the worksheet's name

  // The words joined by blanks: what the program reads as its command line.
  std::string CommandLine() const;
};

struct ParsedCommandLine {
  bool run = false;  // false: usage, version or an error was printed
  int status = 0;    // the exit status when !run
  Invocation invocation;
};

// Parses argv. --help and --version print to out and give status 0; an
// unreadable command line prints why to err and gives status 1.
// notebook_default is the value of KORUND_NOTEBOOK ("" when unset).
ParsedCommandLine ParseCommandLine(int argc, const char* const* argv,
                                   const std::string& notebook_default, std::ostream& out,
                                   std::ostream& err);

// The running executable's absolute path (/proc/self/exe, else argv0 made
// absolute).
std::string ExecutablePath(const char* argv0);

}  // namespace korund::shell
