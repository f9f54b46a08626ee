// The text form of a 10 MB document of 250,000 lines, through a string list and a file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "core/stringlist.h"

namespace {

using tavelo::String;
using tavelo::TStringList;

// 250,000 lines of 28 to 48 characters: 10 MB with their CR LF.
const String& Document() {
  static const String text = [] {
    String t;
    t.reserve(10'500'000);
    const char* words = "var total = compute(element, index) + 42; // note ";
    for (int i = 0; i < 250'000; ++i) {
      t.append(words, 28 + (i * 5) % 21);
      t += "\r\n";
    }
    return t;
  }();
  return text;
}

void BM_SetText(benchmark::State& state) {
  for (auto _ : state) {
    TStringList list;
    list.SetText(Document());
    benchmark::DoNotOptimize(list.Count());
  }
  state.counters["MB"] = static_cast<double>(Document().size()) / 1e6;
}
BENCHMARK(BM_SetText)->Unit(benchmark::kMillisecond);

void BM_GetText(benchmark::State& state) {
  TStringList list;
  list.SetText(Document());
  for (auto _ : state) {
    String text = list.Text();
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_GetText)->Unit(benchmark::kMillisecond);

String BenchFile() { return (std::filesystem::temp_directory_path() / "tavelo-bench.js").string(); }

void BM_LoadFromFile(benchmark::State& state) {
  {
    TStringList list;
    list.SetText(Document());
    list.SaveToFile(BenchFile());
  }
  for (auto _ : state) {
    TStringList list;
    list.LoadFromFile(BenchFile());
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

void BM_SaveToFile(benchmark::State& state) {
  TStringList list;
  list.SetText(Document());
  for (auto _ : state) list.SaveToFile(BenchFile());
  std::filesystem::remove(BenchFile());
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
