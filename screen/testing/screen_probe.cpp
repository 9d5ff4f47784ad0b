#include "screen/testing/screen_probe.h"

#include "screen/screen_state.h"

ScreenProbe probeScreen() {
  ScreenProbe p;
  const ScreenState* s = screenState;
  if (!s) return p;
  p.record = s;
  p.pageCount = static_cast<int32_t>(s->pages.size());
  p.workPage = s->workPage;
  p.visiblePage = s->visiblePage;
  p.firstPage = s->pages.empty() ? nullptr : s->pages[0].get();
  const auto work = static_cast<size_t>(s->workPage);
  p.workPixels = work < s->pages.size() ? s->pages[work].get() : nullptr;
  if (work < s->cellRecord.size()) p.workCells = s->cellRecord[work];
  p.colourMask = s->colourMask;
  p.foregroundPixel = s->foregroundPixel;
  p.backgroundPixel = s->backgroundPixel;
  p.cursorRow = s->cursorRow;
  p.cursorColumn = s->cursorColumn;
  p.textViewTop = s->textViewTop;
  p.textViewBottom = s->textViewBottom;
  p.scrollOwed = s->scrollOwed;
  p.lastPointX = s->lastPointX;
  p.lastPointY = s->lastPointY;
  p.heldByProgram = s->heldByProgram;
  p.heldByOperation = s->heldByOperation;
  p.palette = s->palette;
  return p;
}

void probeSetLastPoint(float x, float y) {
  if (!screenState) return;
  screenState->lastPointX = x;
  screenState->lastPointY = y;
}

void probeSetClipRegion(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (screenState) screenState->clipRegion = ClipRegion{x, y, width, height};
}

void probeSetBackend(const Backend* backend) {
  if (screenState) screenState->backend = backend;
}
