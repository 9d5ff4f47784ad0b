#include "screen/screen.h"
#include "screen/screen_state.h"

namespace {
void backendLock(ScreenState& s) {
  if (s.backend && s.backend->lock) s.backend->lock();
}
void backendUnlock(ScreenState& s) {
  if (s.backend && s.backend->unlock) s.backend->unlock();
}
}  // namespace

OperationLock::OperationLock() {
  ScreenState* s = screenState;
  if (!s || s->heldByProgram || s->heldByOperation) return;
  backendLock(*s);
  s->heldByProgram = true;
  s->heldByOperation = true;
  took_ = true;
}

OperationLock::~OperationLock() {
  ScreenState* s = screenState;
  if (!took_ || !s || !s->heldByOperation) return;
  s->heldByProgram = false;
  s->heldByOperation = false;
  backendUnlock(*s);
}

void lockScreen() {
  ScreenState* s = screenState;
  if (!s || s->heldByProgram) return;
  backendLock(*s);
  s->heldByProgram = true;
}

void unlockScreen(int32_t firstRow, int32_t lastRow) {
  ScreenState* s = screenState;
  if (!s) return;
  s->markRows(firstRow < 0 ? 0 : firstRow, lastRow < 0 ? s->height - 1 : lastRow);
  if (!s->heldByProgram) return;
  s->heldByProgram = false;
  s->heldByOperation = false;
  backendUnlock(*s);
}
