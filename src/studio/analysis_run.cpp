#include "studio/analysis_run.h"

#include <vector>

#include "fatigue/fatigue_guard.h"
#include "host/in_process_host.h"
#include "lifetime/lifetime_guard.h"
#include "ui/terminate.h"
#include "util/plot_styles.h"
#include "util/run_settings.h"
#include "weibull/weibull_guard.h"
#include "worksheet/run_analysis.h"

namespace korund::studio {

namespace {

// The caption without its accelerator mark and dots: "Dynamic Fatigue".
std::string Caption(const AnalysisEntry& entry) {
  std::string text;
  for (const char* c = entry.menu_text; *c != '\0'; ++c) {
    if (*c != '&' && *c != '.') text += *c;
  }
  return text;
}

}  // namespace

std::span<const AnalysisEntry> AnalysisEntries() {
  using notebook::AnalysisKind;
  static const AnalysisEntry entries[] = {
      {Analysis::kWeibull, "&Weibull...", "Weibull analysis", AnalysisKind::kWeibull},
      {Analysis::kDynamic, "&Dynamic Fatigue...", "Dynamic fatigue analysis",
       AnalysisKind::kDynamic},
      {Analysis::kStatic, "&Static Fatigue...", "Static fatigue analysis", AnalysisKind::kStatic},
      {Analysis::kLifetime, "&Lifetime...", "Lifetime analysis", std::nullopt},
  };
  return entries;
}

std::string MenuPath(const AnalysisEntry& entry) {
  return "Analyse \u2192 " + Caption(entry);
}

std::string ChooseAnalysisHint() {
  // The analyses of a worksheet's own data; lifetime writes a worksheet of
  // its own.
  std::vector<std::string> captions;
  for (const AnalysisEntry& entry : AnalysisEntries()) {
    if (entry.kind) captions.push_back(Caption(entry));
  }
  std::string text = "choose Analyse \u2192 ";
  for (size_t i = 0; i < captions.size(); ++i) {
    if (i > 0) text += i + 1 == captions.size() ? " or " : ", ";
    text += captions[i];
  }
  return text;
}

std::string StudioStaleNote(const notebook::Item& item) {
  return notebook::StaleResultsNote(item, [](notebook::AnalysisKind kind) {
    for (const AnalysisEntry& entry : AnalysisEntries()) {
      if (entry.kind == kind) return "choose " + MenuPath(entry);
    }
    return std::string("run the analysis");
  });
}

AnalysisOutcome RunAnalysis(Analysis analysis, const notebook::Notebook& before,
                            const std::string& worksheet, ui::Ui& ui, notebook::Notebook* after) {
  AnalysisOutcome outcome;
  // The host releases into this copy, so a stopped run leaves `before` and
  // *after as they were.
  notebook::Notebook scratch = before;
  try {
    host::InProcessHost host(scratch, worksheet);
    RunSettings settings;
    settings.FitType = analysis == Analysis::kWeibull    ? kFitWeibull
                       : analysis == Analysis::kDynamic  ? kFitDynamic
                       : analysis == Analysis::kLifetime ? kFitLifetime
                                                         : kFitStatic;
    InitPlotStyles(settings);
    const korund::worksheet::AnalysisGuards guards{weibull::CheckWeibullWorksheet,
                                                   fatigue::CheckFatigueWorksheet,
                                                   lifetime::CheckLifetimeWorksheet};
    if (korund::worksheet::RunAnalysis(settings, ui, host, guards) != 0) {
      outcome.reason = ExitReason::kFatal;
      return outcome;
    }
  } catch (const TerminateProgramError& e) {
    outcome.reason = e.reason();
    outcome.message = e.what();
    return outcome;
  }
  outcome.completed = true;
  *after = std::move(scratch);
  return outcome;
}

}  // namespace korund::studio
