// The named colours' start-up work, and one nearest-name search: score all
// 1566 named colours against a colour and sort the whole table by distance.
#include <benchmark/benchmark.h>

#include "color/named_colors.h"

// What the program does once at every start, before its window exists.
static void BM_BuildNamedColorMap(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(BuildNamedColorMap());
}
BENCHMARK(BM_BuildNamedColorMap)->Unit(benchmark::kMicrosecond);

static void BM_RankAllNamedColors(benchmark::State& state) {
  BuildNamedColorMap();
  static NameCandidate all[kNamedColorCount];
  int color = 0x3C2B1A;
  for (auto _ : state) {
    benchmark::DoNotOptimize(RankNamedColors(color, all, kNamedColorCount));
    color = (color * 7 + 0x010203) & 0xFFFFFF;  // a different colour each time
  }
}
BENCHMARK(BM_RankAllNamedColors)->Unit(benchmark::kMicrosecond);

// What a list refresh asks for: the source row and the 33 nearest, with texts.
static void BM_NameListRows(benchmark::State& state) {
  BuildNamedColorMap();
  int color = 0x3C2B1A;
  for (auto _ : state) {
    benchmark::DoNotOptimize(NameListRows(color, 0, 0));
    color = (color * 7 + 0x010203) & 0xFFFFFF;
  }
}
BENCHMARK(BM_NameListRows)->Unit(benchmark::kMicrosecond);
