// End-to-end dynamic fatigue analysis of a full worksheet: six sets of
// 5 000 strengths at ten rates over four decades, loaded from an in-memory
// notebook, analysed and written back.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>

#include "dialogs/message_dialog.h"
#include "fatigue/fatigue_driver.h"
#include "fatigue/fatigue_run.h"
#include "testing/memory_host.h"
#include "testing/scripted_ui.h"
#include "util/plot_styles.h"
#include "util/run_settings.h"
#include "worksheet/run_context.h"
#include "worksheet/sheet.h"

namespace {

using namespace korund;

void FillFatigueNotebook(host::MemoryHost& host, int count) {
  host.notebook.AddSection("Section 1");
  host::MemoryTable& table = host.Table(host.notebook.AddWorksheet("Data 1"));
  std::mt19937 gen(1018);
  std::normal_distribution<double> scatter(0.0, 0.02);
  for (int16_t s = 1; s <= fatigue::kSets; ++s) {
    const int32_t id = fatigue::SetColumn(s, fatigue::kColId) - 1;
    const double n = 18.0 + s;  // fatigue parameter of the set
    for (int i = 0; i < count; ++i) {
      const double rate = std::pow(10.0, -2.0 + 4.0 * (i % 10) / 9.0);  // GPa/s
      const double strength = 5.0 * std::pow(rate, 1.0 / (n + 1)) * std::pow(10.0, scatter(gen));
      table.Set(id, i, Value("f" + std::to_string(i + 1)));
      table.Set(id + 1, i, Value(strength));
      table.Set(id + 2, i, Value(rate));
    }
  }
}

void BM_DynamicFatigueWorksheet(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    host::MemoryHost host;
    FillFatigueNotebook(host, count);
    ui::ScriptedUi ui;
    dialogs::MessageDialog msg(ui);
    RunSettings settings;
    InitPlotStyles(settings);
    settings.FitType = kFitDynamic;
    settings.FatigueMode = FatigueMode::kStressRate;
    settings.IgnoreWeakest = true;
    settings.RateFactor = 1.2;
    settings.SetToCopy = 1;
    worksheet::Sheet sheet(ui, msg, settings);
    RunContext ctx{settings, ui, msg, sheet};
    state.ResumeTiming();

    if (sheet.spOpenWorksheet(host, "")) state.SkipWithError("attach failed");
    sheet.spLoadSheet(fatigue::kColParms, fatigue::kMinRows);
    fatigue::RunFatigueMacro(ctx);
    sheet.spSaveSheet();
    benchmark::DoNotOptimize(settings.FinishMessage.data());
  }
  state.SetItemsProcessed(state.iterations() * fatigue::kSets * count);
}
BENCHMARK(BM_DynamicFatigueWorksheet)->Arg(50)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
