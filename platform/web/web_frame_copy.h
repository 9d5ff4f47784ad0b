// Copies the changed rows of the frame into the page's RGBA picture: 5:6:5 pixels expanded
// by bit replication (0x8410 -> 132,130,132) as every other back end shows them.
#pragma once
#include <cstdint>

#include "screen/backend/backend_port.h"
#include "screen/backend/rgb565.h"

// A colour 0xRRGGBB as RGBA bytes in memory order (R, G, B, 255), as a canvas takes them.
constexpr uint32_t rgbaOfRgb(uint32_t rgb) {
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16 | 0xFF000000u;
}
constexpr uint32_t rgbaOf565(uint16_t p) { return rgbaOfRgb(rgb565ToRgb(p)); }

// Converts every displayed row whose flag is set into `rgba` (width pixels a row, height x
// rowRepeat rows), clears the flags, and returns the band that changed. The frame holds
// 5:6:5 (2 bytes a pixel) or 0xRRGGBB (4 bytes) pixels.
RowBand copyDirtyRows(const VisibleFrame& frame, uint32_t* rgba);
