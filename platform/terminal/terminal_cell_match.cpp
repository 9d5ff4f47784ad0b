#include "platform/terminal/terminal_cell_match.h"

#include <array>

#include "platform/terminal/terminal_masks.h"
#include "screen/backend/cp437.h"

namespace {
// A glyph crossed by a line of the drawing differs from its record in at most one pixel row
// or column; such a cell still shows its character, so text stays readable under a frame.
constexpr int kLineOverGlyph = 16;

int distanceSquared(uint32_t a, uint32_t b) {
  const int dr = static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF);
  const int dg = static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
  const int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
  return dr * dr + dg * dg + db * db;
}

CellMask glyphMask(const CellGlyph& glyph) {
  CellMask m;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x)
      if ((glyph.fontRows[y] >> x) & 1u) m.set(x, y);
  return m;
}

char32_t shownCharacter(uint8_t code) {
  const char32_t c = cp437ToUnicode(code);
  return c == 0 ? U' ' : c;
}

// The two colours that stand for the cell: the commonest, and the one that weighs most by
// its share of the pixels and its distance from the first.
void chooseColours(const uint32_t (&rgb)[kCellPixels], uint32_t& main, uint32_t& second) {
  std::array<uint32_t, kCellPixels> colours{};
  std::array<int, kCellPixels> counts{};
  int distinct = 0;
  for (const uint32_t c : rgb) {
    int i = 0;
    while (i < distinct && colours[static_cast<size_t>(i)] != c) ++i;
    if (i == distinct) colours[static_cast<size_t>(distinct++)] = c;
    ++counts[static_cast<size_t>(i)];
  }
  int best = 0;
  for (int i = 1; i < distinct; ++i)
    if (counts[static_cast<size_t>(i)] > counts[static_cast<size_t>(best)]) best = i;
  main = colours[static_cast<size_t>(best)];
  second = main;
  long long weight = 0;
  for (int i = 0; i < distinct; ++i) {
    const long long w = static_cast<long long>(counts[static_cast<size_t>(i)]) *
                        distanceSquared(colours[static_cast<size_t>(i)], main);
    if (w > weight) {
      weight = w;
      second = colours[static_cast<size_t>(i)];
    }
  }
}
}  // namespace

TerminalCell matchCell(const uint32_t (&rgb)[kCellPixels], const CellGlyph& glyph,
                       CellCharacters characters) {
  if (glyph.fontRows) {
    const CellMask shape = glyphMask(glyph);
    int differing = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 8; ++x) {
        const uint32_t expected = shape.test(x, y) ? glyph.foreground : glyph.background;
        if (rgb[y * 8 + x] != expected) ++differing;
      }
    const TerminalCell asRecorded{shownCharacter(glyph.character), glyph.foreground,
                                  glyph.background};
    if (differing == 0) return asRecorded;
    const int inked = shape.count();
    const bool visibleShape =
        glyph.foreground != glyph.background && inked > 0 && inked < kCellPixels;
    if (visibleShape && differing <= kLineOverGlyph) return asRecorded;
  }

  uint32_t main = 0, second = 0;
  chooseColours(rgb, main, second);
  CellMask seconds;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) {
      const uint32_t c = rgb[y * 8 + x];
      if (c != main && distanceSquared(c, second) < distanceSquared(c, main)) seconds.set(x, y);
    }

  // Each shape is tried both ways round: its pixels in the second colour, or in the main one.
  const MaskShape* best = nullptr;
  bool secondInside = true;
  int bestCost = kCellPixels + 1;
  for (const MaskShape& candidate : maskShapes(characters)) {
    const int cost = candidate.mask.distance(seconds);
    if (cost < bestCost) {
      best = &candidate, secondInside = true, bestCost = cost;
    }
    if (kCellPixels - cost < bestCost) {
      best = &candidate, secondInside = false, bestCost = kCellPixels - cost;
    }
    if (bestCost == 0) break;
  }
  // A shape shown by its complement's character swaps the colours.
  const bool secondDrawn = secondInside != best->inverted;
  const uint32_t inside = secondDrawn ? second : main;
  const uint32_t outside = secondDrawn ? main : second;
  if (best->character == U' ') {
    // An area filled over the cell (a bar, a box) shows as a full block; the cell's own
    // background as a blank.
    if (!glyph.fontRows || outside == glyph.background) return TerminalCell{U' ', outside, outside};
    return TerminalCell{U'\u2588', outside, glyph.background};
  }
  return TerminalCell{best->character, inside, outside};
}
