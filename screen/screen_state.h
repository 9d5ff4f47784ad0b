// The screen state shared by the text screen, drawing and keys; private to screen/ (back ends
// see it through backend_port.h). Created by the mode set, released by the next mode set or at
// exit.
#pragma once
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "screen/backend/backend.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/key_queue.h"
#include "screen/backend/rgb565.h"
#include "screen/pixel_spans.h"

struct ClipRegion {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

struct ScreenState {
  int32_t mode = 0;
  int32_t width = 0, height = 0;
  int32_t depth = 0;          // 1, 2, 4, 8, 16 or 32
  uint32_t colourMask = 0;    // 0xFFFF at 16 bits
  int32_t bytesPerPixel = 0;  // (depth + 7) / 8, rounded up to 1, 2 or 4
  int32_t pitch = 0;          // bytes per pixel row
  int32_t rowRepeat = 1;
  int32_t flags = 0;
  int32_t refreshRate = 0;

  std::vector<std::unique_ptr<uint8_t[]>> pages;
  int32_t visiblePage = 0;
  int32_t workPage = 0;
  std::vector<uint8_t*> rowAddress;  // of the work page
  std::vector<uint8_t> dirtyRows;    // one byte per displayed pixel row
  std::array<uint32_t, 256> palette{};
  std::array<uint32_t, 256> paletteShown{};
  std::array<uint8_t, 128> keyState{};

  uint32_t foregroundPixel = 0;
  uint32_t backgroundPixel = 0;
  int32_t cursorColumn = 0, cursorRow = 0;  // 0-based
  int32_t textViewTop = 0, textViewBottom = 0;
  bool scrollOwed = false;
  bool cursorVisible = false;
  ClipRegion clipRegion;
  bool graphicsViewSet = false;
  float lastPointX = 0, lastPointY = 0;

  int32_t textColumns = 0, textRows = 0;
  int32_t cellHeight = 16;  // 8, 14 or 16; cells are 8 wide
  const uint8_t* font = nullptr;
  std::vector<std::vector<CellRecord>> cellRecord;  // per page, textRows * textColumns

  bool heldByProgram = false;
  bool heldByOperation = false;

  KeyQueue keys;
  const Backend* backend = nullptr;

  uint8_t* workRow(int y) { return rowAddress[static_cast<size_t>(y)]; }
  PixelRows workRows() const { return PixelRows{rowAddress.data(), bytesPerPixel, pitch, width}; }
  bool workIsVisible() const { return workPage == visiblePage; }
  const uint8_t* visiblePixels() const { return pages[static_cast<size_t>(visiblePage)].get(); }
  CellRecord& cell(int row, int column) {
    return cellRecord[static_cast<size_t>(workPage)]
                     [static_cast<size_t>(row) * static_cast<size_t>(textColumns) +
                      static_cast<size_t>(column)];
  }
  // Marks displayed rows for the pixel rows first..last (inclusive) of the frame.
  void markRows(int first, int last) {
    if (!workIsVisible()) return;
    if (first < 0) first = 0;
    if (last >= height) last = height - 1;
    if (first > last) return;
    std::memset(dirtyRows.data() + static_cast<size_t>(first) * static_cast<size_t>(rowRepeat), 1,
                static_cast<size_t>(last - first + 1) * static_cast<size_t>(rowRepeat));
  }
};

// The current graphics screen, or null when none exists.
extern ScreenState* screenState;

// The pixel writes of pixel_spans.h on the work page, and colours as pixels of the screen's depth.
inline void fillSpan(ScreenState& s, int y, int x0, int x1, uint32_t pixel) {
  fillSpan(s.workRows(), y, x0, x1, pixel);
}
inline void fillRows(ScreenState& s, int y0, int y1, uint32_t pixel) {
  fillRows(s.workRows(), y0, y1, pixel);
}
inline RowRange fillColumn(ScreenState& s, int x, int y0, int y1, uint32_t pixel) {
  return fillColumn(s.workRows(), x, y0, y1, pixel);
}
inline void setPixel(ScreenState& s, int x, int y, uint32_t pixel) {
  setPixel(s.workRows(), x, y, pixel);
}
inline uint32_t colourToPixel(const ScreenState& s, int32_t colour) {
  return colourToPixel(s.depth, s.colourMask, colour);
}

// The screen lock taken by one operation, with the nesting rule: it locks only when neither
// the program nor another operation holds it, and unlocks only what it locked.
class OperationLock {
 public:
  OperationLock();
  ~OperationLock();
  OperationLock(const OperationLock&) = delete;
  OperationLock& operator=(const OperationLock&) = delete;

 private:
  bool took_ = false;
};
