// Pixel-level helpers shared by the text screen and drawing: span fills of one work-page row
// and the conversion of colour values to pixels of the screen's depth.
#include <algorithm>

#include "screen/screen_state.h"

void fillSpan(ScreenState& s, int y, int x0, int x1, uint32_t pixel) {
  if (x1 < x0) return;
  uint8_t* row = s.workRow(y);
  const auto count = static_cast<size_t>(x1 - x0) + 1;
  const auto first = static_cast<size_t>(x0);
  // Typed fills let the compiler vectorise; this runs for every glyph row, clear and box row.
  switch (s.bytesPerPixel) {
    case 2:
      std::fill_n(reinterpret_cast<uint16_t*>(row) + first, count, static_cast<uint16_t>(pixel));
      break;
    case 4:
      std::fill_n(reinterpret_cast<uint32_t*>(row) + first, count, pixel);
      break;
    default:
      std::fill_n(row + first, count, static_cast<uint8_t>(pixel));
      break;
  }
}

uint32_t colourToPixel(const ScreenState& s, int32_t colour) {
  // Bits 24 and up are not part of the colour; callers decide what a negative value means.
  const uint32_t rgb = static_cast<uint32_t>(colour) & 0xFFFFFFu;
  if (s.depth == 16) return rgbTo565(rgb);
  if (s.depth == 32) return rgb;
  return static_cast<uint32_t>(colour) & s.colourMask;
}
