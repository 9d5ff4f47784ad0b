#include "platform/web/web_frame_copy.h"

#include <cstring>

namespace {
void convertRow(const VisibleFrame& frame, const uint8_t* source, uint32_t* target) {
  const auto n = static_cast<size_t>(frame.width);
  if (frame.bytesPerPixel == 2) {
    for (size_t x = 0; x < n; ++x) {
      uint16_t p;
      std::memcpy(&p, source + 2 * x, 2);
      target[x] = rgbaOf565(p);
    }
    return;
  }
  for (size_t x = 0; x < n; ++x) {
    uint32_t rgb;
    std::memcpy(&rgb, source + 4 * x, 4);
    target[x] = rgbaOfRgb(rgb);
  }
}
}  // namespace

RowBand copyDirtyRows(const VisibleFrame& frame, uint32_t* rgba) {
  RowBand band{frame.height * frame.rowRepeat, -1};
  const int shown = frame.height * frame.rowRepeat;
  for (int row = 0; row < shown; ++row) {
    if (!frame.dirtyRows[row]) continue;
    frame.dirtyRows[row] = 0;
    convertRow(frame, frame.displayedRow(row),
               rgba + static_cast<size_t>(row) * static_cast<size_t>(frame.width));
    if (row < band.first) band.first = row;
    band.last = row;
  }
  return band;
}
