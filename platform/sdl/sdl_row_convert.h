// Converts frame rows (8-bit palette, 16-bit 5:6:5 or 32-bit 0xRRGGBB) to the pixel format of
// the window's surface. The choice of path and its lookup table are made once per surface.
#pragma once
#include <SDL_pixels.h>

#include <array>
#include <cstdint>
#include <vector>

#include "screen/rgb565.h"

// A 5:6:5 pixel as 0xRRGGBB.
constexpr uint32_t rgbOf565(uint16_t p) { return rgb565ToRgb(p); }

class RowConverter {
 public:
  // Returns false when the target format cannot be served (fewer than 2 bytes per pixel).
  bool configure(int frameDepth, const SDL_PixelFormat* target,
                 const std::array<uint32_t, 256>& palette);
  // Converts one row of `width` pixels.
  void convert(const uint8_t* source, int width, uint8_t* target) const;

 private:
  enum class Path { Copy, Table, Mapped };
  Path path_ = Path::Copy;
  int frameBytes_ = 2;
  int targetBytes_ = 4;
  const SDL_PixelFormat* format_ = nullptr;
  std::vector<uint32_t> table_;
};
