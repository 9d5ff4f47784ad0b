// The pipe that wakes a resting presentation thread: a byte written by the program thread or
// a signal handler makes the thread's poll on the read end return.
#pragma once

class WakePipe {
 public:
  // Opens a non-blocking pipe unless one is open; false when none can be made.
  bool open();
  void close();
  // Writes one byte (safe in a signal handler); nothing when closed.
  void wake() const;
  // Reads whatever bytes are waiting.
  void drain() const;
  // Blocks until a byte arrives (then drained), `other` is readable (when >= 0) or `ms`
  // milliseconds have passed. True when `other` became readable.
  bool rest(int ms, int other = -1) const;
  int readEnd() const { return ends_[0]; }
  int writeEnd() const { return ends_[1]; }

 private:
  int ends_[2] = {-1, -1};
};
