// korund: builds the notebook host and the UI back end from the command
// line, runs the entry sequence and turns its end into the exit status.
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>

#include "fatigue/fatigue_guard.h"
#include "gui/display.h"
#include "host/file_host.h"
#include "korund_version.h"
#include "lifetime/lifetime_guard.h"
#include "shell/command_line.h"
#include "shell/no_notebook_host.h"
#include "shell/qt_module.h"
#include "shell/run_plot.h"
#include "shell/run_sequence.h"
#include "shell/settings_store.h"
#include "ui/batch_ui.h"
#include "ui/help_command.h"
#include "ui/terminal_ui.h"
#include "ui/transcript_ui.h"
#include "util/terminate.h"
#include "weibull/weibull_guard.h"

namespace {

using namespace korund;

// The UI back end the command line asks for; nullptr (the reason said on
// standard error) when it cannot be had. argc must outlive the back end.
std::unique_ptr<ui::Ui> MakeBackEnd(const shell::Invocation& inv, int& argc, char** argv) {
  const bool qt =
      inv.ui == shell::UiKind::kQt ||
      (inv.ui == shell::UiKind::kAuto && isatty(STDIN_FILENO) != 1 && gui::DisplayReachable());
  if (qt && !gui::DisplayAvailable()) {
    std::cerr << "korund: --ui qt needs a display: neither DISPLAY nor WAYLAND_DISPLAY is set\n";
    return nullptr;
  }
  const bool terminal = inv.ui == shell::UiKind::kTerminal ||
                        (inv.ui == shell::UiKind::kAuto && isatty(STDIN_FILENO) == 1);
  if (qt) {
    std::string error;
    const shell::QtModule* module = shell::LoadQtModule(&error);
    if (module == nullptr) {
      std::cerr << "korund: the dialog windows are not available: " << error << "\n";
      return nullptr;
    }
    return module->make_ui(argc, argv, inv.overrides);
  }
  if (terminal) {
    ui::TerminalOptions options;
    options.overrides = inv.overrides;
    options.clipboard_file = inv.clipboard_file;
    options.bell = isatty(STDOUT_FILENO) == 1;
    return std::make_unique<ui::TerminalUi>(options, std::cin, std::cout, std::cerr);
  }
  ui::BatchOptions options;
  options.answers = inv.answers;
  options.allow_unlock = inv.unlock;
  options.overrides = inv.overrides;
  options.clipboard_file = inv.clipboard_file;
  return std::make_unique<ui::BatchUi>(options, std::cout, std::cerr);
}

// Runs the analysis on the host and the UI, then writes the graph that
// --plot asks for; the exit status.
int RunAnalysis(const shell::Invocation& inv, int argc, char** argv, host::Host& host, ui::Ui& ui) {
  shell::Guards guards;
  guards.weibull = weibull::CheckWeibullWorksheet;
  guards.fatigue = fatigue::CheckFatigueWorksheet;
  guards.lifetime = lifetime::CheckLifetimeWorksheet;

  shell::RunInputs inputs;
  inputs.command_line = inv.CommandLine();
  inputs.exe_path = shell::ExecutablePath(argc > 0 ? argv[0] : nullptr);
  inputs.version_major = KORUND_VERSION_MAJOR;
  inputs.version_minor = KORUND_VERSION_MINOR;
  shell::IniSettingsStore store(shell::DefaultSettingsRoot());

  try {
    std::string results_worksheet;
    const int status = shell::RunKorund(inputs, ui, host, store, guards, &results_worksheet);
    if (status == 0 && !inv.plot.empty()) {
      shell::WriteRunPlot(inv, results_worksheet, std::cerr);
    }
    return status;
  } catch (const TerminateProgramError& e) {
    return static_cast<int>(e.reason());
  } catch (const std::exception& e) {
    // A fault of the program itself: nothing was written back.
    std::cerr << "korund: internal error: " << e.what() << "\n";
    return 1;
  }
}

int RunMain(int argc, char** argv) {
  // "korund help [TOPIC]" needs neither a notebook nor a dialog.
  if (argc >= 2 && std::string(argv[1]) == "help") {
    return ui::RunHelpCommand({argv + 2, argv + argc}, std::cout, std::cerr);
  }
  const char* notebook_env = std::getenv("KORUND_NOTEBOOK");
  shell::ParsedCommandLine parsed = shell::ParseCommandLine(
      argc, argv, notebook_env == nullptr ? "" : notebook_env, std::cout, std::cerr);
  if (!parsed.run) return parsed.status;
  const shell::Invocation& inv = parsed.invocation;
  // No analysis word: the run still records AppPath and ends with status 2,
  // but a person gets told how to start one.
  if (inv.words.empty()) std::cerr << shell::kUsageLine << "\n";

  std::unique_ptr<host::Host> host;
  if (inv.notebook.empty()) {
    host = std::make_unique<shell::NoNotebookHost>();
  } else {
    host = std::make_unique<host::FileHost>(inv.notebook, inv.worksheet);
  }
  std::unique_ptr<ui::Ui> back_end = MakeBackEnd(inv, argc, argv);
  if (back_end == nullptr) return 1;

  std::ofstream transcript_file;
  std::unique_ptr<ui::TranscriptUi> transcript;
  if (!inv.transcript.empty()) {
    transcript_file.open(inv.transcript, std::ios::app | std::ios::binary);
    if (!transcript_file) {
      std::cerr << "korund: cannot open the transcript file " << inv.transcript << "\n";
      return 1;
    }
    transcript = std::make_unique<ui::TranscriptUi>(*back_end, transcript_file);
  }
  ui::Ui& ui = transcript ? static_cast<ui::Ui&>(*transcript) : *back_end;
  return RunAnalysis(inv, argc, argv, *host, ui);
}

}  // namespace

int main(int argc, char** argv) {
  // One run allocates and frees its large buffers once each. Freed memory
  // stays in the heap for the next one instead of going back to the system
  // and being faulted in afresh, page by page: that costs more than the
  // arithmetic on a large worksheet.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  // Building the host and the back ends may fail too (out of memory); no
  // exception leaves main, and nothing was written back.
  try {
    return RunMain(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "korund: internal error: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "korund: internal error\n";
  }
  return 1;
}
