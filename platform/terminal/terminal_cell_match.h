// Decides what the terminal shows for one 8 x 16 text cell of the frame: the character of
// its cell record when the pixels are that glyph, otherwise the block or line character and
// the two colours that come closest to the pixels.
#pragma once
#include <cstdint>

#include "platform/terminal/terminal_cell.h"

inline constexpr int kCellPixels = 8 * 16;

// The cell record of a cell with its colours as 0xRRGGBB and the 16 font rows of its glyph
// (bit i of a row is pixel x = i).
struct CellGlyph {
  uint8_t character = ' ';
  uint32_t foreground = 0;
  uint32_t background = 0;
  const uint8_t* fontRows = nullptr;
};

// rgb: the cell's pixels as 0xRRGGBB, row by row (index y * 8 + x). A drawn cell is shown
// with the nearest of the block and line characters the terminal has.
TerminalCell matchCell(const uint32_t (&rgb)[kCellPixels], const CellGlyph& glyph,
                       CellCharacters characters = CellCharacters::Unicode);
