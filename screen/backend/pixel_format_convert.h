// Conversion of frame rows (8-bit palette indices, 16-bit 5:6:5, 32-bit 0xRRGGBB) to the pixel
// format of a display surface given by its bit count and channel masks, for every back end.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "screen/backend/rgb565.h"

struct SurfacePixelFormat {
  int bitCount = 0;  // 8 means palette indices; 16 covers 5:5:5 too (bit count 15 is accepted)
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;
  uint32_t alphaMask = 0;  // set in every converted pixel: the surface shows it opaque
};

inline constexpr SurfacePixelFormat kSurface565{16, 0xF800, 0x07E0, 0x001F};
inline constexpr SurfacePixelFormat kSurface555{16, 0x7C00, 0x03E0, 0x001F};
inline constexpr SurfacePixelFormat kSurfaceXrgb8888{32, 0xFF0000, 0x00FF00, 0x0000FF};

class SurfaceRowConverter {
 public:
  // Chooses the path for frames of frameDepth bits (below 8 counts as 8) shown on the target
  // format. False when no conversion exists: a palette surface for a frame of more than 8 bits,
  // a bit count other than 8, 15, 16, 24 or 32, or masks that are empty, not contiguous,
  // overlapping or wider than the pixel (the alpha mask may be empty).
  bool configure(int frameDepth, const SurfacePixelFormat& target,
                 const std::array<uint32_t, 256>& palette);
  // Rows are copied unchanged: the target's format is the frame's own.
  bool copies() const { return path_ == Path::Copy; }
  int targetBytesPerPixel() const { return targetBytes_; }
  int frameBytesPerPixel() const { return frameBytes_; }
  // Converts one row of `width` pixels; the target holds width * targetBytesPerPixel() bytes.
  void convert(const uint8_t* source, int width, uint8_t* target) const;

 private:
  enum class Path { Copy, Table, Channels };
  Path path_ = Path::Copy;
  int frameBytes_ = 2;
  int targetBytes_ = 2;
  std::vector<uint32_t> table_;  // frame pixel -> target pixel (8- and 16-bit frames)
  std::array<uint32_t, 256> red_{}, green_{}, blue_{};  // 32-bit frames, per channel byte
  uint32_t alpha_ = 0;
};
