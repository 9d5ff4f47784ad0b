#include "platform/web/pause_schedule.h"

#include <algorithm>

PauseTurn PauseSchedule::plan(int ms, int64_t nowNs) {
  if (!running_) {
    deadline_ = nowNs;
    lastTurn_ = nowNs;
    shownDue_ = nowNs;
    running_ = true;
  }
  // The picture drawn so far is due when the previous pause ends.
  const int64_t due = std::max(deadline_, nowNs - kMostBehindNs);
  const int64_t length = int64_t{ms} * kMs;
  deadline_ = due + length;
  // Pictures a frame apart on the pauses' own clock, each shown when it is due. A program
  // behind its pauses goes on without them, or it would never catch up on a slow page,
  // where every turn for the browser costs more than a frame.
  const bool pictureDue = due - shownDue_ >= kFrameNs && due > nowNs;
  if (length < kFrameNs && !pictureDue && nowNs - lastTurn_ < kLongestRunNs) return PauseTurn{};
  shownDue_ = due;
  return PauseTurn{true, due, length >= kFrameNs ? deadline_ : due};
}

int64_t PauseSchedule::settledAtNs(int64_t nowNs) const {
  return running_ ? std::max(deadline_, nowNs) : nowNs;
}

namespace {
void turnUntil(PausePage& page, PauseSchedule& schedule, int64_t atNs) {
  page.waitUntil(atNs);
  schedule.hadTurn(page.nowNs());
}
}  // namespace

void pauseOn(PausePage& page, PauseSchedule& schedule, int ms) {
  const PauseTurn turn = schedule.plan(ms, page.nowNs());
  if (!turn.suspend) return;
  if (turn.resumeAtNs == turn.showAtNs) {
    turnUntil(page, schedule, turn.showAtNs);
    page.show();
    return;
  }
  if (turn.showAtNs > page.nowNs()) turnUntil(page, schedule, turn.showAtNs);
  page.show();
  turnUntil(page, schedule, turn.resumeAtNs);
}

void settleOn(PausePage& page, PauseSchedule& schedule) {
  const int64_t now = page.nowNs();
  const int64_t at = schedule.settledAtNs(now);
  if (at > now) turnUntil(page, schedule, at);
  page.show();
}
