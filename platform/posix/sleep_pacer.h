// Pacing of short OS sleeps: the wake-up latency of one sleep is taken off the next, so a run
// of 2 ms pauses lasts 2 ms a pause on average instead of 2 ms plus the latency each time.
#pragma once
#include <cstdint>

class SleepPacer {
 public:
  // The latency carried is at most this much, so no pause is cut by more than a millisecond.
  static constexpr int64_t kMaxCarryNs = 1'000'000;
  // A larger bound lets a long late wake-up be repaid over several of the following pauses.
  explicit SleepPacer(int64_t maxCarryNs = kMaxCarryNs) : maxCarry_(maxCarryNs) {}
  // A pause starting this long after the previous one ended begins a new run: nothing carried.
  static constexpr int64_t kRunGapNs = 20'000'000;

  // How long to sleep (ns, never negative) for a pause of requestNs starting at nowNs.
  int64_t plan(int64_t requestNs, int64_t nowNs);
  // The planned sleep ended at endNs.
  void finished(int64_t endNs);
  int64_t carriedNs() const { return carry_; }

 private:
  int64_t maxCarry_;
  int64_t carry_ = 0;
  int64_t requestNs_ = 0;
  int64_t startNs_ = 0;
  int64_t lastEndNs_ = 0;
  bool running_ = false;
};
