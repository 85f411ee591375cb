// End-to-end analyses of full worksheets, loaded from an in-memory notebook,
// analysed and written back: ten Weibull sets of up to 10 000 strengths, and
// six dynamic fatigue sets of up to 5 000 strengths at ten rates over four
// decades.
#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>

#include "dialogs/message_dialog.h"
#include "fatigue/fatigue_driver.h"
#include "testing/memory_host.h"
#include "testing/scripted_ui.h"
#include "util/plot_styles.h"
#include "util/run_settings.h"
#include "util/worksheet_layout.h"
#include "weibull/weibull_driver.h"
#include "worksheet/run_context.h"
#include "worksheet/sheet.h"

namespace {

using namespace korund;

using Fill = std::function<void(host::MemoryTable&, int count)>;

void WeibullSets(host::MemoryTable& table, int count) {
  std::mt19937 gen(1047);
  for (int set = 0; set < layout::weibull::kSets; ++set) {
    std::weibull_distribution<double> dist(4.0 + set, 5.0);
    table.Set(set, 0, Value("set " + std::to_string(set + 1)));
    for (int i = 1; i <= count; ++i) table.Set(set, i, Value(dist(gen)));
  }
}

void FatigueSets(host::MemoryTable& table, int count) {
  namespace fl = layout::fatigue;
  std::mt19937 gen(1018);
  std::normal_distribution<double> scatter(0.0, 0.02);
  for (int16_t s = 1; s <= fl::kSets; ++s) {
    const int32_t id = fl::SetColumn(s, fl::kColId) - 1;
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

// Times one whole run per iteration; making the notebook is not timed.
void RunOnWorksheet(benchmark::State& state, const Fill& fill, int sets, int32_t columns,
                    int32_t rows, const std::function<void(RunSettings&)>& options,
                    const std::function<void(RunContext&)>& run) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    host::MemoryHost host;
    host.notebook.AddSection("Section 1");
    fill(host.Table(host.notebook.AddWorksheet("Data 1")), count);
    ui::ScriptedUi ui;
    dialogs::MessageDialog msg(ui);
    RunSettings settings;
    InitPlotStyles(settings);
    options(settings);
    worksheet::Sheet sheet(ui, msg, settings);
    RunContext ctx{settings, ui, msg, sheet};
    state.ResumeTiming();

    if (sheet.spOpenWorksheet(host, "")) state.SkipWithError("attach failed");
    sheet.spLoadSheet(columns, rows);
    run(ctx);
    sheet.spSaveSheet();
    benchmark::DoNotOptimize(settings.FinishMessage.data());
  }
  state.SetItemsProcessed(state.iterations() * sets * count);
}

void BM_WeibullWorksheet(benchmark::State& state) {
  namespace wl = layout::weibull;
  RunOnWorksheet(
      state, WeibullSets, wl::kSets, wl::kMinColumns, wl::kMinRows,
      [](RunSettings& s) { s.FOpt = 1; }, weibull::RunWeibullMacro);
}
BENCHMARK(BM_WeibullWorksheet)->Arg(40)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_DynamicFatigueWorksheet(benchmark::State& state) {
  namespace fl = layout::fatigue;
  auto options = [](RunSettings& s) {
    s.FitType = kFitDynamic;
    s.FatigueMode = FatigueMode::kStressRate;
    s.IgnoreWeakest = true;
    s.RateFactor = 1.2;
    s.SetToCopy = 1;
  };
  RunOnWorksheet(state, FatigueSets, fl::kSets, fl::kColParms, fl::kMinRows, options,
                 fatigue::RunFatigueMacro);
}
BENCHMARK(BM_DynamicFatigueWorksheet)->Arg(50)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
