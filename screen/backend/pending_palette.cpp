#include "screen/backend/pending_palette.h"

void PendingPalette::set(int index, int red, int green, int blue) {
  if (index < 0 || index > 255) return;
  std::lock_guard<std::mutex> guard(mutex_);
  entries_[static_cast<size_t>(index)] = static_cast<uint32_t>(red & 0xFF) << 16 |
                                         static_cast<uint32_t>(green & 0xFF) << 8 |
                                         static_cast<uint32_t>(blue & 0xFF);
  changed_ = true;
}

bool PendingPalette::take(std::array<uint32_t, 256>& out) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (!changed_) return false;
  out = entries_;
  changed_ = false;
  return true;
}

std::array<uint32_t, 256> PendingPalette::current() {
  std::lock_guard<std::mutex> guard(mutex_);
  return entries_;
}

void PendingPalette::sendAgain() {
  std::lock_guard<std::mutex> guard(mutex_);
  changed_ = true;
}

void PendingPalette::forget() {
  std::lock_guard<std::mutex> guard(mutex_);
  changed_ = false;
}
