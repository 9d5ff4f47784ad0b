#include "screen/backend/key_queue.h"

#include <chrono>

void KeyQueue::put(int32_t code) {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    slots[static_cast<size_t>(writeIndex)] = code;
    writeIndex = (writeIndex + 1) % 16;
    // A full ring drops its oldest code, so the newest 15 remain.
    if (writeIndex == readIndex) readIndex = (writeIndex + 1) % 16;
    keyArrived = true;
  }
  arrived_.notify_all();
}

int32_t KeyQueue::take() {
  std::lock_guard<std::mutex> guard(mutex_);
  int32_t code = 0;
  if (readIndex != writeIndex) {
    code = slots[static_cast<size_t>(readIndex)];
    readIndex = (readIndex + 1) % 16;
  }
  keyArrived = false;
  return code;
}

bool KeyQueue::waiting() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return readIndex != writeIndex;
}

int KeyQueue::count() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return (writeIndex - readIndex + 16) % 16;
}

bool KeyQueue::consumeArrived() {
  std::lock_guard<std::mutex> guard(mutex_);
  bool was = keyArrived;
  keyArrived = false;
  return was;
}

void KeyQueue::awaitKey() {
  std::unique_lock<std::mutex> guard(mutex_);
  arrived_.wait(guard, [this] { return readIndex != writeIndex; });
}

bool KeyQueue::awaitKeyFor(int ms) {
  std::unique_lock<std::mutex> guard(mutex_);
  return arrived_.wait_for(guard, std::chrono::milliseconds(ms),
                           [this] { return readIndex != writeIndex; });
}

void KeyQueue::reset() {
  std::lock_guard<std::mutex> guard(mutex_);
  slots.fill(0);
  writeIndex = 0;
  readIndex = 0;
  keyArrived = false;
}
