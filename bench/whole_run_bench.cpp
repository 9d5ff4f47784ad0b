// The simulator's whole 2 -> 58 run (5,601 table rows) in virtual time: wall time of the
// run and the process's peak resident memory.
#include <benchmark/benchmark.h>

#include <charconv>
#include <fstream>
#include <string>

#include "tools/scripted_run.h"

namespace {
// VmHWM of /proc/self/status in KiB, 0 when it cannot be read.
long peakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) {
      const size_t first = line.find_first_not_of(" \t", 6);
      long kib = 0;
      if (first != std::string::npos)
        std::from_chars(line.data() + first, line.data() + line.size(), kib);
      return kib;
    }
  return 0;
}

void wholeRun(benchmark::State& state) {
  long long rows = 0;
  int status = -1;
  for (auto _ : state) {
    const ScriptedRunResult result =
        runScripted({waitLineAction(), typeAction("2\r"), waitLineAction(), typeAction("58\r"),
                     waitLineAction(), typeAction("50\r"), waitEndAction(), typeAction(" ")});
    rows = result.rows;
    status = result.outcome == ScriptedRunResult::Outcome::Ended ? result.exitStatus : -1;
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["ended_status"] = status;
  state.counters["peak_rss_MB"] = static_cast<double>(peakResidentKiB()) / 1024.0;
}
}  // namespace

BENCHMARK(wholeRun)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
