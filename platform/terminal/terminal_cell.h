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
