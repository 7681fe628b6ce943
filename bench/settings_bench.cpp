// Processing cost of one settings save and one load, without the disk:
// build the text, compress it; inflate, parse and extract.
#include <benchmark/benchmark.h>
#include <string.h>

#include "app/settings_record.h"

static ConfigRecord TypicalRecord() {
  ConfigRecord r;
  memset(&r, 0, sizeof r);
  r.validityMarker = kSettingsMarker;
  r.Color = 0x3C2B1A;
  r.WinX = 320;
  r.WinY = 240;
  r.WinExpanded = 1;
  for (int i = 0; i < kRecentColorCount; i++) r.ColorRecent[i] = i * 0x0F0E0D;
  // A captured desktop region: a few flat areas and an edge.
  for (int i = 0; i < kCapturedPixelCount; i++) r.CapturedImgData[i] = i % 21 < 9 ? 0xF0F0F0 : 0x7A3B12 + i % 3;
  return r;
}

static void BM_SaveSettingsImage(benchmark::State& state) {
  ConfigRecord r = TypicalRecord();
  for (auto _ : state) benchmark::DoNotOptimize(EncodeSettingsFile(&r, kConfigDescriptor));
}
BENCHMARK(BM_SaveSettingsImage)->Unit(benchmark::kMicrosecond);

static void BM_LoadSettingsImage(benchmark::State& state) {
  const ConfigRecord typical = TypicalRecord();
  std::vector<unsigned char> file = EncodeSettingsFile(&typical, kConfigDescriptor);
  ConfigRecord r;
  for (auto _ : state) benchmark::DoNotOptimize(DecodeSettingsFile(file.data(), file.size(), &r, kConfigDescriptor));
}
BENCHMARK(BM_LoadSettingsImage)->Unit(benchmark::kMicrosecond);
