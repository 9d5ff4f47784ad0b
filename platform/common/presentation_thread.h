// The presentation thread every threaded display back end runs: the start handshake, the turn
// that copies changed rows at a paced rate, the rest while nothing changes, and the stop.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "screen/backend/backend_port.h"

class PresentationThread {
 public:
  using Clock = std::chrono::steady_clock;
  // Changed rows are copied at most this often, except for the first copy after a key.
  static constexpr auto kCopyInterval = std::chrono::milliseconds(10);
  // The longest rest with nothing to copy; a back end that cannot block sleeps less.
  static constexpr int kRestLimitMs = 1000;

  // What a back end supplies. Hooks left empty do nothing (or use the screen port's own).
  struct Hooks {
    // On the new thread, before the first turn: makes the window. False fails the start.
    std::function<bool()> build{};
    // Under the lock at the start of each turn (signals, the program's requests, a switch).
    // False skips the rest of the turn; the thread then rests as if nothing were dirty.
    std::function<bool()> beginTurn{};
    // Copies the flagged rows of `frame` and clears their flags; true when anything was shown.
    std::function<bool(const VisibleFrame& frame)> present{};
    // Whether the window owes a whole picture although no row is flagged.
    std::function<bool()> owesWholePicture{};
    // Whether the window has the input focus; the key state is refreshed only then.
    std::function<bool()> active{};
    std::function<void()> refreshKeyState{};
    // Turns the window's waiting events into queued keys (calling noteKeyQueued for each).
    std::function<void()> dispatchEvents{};
    // Outside the lock at the end of each turn (a terminal writes what `present` encoded).
    std::function<void()> endTurn{};
    // Blocks until `wake` is called, an event arrives or `ms` milliseconds have passed.
    std::function<void(int ms)> rest{};
    std::function<void()> wake{};
    // On the thread after the last turn, without the lock: releases the window.
    std::function<void()> teardown{};
    // On the thread when a hook threw: the turns stop, teardown and the end follow.
    std::function<void()> fault{};

    // The screen as the thread sees it; empty: the screen lock's owner must supply lock and
    // unlock, the others default to the screen port and the steady clock.
    std::function<void()> lock{};
    std::function<void()> unlock{};
    std::function<bool(VisibleFrame& frame)> visibleFrame{};
    std::function<bool()> rowsDirty{};
    std::function<Clock::time_point()> now{};
  };

  explicit PresentationThread(Hooks hooks);
  ~PresentationThread();
  PresentationThread(const PresentationThread&) = delete;
  PresentationThread& operator=(const PresentationThread&) = delete;

  // Program thread. Starts the thread and waits until its window is ready (true), its build
  // failed, or it ended or was lost before being ready (false; `stop` still follows).
  bool start();
  // Program thread. Clears `running`, wakes the thread and waits for its end. A thread lost
  // with its display never ends: it is let go and the result is true ("parked").
  bool stop();
  // Whether a thread was started and not yet stopped.
  bool started() const { return thread_.joinable(); }
  bool running() const { return running_.load(); }

  // Program thread, inside its unlock while it still holds the lock: a thread that rests with
  // nothing to copy is woken when the program leaves rows dirty.
  void noteProgramUnlock();
  // Presentation thread: a key was queued; the next copy of changed rows is not held back.
  void noteKeyQueued() { keyQueuedSinceCopy_ = true; }
  // Presentation thread, when its display has gone: the thread will never end; `start` and
  // `stop` stop waiting for it.
  void reportLost() { report(Readiness::Lost); }

  // One turn of the loop (exposed for tests): returns the milliseconds to rest, 0 for none.
  int turn();

 private:
  enum class Readiness { Waiting, Ready, Failed, Lost, Ended };
  void run();
  void loop();
  void report(Readiness r);
  Clock::time_point now() const;

  Hooks hooks_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  // Set under the screen lock when the thread found nothing to copy and is about to rest.
  std::atomic<bool> resting_{false};
  std::mutex readyMutex_;
  std::condition_variable readyChanged_;
  Readiness readiness_ = Readiness::Waiting;
  bool wasReady_ = false;

  // Presentation thread only.
  bool keyQueuedSinceCopy_ = false;
  bool holdingLock_ = false;
  Clock::time_point lastCopy_{};
};
