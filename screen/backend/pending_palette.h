// The palette entries a back end has been given and not yet sent to its display: set by the
// program thread, taken by the presentation thread, each side under the record's own mutex.
#pragma once
#include <array>
#include <cstdint>
#include <mutex>

class PendingPalette {
 public:
  // Records entry `index` (0 to 255; others are ignored) as 0xRRGGBB from the low bytes.
  void set(int index, int red, int green, int blue);
  // Copies the palette into `out` and returns true when anything was set since the last take.
  bool take(std::array<uint32_t, 256>& out);
  // The whole palette as it stands, whether or not it waits.
  std::array<uint32_t, 256> current();
  // The whole palette waits to be sent again (a new display), or nothing waits (a new screen).
  void sendAgain();
  void forget();

 private:
  std::mutex mutex_;
  std::array<uint32_t, 256> entries_{};
  bool changed_ = false;
};
