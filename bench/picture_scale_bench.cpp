// The SDL window's scaler on the processor alone: one table row's band (16 frame rows) and the
// whole frame, scaled to the picture of common screens, against a plain copy of the same
// picture rows (what a 1:1 window writes).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "bench/bench_timing.h"
#include "platform/sdl/picture_geometry.h"
#include "platform/sdl/picture_scaler.h"

namespace {
constexpr int kWidth = 1024, kRows = 768, kBandRows = 16;

const std::vector<uint32_t>& frame() {
  static const std::vector<uint32_t> pixels = [] {
    std::vector<uint32_t> p(static_cast<size_t>(kWidth) * kRows);
    for (size_t i = 0; i < p.size(); ++i) p[i] = (i % 7 < 3) ? 0x00FF40u : 0u;  // text-like
    return p;
  }();
  return pixels;
}

// Args: picture width and height; the band is frame rows 96..111 (a table row).
void scaleBand(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  PictureScaler scaler;
  scaler.configure(kWidth, kRows, width, height);
  std::vector<uint32_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
  const RowSpan span = pictureRowsOf(kRows, height, 96, 96 + kBandRows);
  compareToLimit(
      state,
      [&] {
        for (int y = span.first; y < span.last; ++y)
          scaler.scaleRow(y, frame().data(), kWidth, out.data() + static_cast<size_t>(y) * width);
        benchmark::ClobberMemory();
      },
      [&] {
        for (int y = span.first; y < span.last; ++y)
          std::memcpy(out.data() + static_cast<size_t>(y) * width,
                      frame().data() + static_cast<size_t>(y % kRows) * kWidth,
                      static_cast<size_t>(std::min(width, kWidth)) * 4);
        benchmark::ClobberMemory();
      });
  state.counters["picture_rows"] = span.last - span.first;
}

void scaleWholeFrame(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  PictureScaler scaler;
  scaler.configure(kWidth, kRows, width, height);
  std::vector<uint32_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
  compareToLimit(
      state,
      [&] {
        for (int y = 0; y < height; ++y)
          scaler.scaleRow(y, frame().data(), kWidth, out.data() + static_cast<size_t>(y) * width);
        benchmark::ClobberMemory();
      },
      [&] {
        std::memcpy(out.data(), frame().data(),
                    std::min(out.size(), frame().size()) * sizeof(uint32_t));
        benchmark::ClobberMemory();
      });
}

void pictures(benchmark::internal::Benchmark* b) {
  b->Args({1440, 1080})     // 1920 x 1080 full screen, 1.41x
      ->Args({1200, 900})   // a 1600 x 900 window, 1.17x
      ->Args({2048, 1536})  // 2x window
      ->Args({2880, 2160})  // 3840 x 2160 full screen, 2.81x
      ->Args({800, 600})    // 800 x 600 full screen, 0.78x
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond);
}
BENCHMARK(scaleBand)->Apply(pictures);
BENCHMARK(scaleWholeFrame)->Apply(pictures);
}  // namespace

BENCHMARK_MAIN();
