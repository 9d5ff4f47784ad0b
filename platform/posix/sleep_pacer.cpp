#include "platform/posix/sleep_pacer.h"

#include <algorithm>

int64_t SleepPacer::plan(int64_t requestNs, int64_t nowNs) {
  if (!running_ || nowNs - lastEndNs_ > kRunGapNs) dueNs_ = nowNs;
  // Counted from when the previous pause was due, not from now: the time the program took
  // between the pauses and the previous wake-up's lateness are taken off this one.
  dueNs_ += requestNs;
  const int64_t behind = nowNs + requestNs - dueNs_;
  if (behind > maxCarry_) dueNs_ = nowNs + requestNs - maxCarry_;
  return std::max<int64_t>(0, dueNs_ - nowNs);
}

void SleepPacer::finished(int64_t endNs) {
  carry_ = std::clamp<int64_t>(endNs - dueNs_, 0, maxCarry_);
  lastEndNs_ = endNs;
  running_ = true;
}
