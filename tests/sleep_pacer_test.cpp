// The pacing of short sleeps in virtual time: made-up clock readings for each pause.
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

TEST(SleepPacer, EachPauseEndsItsRequestAfterThePreviousOneWasDue) {
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
      {"the program's work between pauses is repaid too",
       {{0, 2 * kMs, 0, 2 * kMs}, {150'000, 2 * kMs, 0, 2 * kMs - 150'000}}},
      {"work and latency together",
       {{0, 9 * kMs, 100'000, 9 * kMs}, {3 * kMs, 2 * kMs, 0, 0}, {0, 2 * kMs, 0, kMs - 100'000}}},
      {"a stall beyond the bound is forgiven, the bound repaid",
       {{0, 2 * kMs, 45 * kMs, 2 * kMs},
        {0, 2 * kMs, 0, 0},
        {0, 10 * kMs, 0, 0},
        {0, 9 * kMs, 0, kMs},
        {0, 2 * kMs, 0, 2 * kMs}}},
      {"a pause long after the last one starts afresh",
       {{0, 2 * kMs, 200'000, 2 * kMs}, {SleepPacer::kRunGapNs + 1, 2 * kMs, 0, 2 * kMs}}},
      {"an early wake-up is made up by the next pause",
       {{0, 2 * kMs, -50'000, 2 * kMs}, {0, 2 * kMs, 0, 2 * kMs + 50'000}}},
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

// A table row on a busy window: 104 pauses of 2 ms, each followed by the sweep's drawing
// (which waits for the presentation thread's copy now and then), then the row's text and 9 ms.
// The row lasts its 217 ms of pauses plus only what follows its last pause.
TEST(SleepPacer, ATableRowLastsItsPausesDespiteLatencyAndWork) {
  SleepPacer pacer;
  int64_t now = 7 * kMs;
  const int64_t start = now;
  const int64_t latencies[] = {65'000, 90'000, 1'200'000, 70'000};
  const int64_t work[] = {40'000, 40'000, 600'000, 40'000, 3 * kMs};
  for (int step = 0; step < 104; ++step) {
    now += pacer.plan(2 * kMs, now) + latencies[step % 4];
    pacer.finished(now);
    now += work[step % 5];
  }
  now += 200'000;  // the row's text
  now += pacer.plan(9 * kMs, now) + 80'000;
  pacer.finished(now);
  EXPECT_GE(now - start, 217 * kMs);
  EXPECT_LE(now - start, 217 * kMs + 80'000);
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
  EXPECT_LE(now - start, 600 * 2 * kMs + 60'000);
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
