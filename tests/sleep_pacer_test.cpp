// The pacing of short sleeps, driven with made-up clock readings.
#include "platform/posix/sleep_pacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
constexpr int64_t kMs = 1'000'000;

struct Pause {
  int64_t gapNs;  // from the previous pause's end to this one's start
  int64_t requestNs;
  int64_t overshootNs;  // how much longer than planned the OS sleep lasts
  int64_t expectPlanNs;
};

TEST(SleepPacer, TakesTheLastOvershootOffTheNextPause) {
  struct Case {
    const char* name;
    std::vector<Pause> pauses;
  };
  const Case cases[] = {
      {"steady latency is absorbed after the first pause",
       {{0, 2 * kMs, 65'000, 2 * kMs},
        {0, 2 * kMs, 65'000, 2 * kMs - 65'000},
        {0, 2 * kMs, 65'000, 2 * kMs - 65'000}}},
      {"a late wake-up is repaid once, not forever",
       {{0, 2 * kMs, 300'000, 2 * kMs},
        {0, 2 * kMs, 0, 2 * kMs - 300'000},
        {0, 2 * kMs, 0, 2 * kMs}}},
      {"the carry is bounded to a millisecond",
       {{0, 2 * kMs, 7 * kMs, 2 * kMs}, {0, 2 * kMs, 0, kMs}, {0, 2 * kMs, 0, 2 * kMs}}},
      {"a pause long after the last one starts afresh",
       {{0, 2 * kMs, 200'000, 2 * kMs}, {SleepPacer::kRunGapNs + 1, 2 * kMs, 0, 2 * kMs}}},
      {"work between pauses within the run keeps the carry",
       {{0, 9 * kMs, 100'000, 9 * kMs}, {3 * kMs, 2 * kMs, 0, 2 * kMs - 100'000}}},
      {"an early wake-up carries nothing",
       {{0, 2 * kMs, -50'000, 2 * kMs}, {0, 2 * kMs, 0, 2 * kMs}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SleepPacer pacer;
    int64_t now = 1'000 * kMs;
    for (size_t i = 0; i < c.pauses.size(); ++i) {
      const Pause& p = c.pauses[i];
      now += p.gapNs;
      const int64_t planned = pacer.plan(p.requestNs, now);
      EXPECT_EQ(planned, p.expectPlanNs) << "pause " << i;
      now += planned + p.overshootNs;
      pacer.finished(now);
      EXPECT_GE(pacer.carriedNs(), 0);
      EXPECT_LE(pacer.carriedNs(), SleepPacer::kMaxCarryNs);
    }
  }
}

// Over a run the pauses take what was asked, plus at most the last pause's latency.
TEST(SleepPacer, ARunLastsItsRequestedTime) {
  SleepPacer pacer;
  const int64_t start = 5 * kMs;
  int64_t now = start;
  const int64_t latencies[] = {40'000, 120'000, 80'000, 900'000, 10'000, 60'000};
  for (int i = 0; i < 600; ++i) {
    now += pacer.plan(2 * kMs, now) + latencies[i % 6];
    pacer.finished(now);
  }
  EXPECT_GE(now - start, 600 * 2 * kMs);
  EXPECT_LE(now - start, 600 * 2 * kMs + SleepPacer::kMaxCarryNs);
}

// With a larger bound a stall of 7 ms is repaid by the next pauses, which then sleep nothing
// until it is, and the run still lasts what was asked.
TEST(SleepPacer, ALargerBoundRepaysAStallOverSeveralPauses) {
  SleepPacer pacer(50 * kMs);
  int64_t now = 5 * kMs;
  const int64_t start = now;
  std::vector<int64_t> plans;
  for (int i = 0; i < 8; ++i) {
    const int64_t planned = pacer.plan(2 * kMs, now);
    plans.push_back(planned);
    now += planned + (i == 0 ? 7 * kMs : 0);
    pacer.finished(now);
  }
  EXPECT_EQ(plans, (std::vector<int64_t>{2 * kMs, 0, 0, 0, kMs, 2 * kMs, 2 * kMs, 2 * kMs}));
  EXPECT_EQ(now - start, 8 * 2 * kMs);
  EXPECT_EQ(pacer.carriedNs(), 0);
}
}  // namespace
