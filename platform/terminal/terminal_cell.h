// What one terminal cell shows: a Unicode character in a 24-bit foreground and background
// colour. Shared by the cell matcher and the frame encoder.
#pragma once
#include <cstdint>
#include <string>

struct TerminalCell {
  char32_t character = U' ';
  uint32_t foreground = 0;  // 0xRRGGBB
  uint32_t background = 0;  // 0xRRGGBB
  bool operator==(const TerminalCell&) const = default;
};

// Appends the UTF-8 form of a character (U+FFFD for values that are not characters).
void appendUtf8(std::string& out, char32_t character);
