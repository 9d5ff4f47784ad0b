#include "screen/keys/key_reads.h"

#include "screen/backend/key_code.h"
#include "screen/screen_state.h"

std::string graphicsReadKey() {
  if (!screenState) return std::string();
  OperationLock lock;
  return keyTextOfCode(screenState->keys.take());
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
