// Shared timing for the benchmarks: each figure is taken against a limit timed in the same
// iteration, so that drift between runs of a shared machine cancels out.
#pragma once
#include <benchmark/benchmark.h>

#include <chrono>

// Seconds spent in `work`.
template <typename Work>
double secondsOf(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  const auto end = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(end - start).count();
}

// Times the operation and its limit alternately; the iteration time is the operation's and
// the counter "ratio" is limit time / operation time (1.0 = as fast as the limit).
template <typename Operation, typename Limit>
void compareToLimit(benchmark::State& state, Operation&& operation, Limit&& limit) {
  double operationTotal = 0, limitTotal = 0;
  for (auto _ : state) {
    const double operationSeconds = secondsOf(operation);
    limitTotal += secondsOf(limit);
    operationTotal += operationSeconds;
    state.SetIterationTime(operationSeconds);
  }
  state.counters["ratio"] = operationTotal > 0 ? limitTotal / operationTotal : 0;
  state.counters["limit_us"] =
      benchmark::Counter(limitTotal * 1e6 / static_cast<double>(state.iterations()));
}
