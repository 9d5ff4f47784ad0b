// When the page's program really suspends for its pauses: every pause moves a deadline on
// the page's clock, and the program gives the browser a turn only about once a frame.
#pragma once
#include <cstdint>

// What to do for one pause. Without a suspension the program goes on at once; with one it
// waits until showAtNs (at least one turn for the browser), shows its picture, which is
// due then, and, for a pause of a frame or more, waits on until resumeAtNs.
struct PauseTurn {
  bool suspend = false;
  int64_t showAtNs = 0;
  int64_t resumeAtNs = 0;
};

// The pauses of a run lie end to end on the page's clock, each counted from the end of the
// one before, so the program's own work and late wake-ups are taken off the following
// pauses. A short pause suspends only when the picture drawn so far is due a frame or more
// after the last one shown: a display shows a new picture only about every 16 ms, and the
// sweep's pauses of 2 ms would otherwise each cost a round trip through the browser. Times
// are nanoseconds.
class PauseSchedule {
 public:
  static constexpr int64_t kMs = 1'000'000;
  // A picture due this long after the last one shown makes the program suspend until then;
  // so does a pause this long, which is waited out after its picture is shown (a key may end
  // a long pause's slices, so each one really passes before the program looks at the keys).
  static constexpr int64_t kFrameNs = 16 * kMs;
  // Having run this long without a turn for the browser, the program yields even when it is
  // behind, so keys and pictures keep flowing when the page is slowed down.
  static constexpr int64_t kLongestRunNs = 16 * kMs;
  // Lateness up to about a table row's pauses is repaid (a loaded machine, a slowed page
  // wakes the program up to a hundred milliseconds late now and then); beyond it (a hidden
  // tab's slowed timers) it is forgiven rather than repaid by racing through the pauses.
  static constexpr int64_t kMostBehindNs = 200 * kMs;

  PauseTurn plan(int ms, int64_t nowNs);
  // When every pause asked for so far has passed (nowNs when nothing is owed).
  int64_t settledAtNs(int64_t nowNs) const;
  // The browser had a turn; the program goes on at nowNs.
  void hadTurn(int64_t nowNs) { lastTurn_ = nowNs; }
  // The next pause starts a new run (after a key wait: the time waited is no pause).
  void restart() { running_ = false; }

 private:
  int64_t deadline_ = 0;
  int64_t lastTurn_ = 0;
  int64_t shownDue_ = 0;  // when the picture last shown was due
  bool running_ = false;
};

// What a pause needs of the page.
class PausePage {
 public:
  virtual int64_t nowNs() = 0;
  // Gives the browser a turn until atNs (at once when that has passed); keys that came
  // meanwhile are taken.
  virtual void waitUntil(int64_t atNs) = 0;
  // Puts the changed rows of the picture on the canvas.
  virtual void show() = 0;

 protected:
  ~PausePage() = default;
};

// A pause of ms: goes on at once, or shows the picture when it is due and waits as planned.
void pauseOn(PausePage& page, PauseSchedule& schedule, int ms);
// Waits until every pause so far has passed, then shows the picture.
void settleOn(PausePage& page, PauseSchedule& schedule);
