#include "platform/posix/sleep_pacer.h"

#include <algorithm>

int64_t SleepPacer::plan(int64_t requestNs, int64_t nowNs) {
  if (!running_ || nowNs - lastEndNs_ > kRunGapNs) carry_ = 0;
  requestNs_ = requestNs;
  startNs_ = nowNs;
  return std::max<int64_t>(0, requestNs - carry_);
}

void SleepPacer::finished(int64_t endNs) {
  // What this pause took beyond its request, counting what was taken off it.
  const int64_t over = carry_ + (endNs - startNs_) - requestNs_;
  carry_ = std::clamp<int64_t>(over, 0, maxCarry_);
  lastEndNs_ = endNs;
  running_ = true;
}
