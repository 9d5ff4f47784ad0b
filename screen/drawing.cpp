// Line, box outline and filled box drawing into the work page, clipped to the clip region.
// Corners arrive as single-precision pixel coordinates and are rounded half away from zero.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "screen/screen.h"
#include "screen/screen_state.h"

namespace {

// Coordinates are brought within ±kGuard before they become integers. The guard lies far
// beyond any clip region, so a point moved onto it clips exactly like the far-away point it
// stands for, and the clipping products (about 2^25 · 2^25 at most) stay exact in 64 bits.
constexpr long double kGuard = 16777216.0L;  // 2^24
// Outcode clipping needs at most four moves; truncation may add a few. The bound only
// matters if the arithmetic ever oscillates, and then nothing is drawn.
constexpr int kMaxClipSteps = 16;
constexpr uint32_t kPatternStart = 0x8000;
constexpr uint32_t kSolid = 0xFFFF;

struct Corners {
  long double x1, y1, x2, y2;
};
struct Points {
  int64_t x1, y1, x2, y2;
};
// The drawable area, inclusive: the clip region within the frame.
struct Bounds {
  int64_t left, top, right, bottom;
};

long double clampToGuard(long double v) { return std::clamp(v, -kGuard, kGuard); }

// Infinities become the largest finite single-precision value so that the geometry below
// stays finite; they then clip like any other far-away point.
long double finiteCoordinate(float v) {
  constexpr long double kMax = std::numeric_limits<float>::max();
  if (std::isinf(v)) return v > 0 ? kMax : -kMax;
  return v;
}

// Boxes are axis-aligned, so clamping each coordinate on its own cannot change what survives
// the clipping.
void guardBox(Corners& c) {
  c.x1 = clampToGuard(c.x1);
  c.y1 = clampToGuard(c.y1);
  c.x2 = clampToGuard(c.x2);
  c.y2 = clampToGuard(c.y2);
}

// Cuts a line to the guard square without turning it. The parameter form finds which edges
// cut it; the points themselves come from the line's implicit form dy·x − dx·y = cross. With
// a 64-bit significand its products of single-precision values are exact, so even ends near
// 1e38 give points on the true line. Returns false when the line misses the square (and so
// the screen).
bool guardLine(Corners& c) {
  auto inside = [](long double v) { return v >= -kGuard && v <= kGuard; };
  if (inside(c.x1) && inside(c.y1) && inside(c.x2) && inside(c.y2)) return true;
  const long double dx = c.x2 - c.x1;
  const long double dy = c.y2 - c.y1;
  const long double cross = c.x1 * c.y2 - c.x2 * c.y1;
  struct Edge {
    long double p, q;
    int side;  // 1 x = −G, 2 x = +G, 3 y = −G, 4 y = +G
  };
  const Edge edges[] = {{-dx, c.x1 + kGuard, 1},
                        {dx, kGuard - c.x1, 2},
                        {-dy, c.y1 + kGuard, 3},
                        {dy, kGuard - c.y1, 4}};
  long double t0 = 0, t1 = 1;
  int side0 = 0, side1 = 0;
  for (const Edge& e : edges) {
    if (e.p == 0) {
      if (e.q < 0) return false;
      continue;
    }
    const long double r = e.q / e.p;
    if (e.p < 0 && r > t0) {
      t0 = r;
      side0 = e.side;
    } else if (e.p > 0 && r < t1) {
      t1 = r;
      side1 = e.side;
    }
  }
  if (t0 > t1) return false;
  auto pointOn = [&](int side, long double& x, long double& y) {
    if (side == 1 || side == 2) {
      x = side == 1 ? -kGuard : kGuard;
      y = (dy * x - cross) / dx;
    } else {
      y = side == 3 ? -kGuard : kGuard;
      x = (cross + dx * y) / dy;
    }
  };
  if (side0 != 0) pointOn(side0, c.x1, c.y1);
  if (side1 != 0) pointOn(side1, c.x2, c.y2);
  guardBox(c);  // rounding may leave a point a hair beyond the square
  return true;
}

// Half away from zero: 957.5 → 958, −0.5 → −1, 0.49 → 0.
int64_t roundAway(long double v) {
  const long double shifted = v > 0 ? v + 0.5L : v - 0.5L;
  // A truncating long double conversion switches the x87 control word twice, which costs
  // more than the rest of a short line. Coordinates that came from floats are exact in
  // double, whose conversion does not; anything else takes the long double way.
  const auto narrow = static_cast<double>(shifted);
  if (static_cast<long double>(narrow) == shifted) return static_cast<int64_t>(narrow);
  return static_cast<int64_t>(shifted);
}

// The usual corner: finite and within the guard, where nothing needs cutting and a float
// plus or minus one half is exact in double (a float below 2^-29 in size rounds to zero
// either way), so the rounding matches the long double one without its cost.
bool withinGuard(float v) {
  return v >= -static_cast<float>(kGuard) && v <= static_cast<float>(kGuard);
}
int64_t roundAwayNear(float v) {
  const double d = v;
  return static_cast<int64_t>(d > 0 ? d + 0.5 : d - 0.5);
}

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

int outcode(int64_t x, int64_t y, const Bounds& b) {
  int code = 0;
  if (x < b.left) {
    code |= 1;
  } else if (x > b.right) {
    code |= 2;
  }
  if (y < b.top) {
    code |= 8;
  } else if (y > b.bottom) {
    code |= 4;
  }
  return code;
}

// Outcode clipping; the end outside always moves first, so the ends may come back swapped.
bool clipLine(Points& p, const Bounds& b) {
  for (int step = 0; step < kMaxClipSteps; ++step) {
    int code1 = outcode(p.x1, p.y1, b);
    const int code2 = outcode(p.x2, p.y2, b);
    if ((code1 | code2) == 0) return true;
    if ((code1 & code2) != 0) return false;
    if (code1 == 0) {
      std::swap(p.x1, p.x2);
      std::swap(p.y1, p.y2);
      code1 = code2;
    }
    const long double m = p.x1 == p.x2 ? 1.0L
                                        : static_cast<long double>(p.y2 - p.y1) /
                                              static_cast<long double>(p.x2 - p.x1);
    const auto along = [](int64_t from, long double delta) {
      return static_cast<int64_t>(static_cast<long double>(from) + delta);  // toward zero
    };
    if (code1 & 1) {
      p.y1 = along(p.y1, m * static_cast<long double>(b.left - p.x1));
      p.x1 = b.left;
    } else if (code1 & 2) {
      p.y1 = along(p.y1, m * static_cast<long double>(b.right - p.x1));
      p.x1 = b.right;
    } else if (code1 & 8) {
      if (p.x1 != p.x2) p.x1 = along(p.x1, (1.0L / m) * static_cast<long double>(b.top - p.y1));
      p.y1 = b.top;
    } else {
      if (p.x1 != p.x2) {
        p.x1 = along(p.x1, (1.0L / m) * static_cast<long double>(b.bottom - p.y1));
      }
      p.y1 = b.bottom;
    }
  }
  return false;
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
  if (!clipLine(p, b)) return;
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
    default:
      break;
  }
  s->lastPointX = x2;
  s->lastPointY = y2;

  if (shape < 0 || shape > 2) return;
  // A NaN corner names no point at all, so nothing is drawn; a NaN last point then keeps
  // relative drawing blank until an absolute call sets it again.
  if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return;
  Points p{};
  if (withinGuard(x1) && withinGuard(y1) && withinGuard(x2) && withinGuard(y2)) {
    p = Points{roundAwayNear(x1), roundAwayNear(y1), roundAwayNear(x2), roundAwayNear(y2)};
  } else {
    Corners c{finiteCoordinate(x1), finiteCoordinate(y1), finiteCoordinate(x2),
              finiteCoordinate(y2)};
    if (shape == 0) {
      if (!guardLine(c)) return;
    } else {
      guardBox(c);
    }
    p = Points{roundAway(c.x1), roundAway(c.y1), roundAway(c.x2), roundAway(c.y2)};
  }
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
