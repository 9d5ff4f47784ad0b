// The screen services' side of the back ends' port (screen/backend/backend_port.h): the visible
// frame, its changed rows and text cells, the key queue and the key state, read from the screen
// state.
#include "screen/backend/backend_port.h"

#include <algorithm>

#include "screen/screen_state.h"

uint32_t VisibleFrame::pixel(int x, int y) const {
  const uint8_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch);
  switch (bytesPerPixel) {
    case 2: return reinterpret_cast<const uint16_t*>(row)[x];
    case 4: return reinterpret_cast<const uint32_t*>(row)[x];
    default: return row[x];
  }
}

bool visibleFrame(VisibleFrame& frame) {
  ScreenState* s = screenState;
  if (!s || s->pages.empty()) return false;
  frame.pixels = s->visiblePixels();
  frame.pitch = s->pitch;
  frame.width = s->width;
  frame.height = s->height;
  frame.depth = s->depth;
  frame.bytesPerPixel = s->bytesPerPixel;
  frame.rowRepeat = s->rowRepeat > 0 ? s->rowRepeat : 1;
  frame.dirtyRows = std::span<uint8_t>(s->dirtyRows);
  frame.palette = &s->paletteShown;
  frame.textRows = s->textRows;
  frame.textColumns = s->textColumns;
  frame.cellHeight = s->cellHeight;
  frame.font = s->font;
  const auto page = static_cast<size_t>(s->visiblePage);
  frame.cells = page < s->cellRecord.size() ? s->cellRecord[page].data() : nullptr;
  return true;
}

bool textCursor(int32_t& row, int32_t& column) {
  const ScreenState* s = screenState;
  if (!s) return false;
  row = s->cursorRow;
  column = s->cursorColumn;
  return true;
}

RowBand dirtyBand(std::span<const uint8_t> dirtyRows) {
  RowBand band;
  const auto first =
      std::find_if(dirtyRows.begin(), dirtyRows.end(), [](uint8_t f) { return f != 0; });
  if (first == dirtyRows.end()) return band;
  const auto last =
      std::find_if(dirtyRows.rbegin(), dirtyRows.rend(), [](uint8_t f) { return f != 0; });
  band.first = static_cast<int>(first - dirtyRows.begin());
  band.last = static_cast<int>(dirtyRows.rend() - last) - 1;
  return band;
}

RowBand takeDirtyRows(std::span<uint8_t> dirtyRows) {
  const RowBand band = dirtyBand(dirtyRows);
  std::fill(dirtyRows.begin(), dirtyRows.end(), uint8_t{0});
  return band;
}

bool anyRowDirty() {
  const ScreenState* s = screenState;
  return s && std::find(s->dirtyRows.begin(), s->dirtyRows.end(), uint8_t{1}) != s->dirtyRows.end();
}

void markWholeFrame() {
  if (ScreenState* s = screenState) std::fill(s->dirtyRows.begin(), s->dirtyRows.end(), uint8_t{1});
}

void queueKey(int32_t code) {
  if (screenState) screenState->keys.put(code);
}

bool keyQueued() { return screenState && screenState->keys.waiting(); }

int queuedKeyCount() { return screenState ? screenState->keys.count() : 0; }

bool awaitQueuedKey(int ms) { return screenState && screenState->keys.awaitKeyFor(ms); }

std::array<uint8_t, 128>* keyStateArray() { return screenState ? &screenState->keyState : nullptr; }

bool graphicsScreenExists() { return screenState != nullptr; }

const Backend* currentBackend() { return screenState ? screenState->backend : nullptr; }
