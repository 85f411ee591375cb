#include "studio/analysis_run.h"

#include "dialogs/message_dialog.h"
#include "fatigue/fatigue_guard.h"
#include "host/in_process_host.h"
#include "ui/terminate.h"
#include "util/plot_styles.h"
#include "util/run_settings.h"
#include "weibull/weibull_guard.h"
#include "worksheet/run_context.h"
#include "worksheet/sheet.h"

namespace korund::studio {

namespace {

// The help topics korund's run sequence gives each analysis's dialogs.
constexpr int kHelpDynamic = 1018;
constexpr int kHelpStatic = 1032;
constexpr int kHelpWeibull = 1047;

}  // namespace

AnalysisOutcome RunAnalysis(Analysis analysis, const notebook::Notebook& before,
                            const std::string& worksheet, ui::Ui& ui, notebook::Notebook* after) {
  AnalysisOutcome outcome;
  // The host releases into this copy, so a stopped run leaves `before` and
  // *after as they were.
  notebook::Notebook scratch = before;
  try {
    host::InProcessHost host(scratch, worksheet);
    RunSettings settings;
    settings.FitType = analysis == Analysis::kWeibull   ? kFitWeibull
                       : analysis == Analysis::kDynamic ? kFitDynamic
                                                        : kFitStatic;
    InitPlotStyles(settings);
    dialogs::MessageDialog msg(ui);
    worksheet::Sheet sheet(ui, msg, settings);
    if (sheet.spOpenWorksheet(host, "")) {
      ui.MsgBox("Failed to open SigmaPlot worksheet.", ui::kMbIconStop | ui::kMbOk,
                "PLUGIN TERMINATING");
      outcome.reason = ExitReason::kFatal;
      return outcome;
    }
    RunContext ctx{settings, ui, msg, sheet};
    switch (analysis) {
      case Analysis::kDynamic:
        msg.set_help_topic(kHelpDynamic);
        fatigue::CheckFatigueWorksheet(ctx);
        break;
      case Analysis::kStatic:
        msg.set_help_topic(kHelpStatic);
        fatigue::CheckFatigueWorksheet(ctx);
        break;
      case Analysis::kWeibull:
        msg.set_help_topic(kHelpWeibull);
        weibull::CheckWeibullWorksheet(ctx);
        break;
    }
    sheet.spSaveSheet();
    std::string error;
    if (!sheet.Release(&error)) ui::TerminateProgram(ui, error);
    ui.MsgBox(settings.FinishMessage, ui::kMbIconExclamation | ui::kMbOk, "FINISHED");
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
