// Timings of the statistics routines on data sets from ten to 100 000 values.
#include <benchmark/benchmark.h>

#include <random>

#include "stats/linreg.h"
#include "stats/sort.h"
#include "stats/weibull_mle.h"

namespace korund::stats {
namespace {

ValueArray WeibullStrengths(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::weibull_distribution<double> w(6.0, 4.5);
  ValueArray a{Value(n)};
  for (int i = 0; i < n; ++i) a.emplace_back(w(rng));
  return a;
}

void BM_statWeibMLE(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const ValueArray strengths = WeibullStrengths(n, 42);
  for (auto _ : state) {
    state.PauseTiming();
    ValueArray data = strengths;  // the routine sorts its input in place
    state.ResumeTiming();
    auto fit = statWeibMLE(data, n, 95);
    benchmark::DoNotOptimize(fit);
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_statWeibMLE)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// A column of strengths with a few notes among them, as read from a
// worksheet, and the same column already in order.
void BM_SortValues(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ValueArray column = WeibullStrengths(n, 9);
  for (int i = 1; i <= n; i += 997) column[static_cast<size_t>(i)] = Value("note");
  for (auto _ : state) {
    state.PauseTiming();
    ValueArray data = column;
    state.ResumeTiming();
    SortValues(data, n);
    benchmark::DoNotOptimize(data.data());
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_SortValues)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_SortPairs(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const ValueArray keys = WeibullStrengths(n, 10), companions = WeibullStrengths(n, 11);
  for (auto _ : state) {
    state.PauseTiming();
    ValueArray key = keys, companion = companions;
    state.ResumeTiming();
    SortPairs(key, companion, n, true);
    benchmark::DoNotOptimize(key.data());
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_SortPairs)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_statLinReg(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0, 0.3);
  ValueArray x{Value(n)}, y{Value(n)}, e{Value(n)};
  for (int i = 1; i <= n; ++i) {
    x.emplace_back(i * 0.01);
    y.emplace_back(2.0 * i * 0.01 + 1 + noise(rng));
    e.emplace_back(1.0);
  }
  for (auto _ : state) {
    auto fit = statLinReg(x, y, e, false, n);
    benchmark::DoNotOptimize(fit);
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_statLinReg)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korund::stats
