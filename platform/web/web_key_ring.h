// The key presses the page writes into memory while the program is suspended, and their hand
// over to the key queue when the program resumes: the page never calls into the program.
#pragma once
#include <array>
#include <cstdint>

#include "platform/web/web_key_events.h"

// The layout the page writes; keep it in step with the page's script. The page bumps
// `written` after filling a slot and, when the ring is full, bumps `read` to drop the oldest.
struct WebKeyRing {
  static constexpr uint32_t kSlots = 64;
  uint32_t written = 0;
  uint32_t read = 0;
  std::array<WebKeyEvent, kSlots> slots{};
};

// Translates every press waiting in the ring, oldest first, into codes for the sink.
// Returns the number of presses taken.
int drainKeyRing(WebKeyRing& ring, const WebKeySink& sink);
