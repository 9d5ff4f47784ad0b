#include "platform/web/web_screen_adapter.h"

#include <algorithm>

#include "screen/screen_state.h"

bool currentFrame(FrameView& frame) {
  ScreenState* s = screenState;
  if (!s || s->pages.empty()) return false;
  frame.pixels = s->visiblePixels();
  frame.pitch = s->pitch;
  frame.width = s->width;
  frame.height = s->height;
  frame.rowRepeat = s->rowRepeat;
  frame.bytesPerPixel = s->bytesPerPixel;
  frame.dirtyRows = s->dirtyRows.data();
  return true;
}

void markWholeFrame() {
  if (ScreenState* s = screenState) std::fill(s->dirtyRows.begin(), s->dirtyRows.end(), uint8_t{1});
}

void putKey(int32_t code) { queueKey(code); }

bool keyQueued() { return screenState && screenState->keys.waiting(); }
