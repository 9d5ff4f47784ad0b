// The table of graphics modes 1-21: screen size, default depth, row repeat, built-in
// palette and font, text grid. Modes 3-6 do not exist; mode 0 is the text console.
#pragma once
#include <cstdint>

struct ModeInfo {
  int32_t width, height;
  int32_t defaultDepth;
  int32_t rowRepeat;
  int32_t paletteEntries;
  int32_t fontHeight;  // 8, 14 or 16; fonts are 8 wide
  int32_t textColumns, textRows;
};

// Null for modes outside 1..21 and for 3..6.
const ModeInfo* modeInfo(int32_t mode);
