#include "worksheet/run_analysis.h"

#include <string>

#include "dialogs/message_dialog.h"
#include "ui/terminate.h"
#include "util/terminate.h"
#include "worksheet/sheet.h"

namespace korund::worksheet {

namespace {

// The help topics of the analyses' dialogs.
constexpr int kHelpDynamic = 1018;
constexpr int kHelpStatic = 1032;
constexpr int kHelpWeibull = 1047;
constexpr int kHelpLifetime = 1060;

}  // namespace

int RunAnalysis(RunSettings& settings, ui::Ui& ui, host::Host& host,
                const AnalysisGuards& guards) {
  dialogs::MessageDialog msg(ui);
  Sheet sheet(ui, msg, settings);
  if (sheet.spOpenWorksheet(host, "")) {
    ui.MsgBox("Failed to open SigmaPlot worksheet.", ui::kMbIconStop | ui::kMbOk,
              "PLUGIN TERMINATING");
    return static_cast<int>(ExitReason::kFatal);
  }

  RunContext ctx{settings, ui, msg, sheet};
  switch (settings.FitType) {
    case kFitDynamic:
      msg.set_help_topic(kHelpDynamic);
      guards.fatigue(ctx);
      break;
    case kFitStatic:
      msg.set_help_topic(kHelpStatic);
      guards.fatigue(ctx);
      break;
    case kFitLifetime:
      msg.set_help_topic(kHelpLifetime);
      guards.lifetime(ctx);
      break;
    default:
      msg.set_help_topic(kHelpWeibull);
      guards.weibull(ctx);
      break;
  }

  sheet.spSaveSheet();
  sheet.RecordAnalysis();
  std::string error;
  // Release sets the host property (id 21) false and writes the notebook
  // back; when that fails the host keeps the results beside it.
  if (!sheet.Release(&error)) ui::TerminateProgram(ui, error);

  ui.MsgBox(settings.FinishMessage, ui::kMbIconExclamation | ui::kMbOk, "FINISHED");
  return 0;
}

}  // namespace korund::worksheet
