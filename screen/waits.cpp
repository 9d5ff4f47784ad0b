#include "screen/waits.h"

#include "screen/graphics_ops.h"
#include "screen/operation_table.h"
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

std::string keyTextOfCode(int32_t code) {
  if (code == 0) return std::string();
  if (code >= 1 && code <= 255) return std::string(1, static_cast<char>(code));
  return std::string{static_cast<char>(0xFF), static_cast<char>((code >> 8) & 0xFF)};
}

int32_t keyCodeOfText(const std::string& keyText) {
  if (keyText.empty()) return 0;
  if (keyText.size() == 1) return static_cast<unsigned char>(keyText[0]);
  return (static_cast<unsigned char>(keyText[1]) << 8) | 0xFF;
}

std::string graphicsReadKey() {
  if (!screenState) return std::string();
  OperationLock lock;
  return keyTextOfCode(screenState->keys.take());
}

std::string graphicsWaitKey() {
  awaitKeyQueued(KeyWaitKind::Other);
  return graphicsReadKey();
}

bool graphicsKeyWaiting() {
  if (!screenState) return false;
  OperationLock lock;
  return screenState->keys.waiting();
}

int32_t graphicsKeyState(int32_t scanCode) {
  if (!screenState || scanCode < 0 || scanCode >= 128) return 0;
  return screenState->keyState[static_cast<size_t>(scanCode)];
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

void beep() { platformSeam().tone(1000, 250); }

int32_t graphicsGetMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons) {
  int bx = 0, by = 0, bw = 0, bb = 0;
  int result = -1;
  if (screenState && screenState->backend && screenState->backend->getMouse)
    result = screenState->backend->getMouse(&bx, &by, &bw, &bb);
  if (x) *x = bx;
  if (y) *y = by;
  if (wheel) *wheel = bw;
  if (buttons) *buttons = bb;
  return result;
}

void graphicsSetMouse(int32_t x, int32_t y, int32_t cursorVisible) {
  if (screenState && screenState->backend && screenState->backend->setMouse)
    screenState->backend->setMouse(x, y, cursorVisible);
}
