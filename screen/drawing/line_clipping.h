// The arithmetic that turns a line's or box's corners into pixel end points: the guard
// square, rounding half away from zero and outcode clipping, all in extended precision.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace line_clipping {

// Coordinates are brought within ±2^24 before they become integers. The guard lies far
// beyond any clip region, so a point moved onto it clips exactly like the far-away point it
// stands for, and the clipping products (about 2^25 · 2^25 at most) stay exact in 64 bits.
constexpr int64_t kGuard = 16777216;  // 2^24
// Outcode clipping needs at most four moves; truncation may add a few. The bound only
// matters if the arithmetic ever oscillates, and then nothing is drawn.
constexpr int kMaxClipSteps = 16;

// Real is the extended type (or, for comparison on x86, the processor's own 80-bit type).
template <class Real>
struct Corners {
  Real x1, y1, x2, y2;
};
struct Points {
  int64_t x1, y1, x2, y2;
};
// The drawable area, inclusive.
struct Bounds {
  int64_t left, top, right, bottom;
};

template <class Real>
Real clampToGuard(Real v) {
  return std::clamp(v, Real(-kGuard), Real(kGuard));
}

// Infinities become the largest finite single-precision value so that the geometry below
// stays finite; they then clip like any other far-away point.
template <class Real>
Real finiteCoordinate(float v) {
  constexpr float kMax = std::numeric_limits<float>::max();
  if (std::isinf(v)) return Real(v > 0 ? kMax : -kMax);
  return Real(v);
}

// Boxes are axis-aligned, so clamping each coordinate on its own cannot change what survives
// the clipping.
template <class Real>
void guardBox(Corners<Real>& c) {
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
template <class Real>
bool guardLine(Corners<Real>& c) {
  const Real guard(kGuard);
  auto inside = [&](Real v) { return v >= -guard && v <= guard; };
  if (inside(c.x1) && inside(c.y1) && inside(c.x2) && inside(c.y2)) return true;
  const Real zero(0);
  const Real dx = c.x2 - c.x1;
  const Real dy = c.y2 - c.y1;
  const Real cross = c.x1 * c.y2 - c.x2 * c.y1;
  struct Edge {
    Real p, q;
    int side;  // 1 x = −G, 2 x = +G, 3 y = −G, 4 y = +G
  };
  const Edge edges[] = {
      {-dx, c.x1 + guard, 1}, {dx, guard - c.x1, 2}, {-dy, c.y1 + guard, 3}, {dy, guard - c.y1, 4}};
  Real t0(0), t1(1);
  int side0 = 0, side1 = 0;
  for (const Edge& e : edges) {
    if (e.p == zero) {
      if (e.q < zero) return false;
      continue;
    }
    const Real r = e.q / e.p;
    if (e.p < zero && r > t0) {
      t0 = r;
      side0 = e.side;
    } else if (e.p > zero && r < t1) {
      t1 = r;
      side1 = e.side;
    }
  }
  if (t0 > t1) return false;
  auto pointOn = [&](int side, Real& x, Real& y) {
    if (side == 1 || side == 2) {
      x = side == 1 ? -guard : guard;
      y = (dy * x - cross) / dx;
    } else {
      y = side == 3 ? -guard : guard;
      x = (cross + dx * y) / dy;
    }
  };
  if (side0 != 0) pointOn(side0, c.x1, c.y1);
  if (side1 != 0) pointOn(side1, c.x2, c.y2);
  guardBox(c);  // rounding may leave a point a hair beyond the square
  return true;
}

// Half away from zero: the integer part of v + 1/2 or v − 1/2, the sum rounded first;
// 957.5 → 958, −0.5 → −1, 0.49 → 0. v lies within the guard.
template <class Real>
int64_t roundAway(Real v) {
  const Real half(0.5);
  return static_cast<int64_t>(v > Real(0) ? v + half : v - half);
}

// A corner that needs no guarding: finite and within ±2^24, where a float plus or minus
// one half is exact in double (a float below 2^-29 in size rounds to zero either way), so
// the extended rounding gives the same integer.
inline bool withinGuard(float v) {
  return v >= -static_cast<float>(kGuard) && v <= static_cast<float>(kGuard);
}
inline int64_t roundAwayNear(float v) {
  const double d = v;
  return static_cast<int64_t>(d > 0 ? d + 0.5 : d - 0.5);
}

inline int outcode(int64_t x, int64_t y, const Bounds& b) {
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
template <class Real>
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
    const Real one(1);
    const Real m = p.x1 == p.x2 ? one : Real(p.y2 - p.y1) / Real(p.x2 - p.x1);
    const auto along = [](int64_t from, Real delta) {
      return static_cast<int64_t>(Real(from) + delta);  // toward zero
    };
    if (code1 & 1) {
      p.y1 = along(p.y1, m * Real(b.left - p.x1));
      p.x1 = b.left;
    } else if (code1 & 2) {
      p.y1 = along(p.y1, m * Real(b.right - p.x1));
      p.x1 = b.right;
    } else if (code1 & 8) {
      if (p.x1 != p.x2) p.x1 = along(p.x1, (one / m) * Real(b.top - p.y1));
      p.y1 = b.top;
    } else {
      if (p.x1 != p.x2) p.x1 = along(p.x1, (one / m) * Real(b.bottom - p.y1));
      p.y1 = b.bottom;
    }
  }
  return false;
}

// The four corners as pixels, guarded and rounded; false when a line misses the guard
// square. NaN corners are refused by the caller.
template <class Real>
bool cornerPoints(float x1, float y1, float x2, float y2, bool line, Points& p) {
  if (withinGuard(x1) && withinGuard(y1) && withinGuard(x2) && withinGuard(y2)) {
    p = Points{roundAwayNear(x1), roundAwayNear(y1), roundAwayNear(x2), roundAwayNear(y2)};
    return true;
  }
  Corners<Real> c{finiteCoordinate<Real>(x1), finiteCoordinate<Real>(y1),
                  finiteCoordinate<Real>(x2), finiteCoordinate<Real>(y2)};
  if (line) {
    if (!guardLine(c)) return false;
  } else {
    guardBox(c);
  }
  p = Points{roundAway(c.x1), roundAway(c.y1), roundAway(c.x2), roundAway(c.y2)};
  return true;
}

}  // namespace line_clipping
