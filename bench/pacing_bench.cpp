// Pacing of one table row with real sleeps through the Linux seam: the sweep's 104 pauses
// of 2 ms with its marks and column lines, the row's numbers, then the 9 ms pause.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/posix/posix_platform.h"
#include "screen/backend/backend.h"
#include "screen/screen.h"

namespace {
constexpr double kRequestedRowMs = 104 * 2 + 9;  // 217 ms of pauses per row

void prepareScreen() {
  static const bool done = [] {
    installPosixPlatform();
    startServices(0, nullptr);
    setScreenMode(20, 16, 8, kFlagNullBackend, 0);
    return true;
  }();
  (void)done;
}

void simulatedRow(int row) {
  locate(row, 1, -1);
  setColour(0xAAEEAA, 0x000000);
  for (int column = 2; column <= 105; ++column) {
    sleepMs(2);
    locate(row, column, -1);
    printText(" #", true);
    for (const float x : {0.0f, 158.0f, 423.0f, 688.0f, 954.0f})
      drawLine(nullptr, x, 31, x, 629, kCurrentForeground, 0, 0xFFFF, 0);
  }
  locate(row, 1, -1);
  printText("  2.37 Mil millones   0.47     -50% (  0.24) ->      2.13", false);
  sleepMs(9);
}

void tableRowPacing(benchmark::State& state) {
  prepareScreen();
  int row = 6;
  double totalMs = 0, worstMs = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    simulatedRow(row);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    totalMs += ms;
    worstMs = std::max(worstMs, ms);
    row = row == 39 ? 6 : row + 1;
  }
  const double meanMs = totalMs / static_cast<double>(state.iterations());
  state.counters["row_ms"] = meanMs;
  state.counters["ratio"] = meanMs / kRequestedRowMs;
  state.counters["worst_ratio"] = worstMs / kRequestedRowMs;
}
}  // namespace

BENCHMARK(tableRowPacing)->Iterations(24)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
