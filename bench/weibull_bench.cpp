// End-to-end Weibull analysis of a full worksheet: ten sets of 10 000
// strengths loaded from an in-memory notebook, analysed, and written back.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "dialogs/message_dialog.h"
#include "testing/memory_host.h"
#include "testing/scripted_ui.h"
#include "util/plot_styles.h"
#include "util/run_settings.h"
#include "weibull/weibull_driver.h"
#include "worksheet/run_context.h"
#include "worksheet/sheet.h"

namespace {

using namespace korund;

void FillNotebook(host::MemoryHost& host, int sets, int count) {
  host.notebook.AddSection("Section 1");
  host::MemoryTable& table = host.Table(host.notebook.AddWorksheet("Data 1"));
  std::mt19937 gen(1047);
  for (int set = 0; set < sets; ++set) {
    std::weibull_distribution<double> dist(4.0 + set, 5.0);
    table.Set(set, 0, Value("set " + std::to_string(set + 1)));
    for (int i = 1; i <= count; ++i) table.Set(set, i, Value(dist(gen)));
  }
}

void BM_WeibullWorksheet(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    host::MemoryHost host;
    FillNotebook(host, 10, count);
    ui::ScriptedUi ui;
    dialogs::MessageDialog msg(ui);
    RunSettings settings;
    InitPlotStyles(settings);
    settings.FOpt = 1;
    worksheet::Sheet sheet(ui, msg, settings);
    RunContext ctx{settings, ui, msg, sheet};
    state.ResumeTiming();

    if (sheet.spOpenWorksheet(host, "")) state.SkipWithError("attach failed");
    sheet.spLoadSheet(56, 38);
    weibull::RunWeibullMacro(ctx);
    sheet.spSaveSheet();
    benchmark::DoNotOptimize(settings.FinishMessage.data());
  }
  state.SetItemsProcessed(state.iterations() * 10 * count);
}
BENCHMARK(BM_WeibullWorksheet)->Arg(40)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
