// Line, box outline and filled box drawing into the work page, clipped to the clip region.
// Corners arrive as single-precision pixel coordinates and are rounded half away from zero.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "screen/drawing/line_clipping.h"
#include "screen/extended/extended.h"
#include "screen/screen.h"
#include "screen/screen_state.h"

namespace {

using line_clipping::Bounds;
using line_clipping::Points;
constexpr uint32_t kPatternStart = 0x8000;
constexpr uint32_t kSolid = 0xFFFF;

Bounds drawableBounds(const ScreenState& s) {
  const ClipRegion& r = s.clipRegion;
  return {std::max<int64_t>(r.x, 0), std::max<int64_t>(r.y, 0),
          std::min<int64_t>(int64_t{r.x} + r.width - 1, s.width - 1),
          std::min<int64_t>(int64_t{r.y} + r.height - 1, s.height - 1)};
}

void drawBox(ScreenState& s, Points p, const Bounds& b, uint32_t pixel, bool filled) {
  if (p.x1 > p.x2) std::swap(p.x1, p.x2);
  if (p.y1 > p.y2) std::swap(p.y1, p.y2);
  if (p.x2 < b.left || p.y2 < b.top || p.x1 > b.right || p.y1 > b.bottom) return;
  const int xs = static_cast<int>(std::max(p.x1, b.left));
  const int ys = static_cast<int>(std::max(p.y1, b.top));
  const int xe = static_cast<int>(std::min(p.x2, b.right));
  const int ye = static_cast<int>(std::min(p.y2, b.bottom));

  OperationLock lock;
  if (filled) {
    for (int y = ys; y <= ye; ++y) fillSpan(s, y, xs, xe, pixel);
  } else {
    // The side edges stop one row short of ye; the bottom edge, when visible, supplies it.
    if (p.x1 >= b.left) {
      for (int y = ys; y < ye; ++y) setPixel(s, static_cast<int>(p.x1), y, pixel);
    }
    if (p.x2 <= b.right) {
      for (int y = ys; y < ye; ++y) setPixel(s, static_cast<int>(p.x2), y, pixel);
    }
    if (p.y1 >= b.top) fillSpan(s, static_cast<int>(p.y1), xs, xe, pixel);
    if (p.y2 <= b.bottom) fillSpan(s, static_cast<int>(p.y2), xs, xe, pixel);
  }
  s.markRows(ys, ye);
}

uint32_t reverse16(uint32_t v) {
  uint32_t r = 0;
  for (int i = 0; i < 16; ++i) {
    if (v & (1u << i)) r |= 1u << (15 - i);
  }
  return r;
}

// Visits the positions of a clipped line, setting a pixel where the style's bit is on.
class PatternPen {
 public:
  PatternPen(ScreenState& s, uint32_t pixel, uint32_t style)
      : s_(s), pixel_(pixel), style_(style) {}
  // Walking a vertical or horizontal line backwards: the pattern must still begin at the
  // first corner given, so it is reversed and started at the bit that end would have used.
  void reverse(int64_t length) {
    style_ = reverse16(style_);
    mask_ = 1u << static_cast<unsigned>(length % 16);
  }
  uint32_t style() const { return style_; }
  void visit(int64_t x, int64_t y) {
    if (style_ & mask_) setPixel(s_, static_cast<int>(x), static_cast<int>(y), pixel_);
    mask_ = mask_ == 1 ? kPatternStart : mask_ >> 1;
  }

 private:
  ScreenState& s_;
  uint32_t pixel_;
  uint32_t style_;
  uint32_t mask_ = kPatternStart;
};

void bresenham(PatternPen& pen, const Points& p) {
  const int64_t dx = p.x2 > p.x1 ? p.x2 - p.x1 : p.x1 - p.x2;
  const int64_t dy = p.y2 > p.y1 ? p.y2 - p.y1 : p.y1 - p.y2;
  const int64_t sx = p.x2 > p.x1 ? 1 : -1;
  const int64_t sy = p.y2 > p.y1 ? 1 : -1;
  int64_t x = p.x1, y = p.y1;
  if (dx >= dy) {
    int64_t e = 2 * dy - dx;
    for (int64_t i = 0; i <= dx; ++i) {
      pen.visit(x, y);
      if (e >= 0) {  // a tie steps the minor axis
        y += sy;
        e -= 2 * dx;
      }
      x += sx;
      e += 2 * dy;
    }
  } else {
    int64_t e = 2 * dx - dy;
    for (int64_t i = 0; i <= dy; ++i) {
      pen.visit(x, y);
      if (e >= 0) {
        x += sx;
        e -= 2 * dy;
      }
      y += sy;
      e += 2 * dx;
    }
  }
}

void drawSegment(ScreenState& s, Points p, const Bounds& b, uint32_t pixel, uint32_t style) {
  if (!line_clipping::clipLine<Extended>(p, b)) return;
  OperationLock lock;
  PatternPen pen(s, pixel, style);
  if (p.x1 == p.x2) {
    if (p.y1 > p.y2) {
      std::swap(p.y1, p.y2);
      pen.reverse(p.y2 - p.y1);
    }
    if (pen.style() == kSolid) {
      // Only the rows whose pixel changed need copying again.
      const RowRange changed = fillColumn(s, static_cast<int>(p.x1), static_cast<int>(p.y1),
                                          static_cast<int>(p.y2), pixel);
      s.markRows(changed.first, changed.last);
      return;
    }
    for (int64_t y = p.y1; y <= p.y2; ++y) pen.visit(p.x1, y);
  } else if (p.y1 == p.y2) {
    if (p.x1 > p.x2) {
      std::swap(p.x1, p.x2);
      pen.reverse(p.x2 - p.x1);
    }
    if (pen.style() == kSolid) {
      fillSpan(s, static_cast<int>(p.y1), static_cast<int>(p.x1), static_cast<int>(p.x2), pixel);
    } else {
      for (int64_t x = p.x1; x <= p.x2; ++x) pen.visit(x, p.y1);
    }
  } else {
    bresenham(pen, p);
  }
  s.markRows(static_cast<int>(std::min(p.y1, p.y2)), static_cast<int>(std::max(p.y1, p.y2)));
}

}  // namespace

// This program has no off-screen image buffers, so a non-null target is ignored entirely.
// Shapes other than 0, 1 and 2 draw nothing (the corners still update the last point).
void drawLine(void* target, float x1, float y1, float x2, float y2, uint32_t colour, int32_t shape,
              int32_t style, int32_t relative) {
  ScreenState* s = screenState;
  if (s == nullptr || target != nullptr) return;

  const uint32_t pixel = colour == kCurrentForeground
                             ? s->foregroundPixel
                             : colourToPixel(*s, static_cast<int32_t>(colour));
  const uint32_t pattern = static_cast<uint32_t>(style) & kSolid;
  switch (relative) {
    case 1:
      x2 += x1;
      y2 += y1;
      break;
    case 2:
    case 5:
      x1 += s->lastPointX;
      y1 += s->lastPointY;
      break;
    case 3:
      x1 += s->lastPointX;
      y1 += s->lastPointY;
      x2 += x1;
      y2 += y1;
      break;
    default: break;
  }
  s->lastPointX = x2;
  s->lastPointY = y2;

  if (shape < 0 || shape > 2) return;
  // A NaN corner names no point at all, so nothing is drawn; a NaN last point then keeps
  // relative drawing blank until an absolute call sets it again.
  if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return;
  Points p{};
  if (!line_clipping::cornerPoints<Extended>(x1, y1, x2, y2, shape == 0, p)) return;
  p.x1 += s->clipRegion.x;
  p.y1 += s->clipRegion.y;
  p.x2 += s->clipRegion.x;
  p.y2 += s->clipRegion.y;
  const Bounds b = drawableBounds(*s);
  if (b.right < b.left || b.bottom < b.top) return;

  if (shape == 0) {
    drawSegment(*s, p, b, pixel, pattern);
  } else {
    drawBox(*s, p, b, pixel, shape == 2);
  }
}
