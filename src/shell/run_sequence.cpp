#include "shell/run_sequence.h"

#include <filesystem>

#include "ui/terminate.h"
#include "util/plot_styles.h"
#include "util/terminate.h"
#include "util/text.h"

namespace korund::shell {

namespace {

std::string Folder(const std::string& exe_path) {
  return std::filesystem::path(exe_path).parent_path().string();
}

}  // namespace

std::string VersionStamp(int major, int minor) {
  const std::string padded = "0" + std::to_string(minor);
  return std::to_string(major) + "." + padded.substr(padded.size() - 2);
}

std::string AppPathFor(const std::string& folder, const std::string& base_name) {
  const std::string joined = folder + "/" + base_name;
  std::string out;
  for (size_t i = 0; i < joined.size(); ++i) {
    out += joined[i];
    if (joined[i] == '/' && i + 1 < joined.size() && joined[i + 1] == '/') ++i;
  }
  return out;
}

std::string AppPathOf(const std::string& exe_path) {
  return AppPathFor(Folder(exe_path), std::filesystem::path(exe_path).stem().string());
}

bool ReadCommandLine(const std::string& command_line, const std::string& exe_path,
                     SettingsStore& store, ui::Ui& ui, RunSettings& settings) {
  // Recorded on every start, before the command line is looked at; a store
  // that cannot be written must not stop an analysis.
  store.SaveSetting("Quellmark", "SigmaPlot", "AppPath", AppPathOf(exe_path));
  if (command_line.empty()) ui::TerminateProgram(ui, "", ExitReason::kNoAnalysis);

  const std::string word = LowerAscii(NthWord(1, command_line, " "));
  if (word == "dynamic") {
    settings.FitType = kFitDynamic;
  } else if (word == "static") {
    settings.FitType = kFitStatic;
  } else if (word == "weibull") {
    settings.FitType = kFitWeibull;
  } else if (word == "lifetime") {
    settings.FitType = kFitLifetime;
  } else {
    ui.MsgBox("FitType " + std::to_string(settings.FitType) + " not defined in Sub ReadCommandLine",
              ui::kMbIconStop | ui::kMbOk, "PLUG-IN TERMINATING");
    return true;
  }
  return false;
}

int RunKorund(const RunInputs& inputs, ui::Ui& ui, host::Host& host, SettingsStore& store,
              const Guards& guards, std::string* results_worksheet) {
  RunSettings settings;
  settings.FitType = 0;

  // The application title is AppTitle(); the version it carries must be
  // the one the build was stamped with.
  if (VersionStamp(inputs.version_major, inputs.version_minor) != kVersion) {
    ui.MsgBox(
        "Project version and Version variable disagree on version number.\r\r"
        "Please report the contents of this error message to Quellmark.",
        ui::kMbIconStop | ui::kMbOk, "INTERNAL ERROR");
    ui::TerminateProgram(ui, "", ExitReason::kFatal);
  }

  ui.SetHelpFile(AppPathFor(Folder(inputs.exe_path), "KORUND.chm"));

  if (ReadCommandLine(inputs.command_line, inputs.exe_path, store, ui, settings)) {
    return static_cast<int>(ExitReason::kNoAnalysis);
  }

  InitPlotStyles(settings);
  const int status = worksheet::RunAnalysis(settings, ui, host, guards);
  if (results_worksheet != nullptr) *results_worksheet = settings.WorksheetName;
  return status;
}

}  // namespace korund::shell
