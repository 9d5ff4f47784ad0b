// What one terminal cell shows: a Unicode character in a 24-bit foreground and background
// colour. Shared by the cell matcher and the frame encoder.
#pragma once
#include <cstdint>

struct TerminalCell {
  char32_t character = U' ';
  uint32_t foreground = 0;  // 0xRRGGBB
  uint32_t background = 0;  // 0xRRGGBB
  bool operator==(const TerminalCell&) const = default;
};

// Which characters the terminal's font draws for cells crossed by lines and bars: every
// block element and box-drawing character, or only those of code page 437 (the Linux
// console's fonts: the box-drawing set and the full and half blocks).
enum class CellCharacters { Unicode, CodePage437 };
