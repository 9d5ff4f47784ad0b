// The page's pauses in virtual time: runs of pauses keep their total length, the program
// gives the browser a turn about once a frame, and pictures are shown when they are due.
#include "platform/web/pause_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <vector>

namespace {
constexpr int64_t kMs = PauseSchedule::kMs;

// A page whose wake-ups come a set time late; it checks each picture against when it was
// due and measures the longest stretch the program ran without giving the browser a turn.
class VirtualPage final : public PausePage {
 public:
  int64_t now = 1'000 * kMs;
  int64_t lateNs = 0;
  int64_t stallNs = 0;  // added to the next wake-up only
  int64_t dueNs = 0;    // when the picture drawn so far is due
  int turns = 0;
  int64_t earliestShowNs = INT64_MAX;  // shown minus due, over every picture
  int64_t latestShowNs = INT64_MIN;
  int64_t lastTurnNs = now;
  int64_t longestRunNs = 0;

  int64_t nowNs() override { return now; }
  void waitUntil(int64_t atNs) override {
    longestRunNs = std::max(longestRunNs, now - lastTurnNs);
    now = std::max(now, atNs) + lateNs + stallNs;
    stallNs = 0;
    lastTurnNs = now;
    ++turns;
  }
  void show() override {
    earliestShowNs = std::min(earliestShowNs, now - dueNs);
    latestShowNs = std::max(latestShowNs, now - dueNs);
  }
};

// Table rows as the program pauses for them: 104 sweep steps of 2 ms, then 9 ms.
std::vector<int> tableRows(int rows) {
  std::vector<int> pauses;
  for (int r = 0; r < rows; ++r) {
    pauses.insert(pauses.end(), 104, 2);
    pauses.push_back(9);
  }
  return pauses;
}

std::vector<int> joined(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Outcome {
  int64_t overNs;  // elapsed time, settled at the end, minus the pauses asked for
  int turns;
  int64_t earliestShowNs, latestShowNs, longestRunNs;
  bool longPausesPassed;  // every pause of a frame or more had passed when it returned
};

// Runs the pauses with workNs of the program's own work before each one.
Outcome run(VirtualPage& page, const std::vector<int>& pauses, int64_t workNs, int stallAfter,
            int64_t stallNs) {
  PauseSchedule schedule;
  const int64_t start = page.now;
  page.dueNs = start;
  bool longPausesPassed = true;
  for (size_t i = 0; i < pauses.size(); ++i) {
    page.now += workNs;
    if (i == 0) page.lastTurnNs = page.now;  // the run starts with its first pause
    if (static_cast<int>(i) == stallAfter) page.stallNs = stallNs;
    pauseOn(page, schedule, pauses[i]);
    if (int64_t{pauses[i]} * kMs >= PauseSchedule::kFrameNs)
      longPausesPassed = longPausesPassed && schedule.settledAtNs(page.now) == page.now;
    page.dueNs += int64_t{pauses[i]} * kMs;
  }
  settleOn(page, schedule);
  const int64_t asked = std::accumulate(pauses.begin(), pauses.end(), int64_t{0}) * kMs;
  return {page.now - start - asked, page.turns,        page.earliestShowNs,
          page.latestShowNs,        page.longestRunNs, longPausesPassed};
}

TEST(WebPauseSchedule, RunsOfPausesKeepTheirLengthWithAboutOneTurnAFrame) {
  struct Case {
    const char* name;
    std::vector<int> pauses;
    int64_t workNs, lateNs;
    int stallAfter;
    int64_t stallNs;
    int64_t overMinNs;
    // At most the last wake-up's lateness and the work after it; none: the program's work
    // sets the pace.
    std::optional<int64_t> overMaxNs;
    int minTurns, maxTurns;
    int64_t latestShowNs;
  };
  const Case cases[] = {
      {"a table row on a quiet page", tableRows(1), 0, 0, -1, 0, 0, 0, 13, 15, 0},
      {"late wake-ups and the program's work are taken off the next pauses", tableRows(10), 100'000,
       kMs, -1, 0, 0, kMs + 100'000, 120, 150, kMs + 100'000},
      {"a page slowed eight times", tableRows(10), 800'000, 4 * kMs, -1, 0, 0, 4 * kMs + 800'000,
       120, 150, 4 * kMs + 800'000},
      {"a band of 34 rows and its 250 ms tone", joined(tableRows(34), {250}), 50'000, 300'000, -1,
       0, 0, 350'000, 34 * 12, 34 * 15, 350'000},
      {"slices of a long pause after a sweep", joined(tableRows(1), {50, 50, 50, 50}), 0, 200'000,
       -1, 0, 0, 200'000, 16, 22, 200'000},
      // 1,000 ms late for a picture due 2 ms before the deadline: 998 ms behind it.
      {"a hidden tab's wake-up a second late: 200 ms are repaid, the rest forgiven", tableRows(3),
       0, 0, 150, 1'000 * kMs, 798 * kMs, 798 * kMs, 25, 50, 1'000 * kMs},
      {"a wake-up 120 ms late on a loaded machine is repaid in full", tableRows(3), 0, 0, 150,
       120 * kMs, 0, 0, 25, 50, 120 * kMs},
      {"a program slower than its pauses still yields every frame", tableRows(2), 3 * kMs, 200'000,
       -1, 0, 0, std::nullopt, 10, 60, INT64_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualPage page;
    page.lateNs = c.lateNs;
    const Outcome o = run(page, c.pauses, c.workNs, c.stallAfter, c.stallNs);
    EXPECT_GE(o.overNs, c.overMinNs);
    if (c.overMaxNs) {
      EXPECT_LE(o.overNs, *c.overMaxNs);
    }
    EXPECT_GE(o.turns, c.minTurns);
    EXPECT_LE(o.turns, c.maxTurns);
    EXPECT_GE(o.earliestShowNs, 0) << "a picture was shown before it was due";
    EXPECT_LE(o.latestShowNs, c.latestShowNs);
    EXPECT_LE(o.longestRunNs, PauseSchedule::kLongestRunNs + c.workNs);
    EXPECT_TRUE(o.longPausesPassed);
  }
}

TEST(WebPauseSchedule, AKeyWaitStartsANewRun) {
  VirtualPage page;
  PauseSchedule schedule;
  pauseOn(page, schedule, 9);
  settleOn(page, schedule);
  page.now += 5'000 * kMs;  // the key wait
  schedule.restart();
  const int64_t key = page.now;
  for (int pause : tableRows(1)) pauseOn(page, schedule, pause);
  settleOn(page, schedule);
  EXPECT_EQ(page.now - key, 217 * kMs);
}

TEST(WebPauseSchedule, ShortPausesGoOnUntilThePictureIsDueAFrameAhead) {
  PauseSchedule schedule;
  const int64_t t = 1'000 * kMs;
  // Seven sweep steps leave the picture due 14 ms ahead; the eighth, due 16 ms ahead, waits.
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(schedule.plan(2, t).suspend) << i;
  const PauseTurn turn = schedule.plan(2, t);
  EXPECT_TRUE(turn.suspend);
  EXPECT_EQ(turn.showAtNs, t + 16 * kMs);
  EXPECT_EQ(turn.resumeAtNs, turn.showAtNs);
  // A pause of a frame is waited out after its picture is shown.
  const PauseTurn tone = schedule.plan(250, t + 16 * kMs);
  EXPECT_EQ(tone.showAtNs, t + 18 * kMs);
  EXPECT_EQ(tone.resumeAtNs, t + 268 * kMs);
}
}  // namespace
