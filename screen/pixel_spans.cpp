// Pixel-level helpers shared by the text screen and drawing: span fills of one work-page row
// and the conversion of colour values to pixels of the screen's depth.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "screen/backend/rgb565.h"
#include "screen/pixel_spans.h"

namespace {
// Fills `bytes` bytes (a whole number of pixels) with copies of `pixel`. The C library's wide
// character fill is vectorised the way memset is; a wide character that is larger than the
// pixel is filled with two copies of it, after a lone first pixel when the start is not on
// a wide character's boundary.
template <typename Pixel>
void fillWide(uint8_t* at, size_t bytes, Pixel pixel) {
  if constexpr (sizeof(wchar_t) == sizeof(Pixel)) {
    wchar_t value;
    std::memcpy(&value, &pixel, sizeof value);
    std::wmemset(reinterpret_cast<wchar_t*>(at), value, bytes / sizeof(wchar_t));
  } else if constexpr (sizeof(wchar_t) == 2 * sizeof(Pixel)) {
    if (bytes == 0) return;
    if (reinterpret_cast<uintptr_t>(at) % sizeof(wchar_t) != 0) {
      std::memcpy(at, &pixel, sizeof pixel);
      at += sizeof pixel;
      bytes -= sizeof pixel;
    }
    const Pixel pair[2] = {pixel, pixel};
    wchar_t value;
    std::memcpy(&value, pair, sizeof value);
    std::wmemset(reinterpret_cast<wchar_t*>(at), value, bytes / sizeof(wchar_t));
    if (bytes % sizeof(wchar_t) != 0) std::memcpy(at + bytes - sizeof pixel, &pixel, sizeof pixel);
  } else {
    std::fill_n(reinterpret_cast<Pixel*>(at), bytes / sizeof(Pixel), pixel);
  }
}

// Fills `count` pixels from `first`: memset when every byte of the pixel is the same (black,
// white), else typed stores that the compiler turns into wide ones.
void fillPixels(uint8_t* first, size_t count, int bytesPerPixel, uint32_t pixel) {
  switch (bytesPerPixel) {
    case 2:
      if ((pixel & 0xFF) == ((pixel >> 8) & 0xFF)) {
        std::memset(first, static_cast<int>(pixel & 0xFF), count * 2);
      } else {
        fillWide(first, count * 2, static_cast<uint16_t>(pixel));
      }
      break;
    case 4:
      if (pixel == 0 || pixel == 0xFFFFFFFFu) {
        std::memset(first, static_cast<int>(pixel & 0xFF), count * 4);
      } else {
        fillWide(first, count * 4, pixel);
      }
      break;
    default: std::memset(first, static_cast<int>(pixel & 0xFF), count); break;
  }
}

// The pitch is a power of two, so a column's pixels share a few cache sets and evict each
// other; writing only the pixels that differ keeps the lines clean and lets the reads
// overlap. The table redraws the same column lines over and over, almost all unchanged.
template <typename Pixel>
RowRange writeColumn(uint8_t* at, size_t pitch, int y0, int y1, Pixel value) {
  RowRange changed{y1 + 1, y0 - 1};
  for (int y = y0; y <= y1; ++y, at += pitch) {
    Pixel old;
    std::memcpy(&old, at, sizeof old);
    if (old == value) continue;
    std::memcpy(at, &value, sizeof value);
    changed.first = std::min(changed.first, y);
    changed.last = y;
  }
  return changed;
}
}  // namespace

void fillSpan(const PixelRows& s, int y, int x0, int x1, uint32_t pixel) {
  if (x1 < x0) return;
  fillPixels(s.rows[y] + static_cast<size_t>(x0) * static_cast<size_t>(s.bytesPerPixel),
             static_cast<size_t>(x1 - x0) + 1, s.bytesPerPixel, pixel);
}

void fillRows(const PixelRows& s, int y0, int y1, uint32_t pixel) {
  if (y1 < y0) return;
  // A page's rows are contiguous: one fill covers the band.
  fillPixels(s.rows[y0], static_cast<size_t>(y1 - y0 + 1) * static_cast<size_t>(s.width),
             s.bytesPerPixel, pixel);
}

RowRange fillColumn(const PixelRows& s, int x, int y0, int y1, uint32_t pixel) {
  if (y1 < y0) return RowRange{y0, y1};
  const size_t pitch = static_cast<size_t>(s.pitch);
  uint8_t* at = s.rows[y0] + static_cast<size_t>(x) * static_cast<size_t>(s.bytesPerPixel);
  switch (s.bytesPerPixel) {
    case 2: return writeColumn(at, pitch, y0, y1, static_cast<uint16_t>(pixel));
    case 4: return writeColumn(at, pitch, y0, y1, pixel);
    default: return writeColumn(at, pitch, y0, y1, static_cast<uint8_t>(pixel));
  }
}

uint32_t colourToPixel(int32_t depth, uint32_t colourMask, int32_t colour) {
  // Bits 24 and up are not part of the colour; callers decide what a negative value means.
  const uint32_t rgb = static_cast<uint32_t>(colour) & 0xFFFFFFu;
  if (depth == 16) return rgbTo565(rgb);
  if (depth == 32) return rgb;
  return static_cast<uint32_t>(colour) & colourMask;
}
