#include "platform/terminal/terminal_masks.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <cstddef>

#include "screen/backend/cp437.h"

namespace {
constexpr int kWidth = 8;
constexpr int kHeight = 16;

CellMask box(int x0, int x1, int y0, int y1) {
  CellMask m;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) m.set(x, y);
  return m;
}

CellMask join(const CellMask& a, const CellMask& b) {
  CellMask m;
  m.bits[0] = a.bits[0] | b.bits[0];
  m.bits[1] = a.bits[1] | b.bits[1];
  return m;
}

CellMask row(int y, int x0 = 0, int x1 = kWidth - 1) { return box(x0, x1, y, y); }
CellMask column(int x, int y0 = 0, int y1 = kHeight - 1) { return box(x, x, y0, y1); }

// The thin block that lies on the cell's edge where a one-pixel line does, or 0: the box-
// drawing line sits in the cell's middle, two or more pixels away from such a line.
char32_t horizontalEdge(int y) { return y <= 1 ? U'\u2594' : y >= kHeight - 2 ? U'\u2581' : 0; }
char32_t verticalEdge(int x) { return x == 0 ? U'\u258F' : x == kWidth - 1 ? U'\u2595' : 0; }

std::vector<MaskShape> buildShapes() {
  std::vector<MaskShape> shapes;
  shapes.push_back({CellMask{}, U' '});
  // Thin lines before the blocks: a line on the cell's edge is the edge line, not the
  // complement of a seven-eighths block. A terminal without the edge blocks shows such a
  // line as the box-drawing line, which keeps it visible.
  for (int y = 0; y < kHeight; ++y) {
    if (const char32_t edge = horizontalEdge(y)) shapes.push_back({row(y), edge});
    shapes.push_back({row(y), U'\u2500'});
  }
  for (int x = 0; x < kWidth; ++x) {
    if (const char32_t edge = verticalEdge(x)) shapes.push_back({column(x), edge});
    shapes.push_back({column(x), U'\u2502'});
  }
  // Lower k eighths (their complements are the upper ones) and left k eighths.
  for (int k = 1; k <= 7; ++k)
    shapes.push_back(
        {box(0, kWidth - 1, kHeight - 2 * k, kHeight - 1), static_cast<char32_t>(0x2580 + k)});
  for (int k = 1; k <= 7; ++k)
    shapes.push_back({box(0, k - 1, 0, kHeight - 1), static_cast<char32_t>(0x2590 - k)});
  const CellMask upperLeft = box(0, 3, 0, 7), upperRight = box(4, 7, 0, 7);
  const CellMask lowerLeft = box(0, 3, 8, 15), lowerRight = box(4, 7, 8, 15);
  shapes.push_back({upperLeft, U'\u2598'});
  shapes.push_back({upperRight, U'\u259D'});
  shapes.push_back({lowerLeft, U'\u2596'});
  shapes.push_back({lowerRight, U'\u2597'});
  shapes.push_back({join(upperLeft, lowerRight), U'\u259A'});
  shapes.push_back({join(upperRight, lowerLeft), U'\u259E'});

  for (int y = 0; y + 2 < kHeight; ++y) shapes.push_back({join(row(y), row(y + 2)), U'\u2550'});
  for (int x = 0; x + 2 < kWidth; ++x)
    shapes.push_back({join(column(x), column(x + 2)), U'\u2551'});

  // Corners, tees and crosses where a horizontal and a vertical line meet; each arm is at
  // least two pixels long so that a stray pixel is not taken for a corner.
  const int lastX = kWidth - 1, lastY = kHeight - 1;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool right = x <= lastX - 2, left = x >= 2, down = y <= lastY - 2, up = y >= 2;
      if (right && down) shapes.push_back({join(row(y, x, lastX), column(x, y, lastY)), U'\u250C'});
      if (left && down) shapes.push_back({join(row(y, 0, x), column(x, y, lastY)), U'\u2510'});
      if (right && up) shapes.push_back({join(row(y, x, lastX), column(x, 0, y)), U'\u2514'});
      if (left && up) shapes.push_back({join(row(y, 0, x), column(x, 0, y)), U'\u2518'});
      if (right) shapes.push_back({join(column(x), row(y, x, lastX)), U'\u251C'});
      if (left) shapes.push_back({join(column(x), row(y, 0, x)), U'\u2524'});
      if (down) shapes.push_back({join(row(y), column(x, y, lastY)), U'\u252C'});
      if (up) shapes.push_back({join(row(y), column(x, 0, y)), U'\u2534'});
      shapes.push_back({join(row(y), column(x)), U'\u253C'});
    }
  }
  return shapes;
}

bool inCodePage437(char32_t c) { return unicodeToCp437(c) != '?'; }

CellMask complement(const CellMask& m) {
  CellMask c;
  c.bits[0] = ~m.bits[0];
  c.bits[1] = ~m.bits[1];
  return c;
}

// The shapes with only characters of code page 437. A shape whose character is missing is
// dropped when a later shape of the same pixels has one (an edge line and its box-drawing
// line); otherwise it is shown by the nearest block of code page 437 (the blank, the lower
// and the left half, either way round), measured in differing pixels: a bar's end that
// fills an eighth of its cell shows as the blank, three eighths as the half block.
std::vector<MaskShape> onlyCodePage437(const std::vector<MaskShape>& all) {
  std::vector<MaskShape> blocks;
  for (const MaskShape& shape : all)
    if (shape.character == U' ' || shape.character == U'\u2584' || shape.character == U'\u258C')
      blocks.push_back(shape);
  std::vector<MaskShape> kept;
  for (size_t i = 0; i < all.size(); ++i) {
    const MaskShape& shape = all[i];
    if (inCodePage437(shape.character)) {
      kept.push_back(shape);
      continue;
    }
    const auto twin = std::find_if(
        all.begin() + static_cast<std::ptrdiff_t>(i) + 1, all.end(), [&](const MaskShape& other) {
          return other.mask.distance(shape.mask) == 0 && inCodePage437(other.character);
        });
    if (twin != all.end()) continue;
    MaskShape nearest{shape.mask, U' '};
    int best = kWidth * kHeight + 1;
    for (const MaskShape& block : blocks) {
      for (const bool inverted : {false, true}) {
        const int cost = (inverted ? complement(block.mask) : block.mask).distance(shape.mask);
        if (cost < best) {
          best = cost;
          nearest.character = block.character;
          nearest.inverted = inverted;
        }
      }
    }
    kept.push_back(nearest);
  }
  return kept;
}
}  // namespace

int CellMask::count() const { return std::popcount(bits[0]) + std::popcount(bits[1]); }

int CellMask::distance(const CellMask& other) const {
  return std::popcount(bits[0] ^ other.bits[0]) + std::popcount(bits[1] ^ other.bits[1]);
}

const std::vector<MaskShape>& maskShapes(CellCharacters characters) {
  static const std::vector<MaskShape> all = buildShapes();
  static const std::vector<MaskShape> codePage437 = onlyCodePage437(all);
  return characters == CellCharacters::CodePage437 ? codePage437 : all;
}

CellCharacters cellCharactersFor(const char* term) {
  if (term && (std::strcmp(term, "linux") == 0 || std::strncmp(term, "linux-", 6) == 0))
    return CellCharacters::CodePage437;
  return CellCharacters::Unicode;
}
