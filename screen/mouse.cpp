#include "screen/mouse.h"

#include "screen/screen_state.h"

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
