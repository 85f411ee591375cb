#include "studio/analysis_run.h"

#include "fatigue/fatigue_guard.h"
#include "host/in_process_host.h"
#include "lifetime/lifetime_guard.h"
#include "ui/terminate.h"
#include "util/plot_styles.h"
#include "util/run_settings.h"
#include "weibull/weibull_guard.h"
#include "worksheet/run_analysis.h"

namespace korund::studio {

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
