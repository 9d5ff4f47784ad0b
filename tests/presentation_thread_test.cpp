// The presentation thread with a fake window in virtual time: the start handshake, the pacing
// of copies, the echo of a key, the rest and its wake-up, the stop, and failures that must not
// spin or hang.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "platform/common/presentation_thread.h"

namespace {
using Clock = PresentationThread::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// A window that records what the thread asks of it. Its rest blocks until it is woken (a
// thread test) or is never called (a test that runs turns itself).
struct FakeWindow {
  std::recursive_mutex screenLock;
  std::vector<uint8_t> dirty = std::vector<uint8_t>(8, 0);
  bool hasScreen = true;
  bool buildResult = true;
  bool buildThrows = false;
  bool presentSucceeds = true;
  bool owesPicture = false;
  bool keyAtNextDispatch = false;
  bool markAtNextDispatch = false;
  Clock::time_point virtualNow = Clock::time_point{} + std::chrono::hours(1);
  std::vector<Clock::time_point> copies;  // times of successful copies
  int presents = 0, builds = 0, teardowns = 0, faults = 0, dispatches = 0;
  PresentationThread* machine = nullptr;
  std::function<void()> onDispatch;

  // Shared with the presentation thread (under `m`).
  std::mutex m;
  std::condition_variable changed;
  int rests = 0, wakes = 0;
  int lastRestMs = -1;
  bool wakePending = false;

  void markRow(size_t row) {
    std::lock_guard<std::recursive_mutex> guard(screenLock);
    dirty[row] = 1;
  }
  bool anyDirty() const { return std::find(dirty.begin(), dirty.end(), 1) != dirty.end(); }

  template <typename Condition>
  bool waitFor(Condition condition) {
    std::unique_lock<std::mutex> lock(m);
    return changed.wait_for(lock, std::chrono::seconds(5), condition);
  }

  PresentationThread::Hooks hooks() {
    PresentationThread::Hooks h;
    h.build = [this] {
      ++builds;
      if (buildThrows) throw std::runtime_error("no display");
      return buildResult;
    };
    h.present = [this](const VisibleFrame& frame) {
      ++presents;
      const bool any =
          std::find(frame.dirtyRows.begin(), frame.dirtyRows.end(), 1) != frame.dirtyRows.end();
      if (!presentSucceeds) return false;
      std::fill(frame.dirtyRows.begin(), frame.dirtyRows.end(), uint8_t{0});
      const bool shown = any || owesPicture;
      owesPicture = false;
      if (shown) {
        copies.push_back(virtualNow);
        changed.notify_all();
      }
      return shown;
    };
    h.owesWholePicture = [this] { return owesPicture; };
    h.dispatchEvents = [this] {
      ++dispatches;
      if (keyAtNextDispatch && machine) machine->noteKeyQueued();
      if (markAtNextDispatch) dirty[0] = 1;
      keyAtNextDispatch = markAtNextDispatch = false;
      if (onDispatch) onDispatch();
    };
    h.rest = [this](int ms) {
      std::unique_lock<std::mutex> lock(m);
      ++rests;
      lastRestMs = ms;
      changed.notify_all();
      changed.wait(lock, [this] { return wakePending; });
      wakePending = false;
    };
    h.wake = [this] {
      std::lock_guard<std::mutex> lock(m);
      ++wakes;
      wakePending = true;
      changed.notify_all();
    };
    h.teardown = [this] {
      std::lock_guard<std::mutex> lock(m);
      ++teardowns;
      changed.notify_all();
    };
    h.fault = [this] { ++faults; };
    h.lock = [this] { screenLock.lock(); };
    h.unlock = [this] { screenLock.unlock(); };
    h.visibleFrame = [this](VisibleFrame& frame) {
      if (!hasScreen) return false;
      frame.dirtyRows = std::span<uint8_t>(dirty);
      return true;
    };
    h.rowsDirty = [this] { return hasScreen && anyDirty(); };
    h.now = [this] { return virtualNow; };
    return h;
  }
};

// One turn as a test drives it: time moves on, the program marks rows, then the turn runs.
struct Step {
  int atUs;         // virtual time of the turn, from the start
  bool markBefore;  // the program changed a row before the turn
  bool keyInTurn;   // the window delivers a key during the turn...
  bool markInTurn;  // ...and the program's echo is already drawn when the turn ends
  bool copies;      // the turn shows rows
  int restMs;       // what the turn asks to rest
};

void runSteps(FakeWindow& window, bool presentSucceeds, const std::vector<Step>& steps) {
  window.presentSucceeds = presentSucceeds;
  PresentationThread machine(window.hooks());
  window.machine = &machine;
  const auto start = window.virtualNow;
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    SCOPED_TRACE("step " + std::to_string(i) + " at " + std::to_string(s.atUs) + " us");
    window.virtualNow = start + microseconds(s.atUs);
    if (s.markBefore) window.markRow(3);
    window.keyAtNextDispatch = s.keyInTurn;
    window.markAtNextDispatch = s.markInTurn;
    const size_t copiesBefore = window.copies.size();
    const int presentsBefore = window.presents;
    EXPECT_EQ(machine.turn(), s.restMs);
    if (presentSucceeds)
      EXPECT_EQ(window.copies.size() > copiesBefore, s.copies);
    else
      EXPECT_EQ(window.presents > presentsBefore, s.copies);
  }
}

TEST(PresentationPacing, ChangedRowsAreCopiedAtMostEveryTenMillisecondsExceptAfterAKey) {
  FakeWindow window;
  runSteps(window, true,
           {
               // The first change is copied at once; then nothing waits: the long rest.
               {0, true, false, false, true, 1000},
               // 3.5 ms later: held back, rest until it is 10 ms old, rounded up.
               {3500, true, false, false, false, 7},
               {9999, false, false, false, false, 1},
               {10000, false, false, false, true, 1000},
               // A key whose echo is drawn during the turn: the next turn comes at once...
               {12000, false, true, true, false, 0},
               // ...and copies although the last copy is only 2 ms old.
               {12000, false, false, false, true, 1000},
               // The key is used up: the next change waits for the interval again.
               {13000, true, false, false, false, 9},
               {22000, false, false, false, true, 1000},
               // A key with no echo yet: the thread rests, and the echo drawn later is copied
               // at once when the program's unlock wakes it.
               {23000, false, true, false, false, 1000},
               {24000, true, false, false, true, 1000},
               // Nothing changed: no copy however long the wait.
               {90000, false, false, false, false, 1000},
           });
}

TEST(PresentationPacing, APresentThatFailsWaitsItsIntervalInsteadOfSpinning) {
  FakeWindow window;
  runSteps(window, false,
           {
               {0, true, false, false, true, 10},
               {10000, false, false, false, true, 10},
               // A key's echo gets one try at once, then the interval again.
               {12000, false, true, true, false, 0},
               {12000, false, false, false, true, 10},
               {15000, false, false, false, false, 7},
           });
}

TEST(PresentationPacing, AWindowOwedAWholePictureIsPacedLikeChangedRows) {
  FakeWindow window;
  window.owesPicture = true;
  window.presentSucceeds = false;
  PresentationThread machine(window.hooks());
  EXPECT_EQ(machine.turn(), 10);
  window.virtualNow += milliseconds(4);
  EXPECT_EQ(machine.turn(), 6);
  window.presentSucceeds = true;
  window.virtualNow += milliseconds(6);
  EXPECT_EQ(machine.turn(), 1000);
  EXPECT_EQ(window.copies.size(), 1u);
}

TEST(PresentationPacing, WithoutAScreenNothingIsPresentedAndTheThreadRests) {
  FakeWindow window;
  window.hasScreen = false;
  window.dirty[0] = 1;
  PresentationThread machine(window.hooks());
  EXPECT_EQ(machine.turn(), 1000);
  EXPECT_EQ(window.presents, 0);
  EXPECT_EQ(window.dispatches, 1);  // events are still taken
}

TEST(PresentationStart, TheStartWaitsForTheWindow) {
  struct Case {
    const char* name;
    bool buildResult, buildThrows;
    bool started;
    int teardowns, faults;
  };
  const Case cases[] = {
      {"ready", true, false, true, 1, 0},
      {"build failed", false, false, false, 0, 0},
      {"thread ended before ready", true, true, false, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindow window;
    window.buildResult = c.buildResult;
    window.buildThrows = c.buildThrows;
    PresentationThread machine(window.hooks());
    EXPECT_EQ(machine.start(), c.started);
    EXPECT_EQ(window.builds, 1);
    EXPECT_TRUE(machine.started());
    // A second start is refused while the first thread is not stopped.
    EXPECT_FALSE(machine.start());
    EXPECT_FALSE(machine.stop());
    EXPECT_FALSE(machine.started());
    EXPECT_EQ(window.teardowns, c.teardowns);
    EXPECT_EQ(window.faults, c.faults);
    EXPECT_EQ(window.builds, 1);
  }
}

TEST(PresentationThreadLife, NothingDirtyRestsUntilTheProgramLeavesRowsDirty) {
  FakeWindow window;
  PresentationThread machine(window.hooks());
  ASSERT_TRUE(machine.start());
  ASSERT_TRUE(window.waitFor([&] { return window.rests == 1; }));
  {
    std::lock_guard<std::mutex> lock(window.m);
    EXPECT_EQ(window.lastRestMs, 1000);
    EXPECT_EQ(window.wakes, 0);
  }
  // The program's unlock with nothing dirty leaves the thread resting.
  window.screenLock.lock();
  machine.noteProgramUnlock();
  window.screenLock.unlock();
  // With a row dirty, the same unlock wakes it, and only once.
  window.screenLock.lock();
  window.dirty[2] = 1;
  machine.noteProgramUnlock();
  machine.noteProgramUnlock();
  window.screenLock.unlock();
  ASSERT_TRUE(window.waitFor([&] { return window.rests == 2; }));
  {
    std::lock_guard<std::mutex> lock(window.m);
    EXPECT_EQ(window.wakes, 1);
  }
  {
    std::lock_guard<std::recursive_mutex> guard(window.screenLock);
    EXPECT_EQ(window.copies.size(), 1u);
    EXPECT_FALSE(window.anyDirty());
  }
  EXPECT_FALSE(machine.stop());
  EXPECT_EQ(window.teardowns, 1);
  // One turn at the start and one after the wake-up: no turn without a reason.
  EXPECT_EQ(window.dispatches, 2);
  EXPECT_FALSE(machine.stop());
  EXPECT_EQ(window.teardowns, 1);
}

// Rows changed right after a copy wake the resting thread, which then rests on until the copy
// is due instead of taking a turn of the screen lock that could copy nothing.
TEST(PresentationThreadLife, RowsWokenBeforeTheIntervalWaitForItWithoutATurn) {
  FakeWindow window;
  PresentationThread machine(window.hooks());
  ASSERT_TRUE(machine.start());
  ASSERT_TRUE(window.waitFor([&] { return window.rests == 1; }));
  const auto leaveRowDirty = [&] {
    std::lock_guard<std::recursive_mutex> guard(window.screenLock);
    window.dirty[3] = 1;
    machine.noteProgramUnlock();
  };
  // The first change is copied at once, then the thread rests with nothing to copy.
  leaveRowDirty();
  ASSERT_TRUE(window.waitFor([&] { return window.rests == 2; }));
  // The next change comes at the same moment: the thread rests the interval out.
  leaveRowDirty();
  ASSERT_TRUE(window.waitFor([&] { return window.rests == 3; }));
  {
    std::lock_guard<std::mutex> lock(window.m);
    EXPECT_EQ(window.lastRestMs, 10);
    EXPECT_EQ(window.dispatches, 2);
  }
  // Ten milliseconds later the rest ends by its time: the turn copies the rows.
  {
    std::lock_guard<std::mutex> lock(window.m);
    window.virtualNow += milliseconds(10);
    window.wakePending = true;
    window.changed.notify_all();
  }
  ASSERT_TRUE(window.waitFor([&] { return window.rests == 4; }));
  {
    std::lock_guard<std::recursive_mutex> guard(window.screenLock);
    EXPECT_EQ(window.copies.size(), 2u);
    EXPECT_EQ(window.dispatches, 3);
  }
  EXPECT_FALSE(machine.stop());
}

TEST(PresentationThreadLife, AHookThatThrowsLetsGoOfTheLockAndEnds) {
  FakeWindow window;
  window.onDispatch = [] { throw std::runtime_error("lost terminal"); };
  PresentationThread machine(window.hooks());
  ASSERT_TRUE(machine.start());
  ASSERT_TRUE(window.waitFor([&] { return window.teardowns == 1; }));
  EXPECT_EQ(window.faults, 1);
  // The program can still take the lock: the thread did not keep it.
  std::thread program([&] {
    const bool taken = window.screenLock.try_lock();
    EXPECT_TRUE(taken);
    if (taken) window.screenLock.unlock();
  });
  program.join();
  EXPECT_FALSE(machine.stop());
  EXPECT_EQ(window.teardowns, 1);
}

TEST(PresentationThreadLife, AThreadLostWithItsDisplayIsLetGoByTheStop) {
  // Never destroyed: the let-go thread finishes on its own once released, after the test's
  // scope, and may still be reporting its end while the process exits.
  static FakeWindow& window = *new FakeWindow;
  static std::mutex parkMutex;
  static std::condition_variable parkChanged;
  static bool parked = false, released = false;
  static std::atomic<bool> displayGone{false};
  static PresentationThread& machine = *new PresentationThread(window.hooks());
  window.onDispatch = [] {
    if (!displayGone.load()) return;
    machine.reportLost();
    std::unique_lock<std::mutex> lock(parkMutex);
    parked = true;
    parkChanged.notify_all();
    parkChanged.wait(lock, [] { return released; });
  };
  ASSERT_TRUE(machine.start());
  // The display goes while the thread handles the events of the turn a change woke it for.
  // Set under the lock, so no turn is under way: one that parks holds the lock until released.
  window.screenLock.lock();
  displayGone.store(true);
  window.dirty[0] = 1;
  machine.noteProgramUnlock();
  window.screenLock.unlock();
  {
    std::unique_lock<std::mutex> lock(parkMutex);
    ASSERT_TRUE(parkChanged.wait_for(lock, std::chrono::seconds(5), [] { return parked; }));
  }
  EXPECT_TRUE(machine.stop());
  EXPECT_FALSE(machine.started());
  {
    std::lock_guard<std::mutex> lock(window.m);
    EXPECT_EQ(window.teardowns, 0);
  }
  {
    std::lock_guard<std::mutex> lock(parkMutex);
    released = true;
  }
  parkChanged.notify_all();
  // Released, it sees `running` cleared and tears down.
  EXPECT_TRUE(window.waitFor([&] { return window.teardowns == 1; }));
}
}  // namespace
