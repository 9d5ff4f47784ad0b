// The shapes a terminal can draw inside one cell with two colours: block elements, lines
// and box-drawing characters, each as a mask of the 8 x 16 pixels it stands for.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/terminal/terminal_cell.h"

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
  // The character draws the mask's complement: the two colours change places.
  bool inverted = false;
};

// Every shape, simplest first: when two fit a cell equally well the earlier one is shown.
// Lines come at every row and column offset, so a line drawn anywhere in a cell finds a
// shape that covers it exactly; at the cell's edges the thin edge block comes before the
// box-drawing line and shows it where the terminal has one. A terminal with code page 437
// only shows each other block (eighths, quadrants) as the nearest of its own blocks.
const std::vector<MaskShape>& maskShapes(CellCharacters characters = CellCharacters::Unicode);

// The Linux console (TERM "linux" and its variants such as "linux-16color") draws only the
// characters of code page 437; every other terminal is taken to have them all.
CellCharacters cellCharactersFor(const char* term);
