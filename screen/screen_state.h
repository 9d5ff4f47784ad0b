// The screen state shared by the text screen, drawing, keys and the back ends.
// Created by the mode set, released by the next mode set or by the exit handler.
#pragma once
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "screen/backend.h"
#include "screen/key_queue.h"
#include "screen/rgb565.h"

struct CellRecord {
  uint16_t character = 32;
  uint32_t foreground = 0;
  uint32_t background = 0;
};

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

// Pixel writes for the frame's depth. x ranges are inclusive and already clipped.
void fillSpan(ScreenState& s, int y, int x0, int x1, uint32_t pixel);
// Fills whole pixel rows y0..y1 (inclusive) of the work page.
void fillRows(ScreenState& s, int y0, int y1, uint32_t pixel);
// Sets pixels y0..y1 (inclusive) of column x of the work page. Returns the rows whose pixel
// changed (first > last when none did), so that unchanged rows need not be copied again.
struct RowRange {
  int first, last;
};
RowRange fillColumn(ScreenState& s, int x, int y0, int y1, uint32_t pixel);
inline void setPixel(ScreenState& s, int x, int y, uint32_t pixel) {
  uint8_t* row = s.workRow(y);
  switch (s.bytesPerPixel) {
    case 2: reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(pixel); break;
    case 4: reinterpret_cast<uint32_t*>(row)[x] = pixel; break;
    default: row[x] = static_cast<uint8_t>(pixel); break;
  }
}
inline uint32_t getPixel(const ScreenState& s, const uint8_t* page, int x, int y) {
  const uint8_t* row = page + static_cast<size_t>(y) * static_cast<size_t>(s.pitch);
  switch (s.bytesPerPixel) {
    case 2: return reinterpret_cast<const uint16_t*>(row)[x];
    case 4: return reinterpret_cast<const uint32_t*>(row)[x];
    default: return row[x];
  }
}

// Converts a colour value 0xRRGGBB to a pixel of the screen's depth (5:6:5 at 16 bits).
uint32_t colourToPixel(const ScreenState& s, int32_t colour);

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

// Puts a key code into the current screen's queue (back ends, under the screen lock).
void queueKey(int32_t code);
