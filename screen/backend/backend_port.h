// What a display back end sees of the current graphics screen: the visible frame with its
// changed-row flags and text cells, the key queue and the key-state array. Under the screen lock.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "screen/backend/backend.h"
#include "screen/backend/key_code.h"  // the codes the key sink takes

// One text cell as it was painted: its character and its two colours as pixels.
struct CellRecord {
  uint16_t character = 32;
  uint32_t foreground = 0;
  uint32_t background = 0;
};

// The visible page as a back end presents it; valid until the lock is released.
struct VisibleFrame {
  const uint8_t* pixels = nullptr;  // `height` rows of `pitch` bytes
  int32_t pitch = 0;
  int32_t width = 0;
  int32_t height = 0;  // frame rows
  int32_t depth = 0;   // 1 to 8 index `palette`; 16 is 5:6:5; 32 is 0xRRGGBB
  int32_t bytesPerPixel = 0;
  int32_t rowRepeat = 1;                               // displayed rows per frame row
  std::span<uint8_t> dirtyRows;                        // one flag per displayed row
  const std::array<uint32_t, 256>* palette = nullptr;  // 0xRRGGBB of each index as shown
  // The text grid of the visible page, for back ends that show characters.
  int32_t textRows = 0, textColumns = 0;
  int32_t cellHeight = 16;
  const uint8_t* font = nullptr;  // cellHeight bytes per character, or null
  const CellRecord* cells = nullptr;

  // The frame row shown on displayed row `row` (0 <= row < height x rowRepeat).
  const uint8_t* displayedRow(int row) const {
    return pixels + static_cast<size_t>(row / rowRepeat) * static_cast<size_t>(pitch);
  }
  uint32_t pixel(int x, int y) const;
  const CellRecord& cell(int row, int column) const {
    return cells[static_cast<size_t>(row) * static_cast<size_t>(textColumns) +
                 static_cast<size_t>(column)];
  }
};

// Fills `frame` from the current graphics screen; false when none exists.
bool visibleFrame(VisibleFrame& frame);

// Program thread only (the program moves the cursor without the screen lock): the text
// cursor's cell, 0-based; false without a graphics screen. The page reads it for its text.
bool textCursor(int32_t& row, int32_t& column);

// Displayed rows first..last, inclusive; empty when first > last.
struct RowBand {
  int first = 0;
  int last = -1;
  bool empty() const { return first > last; }
};
// The band from the first to the last flagged row.
RowBand dirtyBand(std::span<const uint8_t> dirtyRows);
// Takes the changed rows: returns their band and clears every flag.
RowBand takeDirtyRows(std::span<uint8_t> dirtyRows);
// Whether any displayed row of the current screen waits to be copied.
bool anyRowDirty();
// Marks every displayed row of the current screen, so the next copy redraws the whole picture.
void markWholeFrame();

// Puts a key code into the current screen's queue (nothing without a screen).
void queueKey(int32_t code);
// Whether the current screen's key queue holds a key, and how many (0 without a screen): a
// feeder of keys keeps within the queue's room.
bool keyQueued();
int queuedKeyCount();
// Waits up to `ms` for a key in the current screen's queue; false at once without a screen.
bool awaitQueuedKey(int ms);
// The key-state array (one flag per scan code) to fill; null without a screen.
std::array<uint8_t, 128>* keyStateArray();

// Whether a graphics screen exists, and the back end that presents it (null when none).
bool graphicsScreenExists();
const Backend* currentBackend();
