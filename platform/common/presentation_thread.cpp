#include "platform/common/presentation_thread.h"

#include <algorithm>

namespace {
template <typename F, typename... Args>
void callIfSet(const F& f, Args&&... args) {
  if (f) f(std::forward<Args>(args)...);
}
}  // namespace

PresentationThread::PresentationThread(Hooks hooks) : hooks_(std::move(hooks)) {
  if (!hooks_.visibleFrame) hooks_.visibleFrame = [](VisibleFrame& f) { return visibleFrame(f); };
  if (!hooks_.rowsDirty) hooks_.rowsDirty = anyRowDirty;
}

PresentationThread::~PresentationThread() {
  // A parked thread was let go by stop; one still running is stopped here.
  if (thread_.joinable()) stop();
}

PresentationThread::Clock::time_point PresentationThread::now() const {
  return hooks_.now ? hooks_.now() : Clock::now();
}

// Notified under the mutex: a thread that ends the process after seeing the report cannot
// destroy the condition variable while this one still uses it.
void PresentationThread::report(Readiness r) {
  std::lock_guard<std::mutex> guard(readyMutex_);
  readiness_ = r;
  if (r == Readiness::Ready) wasReady_ = true;
  readyChanged_.notify_all();
}

bool PresentationThread::start() {
  if (thread_.joinable()) return false;
  {
    std::lock_guard<std::mutex> guard(readyMutex_);
    readiness_ = Readiness::Waiting;
    wasReady_ = false;
  }
  keyQueuedSinceCopy_ = false;
  resting_.store(false);
  running_.store(true);
  thread_ = std::thread([this] { run(); });
  std::unique_lock<std::mutex> wait(readyMutex_);
  readyChanged_.wait(wait, [this] { return readiness_ != Readiness::Waiting; });
  // A window that was ready counts even when the thread ended or was lost right after.
  return wasReady_;
}

bool PresentationThread::stop() {
  running_.store(false);
  callIfSet(hooks_.wake);
  if (!thread_.joinable()) return false;
  if (thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();
    return false;
  }
  // A thread parked after its display was lost (before or during this wait) never returns.
  std::unique_lock<std::mutex> wait(readyMutex_);
  readyChanged_.wait(wait, [this] {
    return readiness_ == Readiness::Ended || readiness_ == Readiness::Failed ||
           readiness_ == Readiness::Lost;
  });
  const bool parked = readiness_ == Readiness::Lost;
  wait.unlock();
  if (parked)
    thread_.detach();
  else
    thread_.join();
  return parked;
}

void PresentationThread::noteProgramUnlock() {
  if (resting_.load(std::memory_order_relaxed) && hooks_.rowsDirty()) {
    resting_.store(false, std::memory_order_relaxed);
    callIfSet(hooks_.wake);
  }
}

void PresentationThread::run() {
  try {
    if (hooks_.build && !hooks_.build()) {
      report(Readiness::Failed);
      return;
    }
  } catch (...) {
    callIfSet(hooks_.fault);
    report(Readiness::Ended);
    return;
  }
  // The first copy is never held back.
  lastCopy_ = now() - kCopyInterval;
  report(Readiness::Ready);
  try {
    loop();
  } catch (...) {
    // The presentation cannot go on; the lock is let go so the program is not held up.
    if (holdingLock_) {
      holdingLock_ = false;
      callIfSet(hooks_.unlock);
    }
    callIfSet(hooks_.fault);
  }
  resting_.store(false);
  callIfSet(hooks_.teardown);
  report(Readiness::Ended);
}

void PresentationThread::loop() {
  while (running_.load()) {
    const int restMs = turn();
    if (!running_.load()) break;
    if (restMs <= 0) continue;
    callIfSet(hooks_.rest, restMs);
    // Woken by the program's rows (it cleared `resting_`) before the last copy is 10 ms old:
    // the rows wait for the interval anyway, so the thread rests on until then rather than
    // take a turn of the screen lock that copies nothing and holds up the program's drawing.
    // A window event or a signal still ends this rest; an echo is never held back.
    if (restMs == kRestLimitMs && !resting_.load(std::memory_order_relaxed) &&
        !keyQueuedSinceCopy_ && running_.load()) {
      const auto due = lastCopy_ + kCopyInterval - now();
      const auto us = std::chrono::duration_cast<std::chrono::microseconds>(due).count();
      if (us > 0) callIfSet(hooks_.rest, static_cast<int>((us + 999) / 1000));
    }
  }
}

int PresentationThread::turn() {
  callIfSet(hooks_.lock);
  holdingLock_ = true;
  resting_.store(false, std::memory_order_relaxed);
  bool rowsWaiting = false, echoWaiting = false;
  if (!hooks_.beginTurn || hooks_.beginTurn()) {
    if (VisibleFrame frame; hooks_.visibleFrame(frame)) {
      const auto at = now();
      const bool dirty = hooks_.rowsDirty();
      const bool pending = dirty || (hooks_.owesWholePicture && hooks_.owesWholePicture());
      const bool echo = keyQueuedSinceCopy_ && dirty;
      if (echo || at - lastCopy_ >= kCopyInterval) {
        const bool copied = hooks_.present ? hooks_.present(frame) : false;
        // A copy that fails waits its interval like one that succeeds, so it cannot spin;
        // a turn with nothing to copy does not delay the next change.
        if (copied || pending) lastCopy_ = at;
        // Cleared after one try with rows to copy, for the same reason.
        if (echo) keyQueuedSinceCopy_ = false;
      }
      if (hooks_.refreshKeyState && (!hooks_.active || hooks_.active())) hooks_.refreshKeyState();
    }
    callIfSet(hooks_.dispatchEvents);
    if (VisibleFrame frame; hooks_.visibleFrame(frame)) {
      const bool dirty = hooks_.rowsDirty();
      rowsWaiting = dirty || (hooks_.owesWholePicture && hooks_.owesWholePicture());
      echoWaiting = keyQueuedSinceCopy_ && dirty;
    }
  }
  if (!rowsWaiting) resting_.store(true, std::memory_order_relaxed);
  holdingLock_ = false;
  callIfSet(hooks_.unlock);
  callIfSet(hooks_.endTurn);
  // The first copy after a key comes at the next turn, without a rest.
  if (echoWaiting) return 0;
  if (!rowsWaiting) return kRestLimitMs;
  const auto due = lastCopy_ + kCopyInterval - now();
  // Whole milliseconds, rounded up, so the copy is never early.
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(due).count();
  return static_cast<int>(std::max<long long>(0, (us + 999) / 1000));
}
