// The 16-bit pixel's colour: a colour 0xRRGGBB packs into RGB 5:6:5 by dropping low bits,
// and a 5:6:5 pixel expands back to 0xRRGGBB by repeating each channel's top bits.
#pragma once
#include <cstdint>

inline constexpr uint32_t rgbTo565(uint32_t rgb) {
  return (((rgb >> 16) & 0xFF) >> 3) << 11 | (((rgb >> 8) & 0xFF) >> 2) << 5 | ((rgb & 0xFF) >> 3);
}

// A 5-bit or 6-bit channel widened to 8 bits: 0 stays 0 and the largest value becomes 255.
inline constexpr uint32_t expandChannel5(uint32_t v) { return (v << 3) | (v >> 2); }
inline constexpr uint32_t expandChannel6(uint32_t v) { return (v << 2) | (v >> 4); }

inline constexpr uint32_t rgb565ToRgb(uint32_t pixel) {
  return expandChannel5((pixel >> 11) & 0x1F) << 16 | expandChannel6((pixel >> 5) & 0x3F) << 8 |
         expandChannel5(pixel & 0x1F);
}
