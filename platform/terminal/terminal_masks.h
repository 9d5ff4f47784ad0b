// The shapes a terminal can draw inside one cell with two colours: block elements, lines
// and box-drawing characters, each as a mask of the 8 x 16 pixels it stands for.
#pragma once
#include <cstdint>
#include <vector>

// Bit y * 8 + x of the 128 is pixel (x, y) of the cell; rows 0-7 in `bits[0]`, 8-15 in `bits[1]`.
struct CellMask {
  uint64_t bits[2] = {0, 0};
  void set(int x, int y) { bits[y / 8] |= uint64_t{1} << ((y % 8) * 8 + x); }
  bool test(int x, int y) const { return (bits[y / 8] >> ((y % 8) * 8 + x)) & 1u; }
  int count() const;
  // Pixels that differ between the two masks.
  int distance(const CellMask& other) const;
};

struct MaskShape {
  CellMask mask;       // the pixels drawn in the foreground colour
  char32_t character;  // what the terminal shows for it
};

// Every shape, simplest first: when two fit a cell equally well the earlier one is shown.
// Lines come at every row and column offset, so a line drawn anywhere in a cell finds a
// shape that covers it exactly; the character is the nearest one the terminal has.
const std::vector<MaskShape>& maskShapes();
