// Copies the changed rows of the frame into the page's RGBA picture: 5:6:5 pixels expanded
// by bit replication (0x8410 -> 132,130,132) as every other back end shows them.
#pragma once
#include <cstdint>

#include "screen/rgb565.h"

// The visible frame as the presentation sees it (filled by the screen adapter).
struct FrameView {
  const uint8_t* pixels = nullptr;  // the visible page
  int pitch = 0;                    // bytes per frame row
  int width = 0;
  int height = 0;                   // frame rows
  int rowRepeat = 1;                // displayed rows per frame row
  int bytesPerPixel = 2;            // 2 (5:6:5) or 4 (0xRRGGBB)
  uint8_t* dirtyRows = nullptr;     // one flag per displayed row
};

// Displayed rows first..last, inclusive; first > last when nothing was copied.
struct RowBand {
  int first = 0;
  int last = -1;
  bool empty() const { return first > last; }
};

// A colour 0xRRGGBB as RGBA bytes in memory order (R, G, B, 255), as a canvas takes them.
constexpr uint32_t rgbaOfRgb(uint32_t rgb) {
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16 | 0xFF000000u;
}
constexpr uint32_t rgbaOf565(uint16_t p) { return rgbaOfRgb(rgb565ToRgb(p)); }

// Converts every displayed row whose flag is set into `rgba` (width pixels a row, height x
// rowRepeat rows), clears the flags, and returns the band that changed.
RowBand copyDirtyRows(const FrameView& frame, uint32_t* rgba);
