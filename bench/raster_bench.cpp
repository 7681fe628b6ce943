// The raster work of one 16 ms picker tick, without the operating system:
// filling a whole capture-view surface, drawing a gradient strip of vertical
// lines, and magnifying the 31 x 21 capture raw onto the 152 x 100 surface.
#include <benchmark/benchmark.h>

#include <vector>

#include "runtime/raster.h"

struct Surface {
  std::vector<unsigned char> memory;
  PixelBuffer b;
  Surface(int width, int height, int bytes)
      : memory((size_t)RasterStride(width, bytes) * height),
        b(BottomUpBuffer(memory.data(), width, height, bytes)) {}
};

static void BM_FillWholeSurface(benchmark::State& state) {
  Surface s(156, 104, 3);
  int color = 0;
  for (auto _ : state) {
    RasterFillBox(s.b, 0, 0, 156, 104, color++);
    benchmark::DoNotOptimize(s.memory.data());
  }
}
BENCHMARK(BM_FillWholeSurface)->Unit(benchmark::kMicrosecond);

static void BM_GradientOfVerticalLines(benchmark::State& state) {
  Surface s(156, 20, 3);
  for (auto _ : state) {
    for (int x = 0; x < 156; x++) RasterDrawLine(s.b, x, 0, x, 20, ComposeColor(x, 20, 30));
    benchmark::DoNotOptimize(s.memory.data());
  }
}
BENCHMARK(BM_GradientOfVerticalLines)->Unit(benchmark::kMicrosecond);

static void BM_RawScaleCaptureToView(benchmark::State& state) {
  Surface capture(31, 21, 4), view(152, 100, 4);
  for (int y = 0; y < 21; y++)
    for (int x = 0; x < 31; x++) RasterWritePixel(capture.b, x, y, ComposeColor(x * 8, y * 12, 99));
  for (auto _ : state) {
    RasterScaleRaw(view.b, capture.b);
    benchmark::DoNotOptimize(view.memory.data());
  }
}
BENCHMARK(BM_RawScaleCaptureToView)->Unit(benchmark::kMicrosecond);
