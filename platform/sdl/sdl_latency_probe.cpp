#include "platform/sdl/sdl_latency_probe.h"

#include <cstdlib>

void KeyLatencyProbe::open() {
  const char* path = std::getenv("CO2SIM_KEY_LATENCY_LOG");
  if (path && *path) log_ = std::fopen(path, "w");
  pending_ = false;
}

void KeyLatencyProbe::keyQueued() {
  // Keys that arrive before the echo of an earlier one are timed from the earlier one.
  if (!log_ || pending_) return;
  pending_ = true;
  keyTime_ = std::chrono::steady_clock::now();
}

void KeyLatencyProbe::afterCopy(bool copied) {
  if (!log_ || !pending_ || !copied) return;
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                      std::chrono::steady_clock::now() - keyTime_)
                      .count();
  std::fprintf(log_, "%lld\n", static_cast<long long>(us));
  std::fflush(log_);
  pending_ = false;
}

void KeyLatencyProbe::close() {
  if (log_) std::fclose(log_);
  log_ = nullptr;
}
