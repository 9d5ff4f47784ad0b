// Pacing of short OS sleeps: within a run of pauses each one ends its request after the
// previous one was due to end, so wake-up latency and the work between pauses are repaid.
#pragma once
#include <cstdint>

class SleepPacer {
 public:
  // The run is never more than this behind its due time: a longer stall (the machine busy
  // elsewhere) is forgiven instead of being caught up with a burst of zero-length pauses.
  static constexpr int64_t kMaxCarryNs = 20'000'000;
  explicit SleepPacer(int64_t maxCarryNs = kMaxCarryNs) : maxCarry_(maxCarryNs) {}
  // A pause starting this long after the previous one ended begins a new run: nothing carried.
  static constexpr int64_t kRunGapNs = 20'000'000;

  // How long to sleep (ns, never negative) for a pause of requestNs starting at nowNs.
  int64_t plan(int64_t requestNs, int64_t nowNs);
  // The planned sleep ended at endNs.
  void finished(int64_t endNs);
  // How far the run was behind its due time when the last pause ended (0 when on time).
  int64_t carriedNs() const { return carry_; }

 private:
  int64_t maxCarry_;
  int64_t carry_ = 0;
  int64_t dueNs_ = 0;  // when the last planned pause was due to end
  int64_t lastEndNs_ = 0;
  bool running_ = false;
};
