// The key queue: a 16-slot ring filled by the presentation thread and read by the program.
// It keeps the newest 15 codes; a condition variable lets waiting code block instead of spin.
#pragma once
#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "screen/backend/key_code.h"

class KeyQueue {
 public:
  // Puts a code in; when full, the oldest code is dropped. Called under screenLock.
  void put(int32_t code);
  // Takes the oldest code out, or 0 when empty; clears keyArrived either way.
  int32_t take();
  bool waiting() const;
  int count() const;
  // Returns keyArrived and clears it (the check before each slice of a long pause).
  bool consumeArrived();
  // Blocks until the queue holds at least one code.
  void awaitKey();
  // Blocks until a code is there or the timeout (ms) passes; true when a code is there.
  bool awaitKeyFor(int ms);
  void reset();

  std::array<int32_t, 16> slots{};
  int writeIndex = 0;
  int readIndex = 0;
  bool keyArrived = false;

 private:
  mutable std::mutex mutex_;
  std::condition_variable arrived_;
};
