// Core painting on the Null back end against the memset/memmove/memcpy of the same bytes:
// clearing the screen, scrolling the view, painting table rows, a filled box and a line.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "screen/backend/backend.h"
#include "screen/screen.h"

namespace {
constexpr int kWidth = 1024, kHeight = 768, kPitch = kWidth * 2, kCellHeight = 16;
constexpr size_t kFrameBytes = static_cast<size_t>(kPitch) * kHeight;  // 1.5 MiB

// Sets the 1024x768 16-bit screen once for every benchmark of this process.
uint8_t* screenPixels() {
  static uint8_t* pixels = [] {
    startServices(0, nullptr);
    setScreenMode(20, 16, 8, kFlagNullBackend, 0);
    return static_cast<uint8_t*>(frameBuffer());
  }();
  return pixels;
}

// A frame-sized buffer for the limits, so they touch as much memory as the operation.
std::vector<uint8_t>& scratch() {
  static std::vector<uint8_t> buffer(kFrameBytes, 0x5A);
  return buffer;
}

void clearScreenFull(benchmark::State& state) {
  uint8_t* pixels = screenPixels();
  compareToLimit(
      state, [] { clearScreen(); },
      [pixels] {
        std::memset(pixels, 0, kFrameBytes);
        benchmark::ClobberMemory();
      });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(kFrameBytes));
}

// One line end on row 48 scrolls the whole 48-row view up by one text row.
void scrollOneRow(benchmark::State& state) {
  uint8_t* pixels = screenPixels();
  clearScreen();
  constexpr size_t kRowBytes = static_cast<size_t>(kPitch) * kCellHeight;
  constexpr size_t kMoved = kFrameBytes - kRowBytes;
  compareToLimit(
      state,
      [] {
        locate(48, 1, -1);
        writeText("\n", 1, 0);
      },
      [pixels] {
        std::memmove(pixels, pixels + kRowBytes, kMoved);
        std::memset(pixels + kMoved, 0, kRowBytes);
        benchmark::ClobberMemory();
      });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(kFrameBytes));
}

// The text of one table row as the scenario table prints it (level and three hypotheses).
std::string tableRowText() {
  std::string text = "  2.37 Mil millones";
  const char* hypothesis = "   0.47     -50% (  0.24) ->      2.13   ";
  while (text.size() + std::strlen(hypothesis) <= 128) text += hypothesis;
  text.resize(112, ' ');
  return text;
}

// Paints the band of table rows 6 to 39 against copying the same pixel bytes of each row.
void glyphTableRows(benchmark::State& state) {
  uint8_t* pixels = screenPixels();
  clearScreen();
  setColour(0xAAEEAA, 0x000000);
  const std::string text = tableRowText();
  const size_t cells = text.size();
  constexpr int kFirstRow = 6, kLastRow = 39;
  const size_t spanBytes = cells * 8 * 2;
  const uint8_t* source = scratch().data();
  compareToLimit(
      state,
      [&text] {
        for (int row = kFirstRow; row <= kLastRow; ++row) {
          locate(row, 1, -1);
          writeText(text.data(), text.size(), 0);
        }
      },
      [pixels, source, spanBytes] {
        for (int row = kFirstRow - 1; row < kLastRow; ++row)
          for (int j = 0; j < kCellHeight; ++j) {
            const size_t offset = static_cast<size_t>(row * kCellHeight + j) * kPitch;
            std::memcpy(pixels + offset, source + offset, spanBytes);
          }
        benchmark::ClobberMemory();
      });
  const auto rows = static_cast<int64_t>(kLastRow - kFirstRow + 1);
  state.counters["cells_per_s"] =
      benchmark::Counter(static_cast<double>(static_cast<int64_t>(state.iterations()) * rows *
                                             static_cast<int64_t>(cells)),
                         benchmark::Counter::kIsRate);
}

// A filled box of 800 x 500 pixels against memset of its 500 spans.
void filledBox(benchmark::State& state) {
  uint8_t* pixels = screenPixels();
  constexpr int x0 = 100, y0 = 100, x1 = 899, y1 = 599;
  compareToLimit(
      state, [] { drawLine(nullptr, x0, y0, x1, y1, 0xFFFFFF, 2, 0xFFFF, 0); },
      [pixels] {
        for (int y = y0; y <= y1; ++y)
          std::memset(pixels + static_cast<size_t>(y) * kPitch + x0 * 2, 0xFF, (x1 - x0 + 1) * 2);
        benchmark::ClobberMemory();
      });
}

// A solid 1024-pixel horizontal line against memset of its 2 KiB; done 64 times per timing
// so the clock's own cost does not swamp a sub-microsecond call.
void horizontalLine(benchmark::State& state) {
  uint8_t* pixels = screenPixels();
  constexpr int kRepeat = 64;
  compareToLimit(
      state,
      [] {
        for (int i = 0; i < kRepeat; ++i)
          drawLine(nullptr, 0, static_cast<float>(300 + i), 1023, static_cast<float>(300 + i),
                   kCurrentForeground, 0, 0xFFFF, 0);
      },
      [pixels] {
        for (int i = 0; i < kRepeat; ++i)
          std::memset(pixels + static_cast<size_t>(300 + i) * kPitch, 0xFF, kPitch);
        benchmark::ClobberMemory();
      });
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kRepeat);
}
}  // namespace

BENCHMARK(clearScreenFull)->UseManualTime()->MinTime(0.5);
BENCHMARK(scrollOneRow)->UseManualTime()->MinTime(0.5);
BENCHMARK(glyphTableRows)->UseManualTime()->MinTime(0.5);
BENCHMARK(filledBox)->UseManualTime()->MinTime(0.5);
BENCHMARK(horizontalLine)->UseManualTime()->MinTime(0.5);

BENCHMARK_MAIN();
