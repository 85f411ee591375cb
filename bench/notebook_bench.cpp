// Loading and saving notebook files: a worksheet of 10 columns × 10,000
// cells as a lab would fill it, and an unknown member made of many small
// objects (a shape whose cost must stay linear in its size).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>

#include "notebook/notebook.h"
#include "notebook/notebook_file.h"

namespace korund::notebook {
namespace {

Notebook MakeLabNotebook(int columns, int rows) {
  Notebook doc;
  doc.AddSection("Section 1");
  Worksheet& sheet = *doc.AddWorksheet("Data 1").worksheet();
  doc.set_current("Data 1");
  std::mt19937_64 rng(20261207);
  std::weibull_distribution<double> strength(6.0, 4.5);
  for (int c = 1; c <= columns; ++c) {
    sheet.SetTitle(c, "raw " + std::to_string(c));
    sheet.SetCell(c, 1, Value("Fibre lot " + std::to_string(c)));
    for (int r = 2; r <= rows; ++r) {
      if (r % 500 == 0) {
        sheet.SetCell(c, r, Value("MPA"));
      } else if (r % 7 == 0) {
        sheet.SetCell(c, r, Value(std::round(strength(rng) * 1000)));  // integral
      } else {
        sheet.SetCell(c, r, Value(strength(rng)));  // full precision
      }
    }
  }
  return doc;
}

std::string TextOf(const Notebook& doc) {
  std::string text, error;
  if (!SerializeNotebook(doc, "bench.json", &text, &error)) return "";
  return text;
}

void BM_LoadNotebook10x10000(benchmark::State& state) {
  const std::string text = TextOf(MakeLabNotebook(10, 10000));
  for (auto _ : state) {
    Notebook doc;
    std::string error;
    benchmark::DoNotOptimize(ParseNotebook(text, "bench.json", &doc, &error));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LoadNotebook10x10000)->Unit(benchmark::kMillisecond);

void BM_SaveNotebook10x10000(benchmark::State& state) {
  const Notebook doc = MakeLabNotebook(10, 10000);
  size_t bytes = 0;
  for (auto _ : state) {
    std::string text, error;
    benchmark::DoNotOptimize(SerializeNotebook(doc, "bench.json", &text, &error));
    bytes = text.size();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_SaveNotebook10x10000)->Unit(benchmark::kMillisecond);

// A load and save of a notebook whose unknown member "log" is [{},{},…] of
// the given size in bytes.
void BM_LoadSaveManySmallObjects(benchmark::State& state) {
  std::string text = R"({"format": "korund-notebook", "version": 1, "log": [{})";
  while (static_cast<int64_t>(text.size()) < state.range(0)) text += ",{}";
  text += R"(], "items": []})";
  for (auto _ : state) {
    Notebook doc;
    std::string error, saved;
    benchmark::DoNotOptimize(ParseNotebook(text, "bench.json", &doc, &error));
    benchmark::DoNotOptimize(SerializeNotebook(doc, "bench.json", &saved, &error));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LoadSaveManySmallObjects)
    ->Arg(64 << 10)
    ->Arg(256 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korund::notebook
