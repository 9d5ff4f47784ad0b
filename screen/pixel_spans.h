// Pixel-level writes on the rows of one page (1, 2 or 4 bytes a pixel), shared by the text
// screen and drawing, and colour values turned into pixels of a depth.
#pragma once
#include <cstddef>
#include <cstdint>

// The rows of one page: row y starts at rows[y]; the rows lie `pitch` bytes apart.
struct PixelRows {
  uint8_t* const* rows = nullptr;
  int32_t bytesPerPixel = 0;
  int32_t pitch = 0;
  int32_t width = 0;
};

// Pixel writes; x ranges are inclusive and already clipped.
void fillSpan(const PixelRows& page, int y, int x0, int x1, uint32_t pixel);
// Fills whole pixel rows y0..y1 (inclusive).
void fillRows(const PixelRows& page, int y0, int y1, uint32_t pixel);
// Sets pixels y0..y1 (inclusive) of column x. Returns the rows whose pixel changed (first >
// last when none did), so that unchanged rows need not be copied again.
struct RowRange {
  int first, last;
};
RowRange fillColumn(const PixelRows& page, int x, int y0, int y1, uint32_t pixel);

inline void setPixel(const PixelRows& page, int x, int y, uint32_t pixel) {
  uint8_t* row = page.rows[y];
  switch (page.bytesPerPixel) {
    case 2: reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(pixel); break;
    case 4: reinterpret_cast<uint32_t*>(row)[x] = pixel; break;
    default: row[x] = static_cast<uint8_t>(pixel); break;
  }
}
inline uint32_t getPixel(const PixelRows& page, int x, int y) {
  const uint8_t* row = page.rows[y];
  switch (page.bytesPerPixel) {
    case 2: return reinterpret_cast<const uint16_t*>(row)[x];
    case 4: return reinterpret_cast<const uint32_t*>(row)[x];
    default: return row[x];
  }
}

// A colour value 0xRRGGBB as a pixel of `depth` bits (5:6:5 at 16; `colourMask` keeps the
// index bits of the palette depths).
uint32_t colourToPixel(int32_t depth, uint32_t colourMask, int32_t colour);
