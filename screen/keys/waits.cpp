#include "screen/keys/waits.h"

#include "screen/keys/key_reads.h"
#include "screen/screen_state.h"

void awaitKeyQueued(KeyWaitKind kind) {
  if (!screenState || screenState->keys.waiting()) return;
  const PlatformSeam& seam = platformSeam();
  if (seam.awaitKey) {
    seam.awaitKey(kind);
  } else {
    screenState->keys.awaitKey();
  }
}

std::string graphicsWaitKey() {
  awaitKeyQueued(KeyWaitKind::Other);
  return graphicsReadKey();
}

namespace {
// The key check before each slice of a long pause: consumes only the arrival flag.
bool keyArrivedSinceLastCheck() {
  if (!screenState) return false;
  OperationLock lock;
  return screenState->keys.consumeArrived();
}
}  // namespace

void graphicsPause(int32_t ms) {
  const PlatformSeam& seam = platformSeam();
  if (ms == -1) {
    for (;;) {
      if (keyArrivedSinceLastCheck()) return;
      seam.sleep(50);
    }
  }
  if (ms <= 0) return;
  if (ms < 100) {
    seam.sleep(ms);
    return;
  }
  while (ms > 50) {
    if (keyArrivedSinceLastCheck()) return;
    seam.sleep(50);
    ms -= 50;
  }
  seam.sleep(ms);
}
