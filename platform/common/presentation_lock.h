// The screen lock a threaded back end's record and its presentation thread share: recursive,
// counting each thread's holds, and waking a resting presentation thread when the program leaves.
#pragma once
#include <functional>
#include <mutex>

class PresentationLock {
 public:
  // `programLeft` runs when the program thread leaves the lock while still holding it, before
  // the unlock (the presentation thread notes the rows it may now copy).
  explicit PresentationLock(std::function<void()> programLeft)
      : programLeft_(std::move(programLeft)) {}

  // Either thread.
  void lock();
  // The program thread's unlock (the back end record's): tells the presentation thread.
  void unlockByProgram();
  // The presentation thread's own unlock.
  void unlock();
  // Lets go of every hold of the calling thread (a thread whose display has gone).
  void releaseHeld();

 private:
  std::recursive_mutex mutex_;
  std::function<void()> programLeft_;
  static thread_local int held_;
};
