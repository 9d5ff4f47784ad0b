// Helpers shared by the fuzz targets: a reader that takes typed values off the fuzzer's
// bytes, and the 1024x768 Null-back-end screen with a seam that never really waits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// A failed check: a crash the fuzzer reports; the regression test turns it into an exception.
#ifndef FUZZ_FAIL
#define FUZZ_FAIL() __builtin_trap()
#endif

#include "screen/backend/backend.h"
#include "screen/backend/platform_seam.h"
#include "screen/screen.h"

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool empty() const { return used_ >= size_; }
  size_t left() const { return size_ - used_; }

  // A value from the next sizeof(T) bytes, zero-filled when the input runs out.
  template <typename T>
  T take() {
    T value{};
    const size_t n = left() < sizeof(T) ? left() : sizeof(T);
    if (n > 0) std::memcpy(&value, data_ + used_, n);
    used_ += n;
    return value;
  }
  // Up to `count` of the next bytes as text.
  std::string_view text(size_t count) {
    if (count > left()) count = left();
    const std::string_view view(reinterpret_cast<const char*>(data_ + used_), count);
    used_ += count;
    return view;
  }
  std::string_view rest() { return text(left()); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t used_ = 0;
};

// Sets the screen once per process; later calls only return. The seam's sleep and tone
// return at once, so a beep in the input costs no time; `onSleep` (when set) runs at every
// sleep and key wait, which is where a target hands the program more keys.
inline void (*onFuzzSleep)() = nullptr;

inline void prepareFuzzScreen() {
  static const bool ready = [] {
    startServices(0, nullptr);
    PlatformSeam seam = defaultPlatformSeam();
    seam.sleep = [](int) {
      if (onFuzzSleep) onFuzzSleep();
    };
    seam.tone = [](int, int) {};
    seam.awaitKey = [](KeyWaitKind) {
      if (onFuzzSleep) onFuzzSleep();
    };
    installPlatformSeam(seam);
    setScreenMode(20, 16, 1, kFlagNullBackend, 0);
    return frameBuffer() != nullptr;
  }();
  if (!ready) FUZZ_FAIL();
}
