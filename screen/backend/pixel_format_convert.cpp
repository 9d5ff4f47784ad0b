#include "screen/backend/pixel_format_convert.h"

#include <bit>
#include <cstring>
#include <type_traits>

namespace {
struct Channel {
  int shift = 0;
  int bits = 0;
};

bool describe(uint32_t mask, int bitCount, Channel& channel) {
  if (mask == 0) return false;
  channel.shift = std::countr_zero(mask);
  channel.bits = std::popcount(mask);
  const bool contiguous = (((mask >> channel.shift) + 1) & (mask >> channel.shift)) == 0;
  const bool fits = bitCount >= 32 || (mask >> bitCount) == 0;
  return contiguous && fits && channel.bits <= 16;
}

// An 8-bit channel value placed in a channel of the target's width.
uint32_t place(uint32_t value8, const Channel& c) {
  const uint32_t v = c.bits <= 8 ? value8 >> (8 - c.bits) : value8 << (c.bits - 8);
  return v << c.shift;
}

template <int Bytes>
void store(uint8_t* target, uint32_t pixel) {
  if constexpr (Bytes == 2) {
    const auto p = static_cast<uint16_t>(pixel);
    std::memcpy(target, &p, 2);
  } else if constexpr (Bytes == 3) {  // surfaces are little-endian: blue byte first for 0xRRGGBB
    target[0] = static_cast<uint8_t>(pixel);
    target[1] = static_cast<uint8_t>(pixel >> 8);
    target[2] = static_cast<uint8_t>(pixel >> 16);
  } else {
    std::memcpy(target, &pixel, 4);
  }
}

template <int Bytes>
void convertTable16(const uint8_t* source, size_t n, uint8_t* target, const uint32_t* table) {
  for (size_t x = 0; x < n; ++x) {
    uint16_t p;
    std::memcpy(&p, source + 2 * x, 2);
    store<Bytes>(target + Bytes * x, table[p]);
  }
}

template <int Bytes>
void convertTable8(const uint8_t* source, size_t n, uint8_t* target, const uint32_t* table) {
  for (size_t x = 0; x < n; ++x) store<Bytes>(target + Bytes * x, table[source[x]]);
}

template <int Bytes>
void convertChannels(const uint8_t* source, size_t n, uint8_t* target,
                     const std::array<uint32_t, 256>& r, const std::array<uint32_t, 256>& g,
                     const std::array<uint32_t, 256>& b, uint32_t alpha) {
  for (size_t x = 0; x < n; ++x) {
    uint32_t rgb;
    std::memcpy(&rgb, source + 4 * x, 4);
    store<Bytes>(target + Bytes * x,
                 r[(rgb >> 16) & 0xFF] | g[(rgb >> 8) & 0xFF] | b[rgb & 0xFF] | alpha);
  }
}

template <typename Fn>
void byTargetBytes(int bytes, Fn&& fn) {
  switch (bytes) {
    case 2: fn(std::integral_constant<int, 2>{}); break;
    case 3: fn(std::integral_constant<int, 3>{}); break;
    default: fn(std::integral_constant<int, 4>{}); break;
  }
}

bool sameMasks(const SurfacePixelFormat& a, const SurfacePixelFormat& b) {
  return a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask &&
         a.alphaMask == b.alphaMask;
}
}  // namespace

bool SurfaceRowConverter::configure(int frameDepth, const SurfacePixelFormat& target,
                                    const std::array<uint32_t, 256>& palette) {
  frameBytes_ = frameDepth <= 8 ? 1 : frameDepth <= 16 ? 2 : 4;
  table_.clear();
  path_ = Path::Copy;
  switch (target.bitCount) {
    case 8: targetBytes_ = 1; break;
    case 15:
    case 16: targetBytes_ = 2; break;
    case 24: targetBytes_ = 3; break;
    case 32: targetBytes_ = 4; break;
    default: return false;
  }
  if (targetBytes_ == 1) return frameBytes_ == 1;  // the palette goes to the display instead

  const int bits = targetBytes_ * 8;
  Channel r, g, b;
  if (!describe(target.redMask, bits, r) || !describe(target.greenMask, bits, g) ||
      !describe(target.blueMask, bits, b))
    return false;
  if ((target.redMask & target.greenMask) || (target.redMask & target.blueMask) ||
      (target.greenMask & target.blueMask) ||
      (target.alphaMask & (target.redMask | target.greenMask | target.blueMask)))
    return false;
  if (bits < 32 && (target.alphaMask >> bits) != 0) return false;

  if ((frameBytes_ == 2 && targetBytes_ == 2 && sameMasks(target, kSurface565)) ||
      (frameBytes_ == 4 && targetBytes_ == 4 && sameMasks(target, kSurfaceXrgb8888)))
    return true;

  alpha_ = target.alphaMask;
  auto pixelOf = [&](uint32_t rgb) {
    return place((rgb >> 16) & 0xFF, r) | place((rgb >> 8) & 0xFF, g) | place(rgb & 0xFF, b) |
           alpha_;
  };
  if (frameBytes_ == 1) {
    path_ = Path::Table;
    table_.resize(256);
    for (size_t i = 0; i < 256; ++i) table_[i] = pixelOf(palette[i]);
  } else if (frameBytes_ == 2) {
    path_ = Path::Table;
    table_.resize(65536);
    for (uint32_t p = 0; p < 65536; ++p) table_[p] = pixelOf(rgb565ToRgb(p));
  } else {
    path_ = Path::Channels;
    for (uint32_t v = 0; v < 256; ++v) {
      red_[v] = place(v, r);
      green_[v] = place(v, g);
      blue_[v] = place(v, b);
    }
  }
  return true;
}

void SurfaceRowConverter::convert(const uint8_t* source, int width, uint8_t* target) const {
  if (width <= 0) return;
  const auto n = static_cast<size_t>(width);
  switch (path_) {
    case Path::Copy: std::memcpy(target, source, n * static_cast<size_t>(frameBytes_)); return;
    case Path::Table:
      byTargetBytes(targetBytes_, [&](auto bytes) {
        if (frameBytes_ == 1)
          convertTable8<decltype(bytes)::value>(source, n, target, table_.data());
        else
          convertTable16<decltype(bytes)::value>(source, n, target, table_.data());
      });
      return;
    case Path::Channels:
      byTargetBytes(targetBytes_, [&](auto bytes) {
        convertChannels<decltype(bytes)::value>(source, n, target, red_, green_, blue_, alpha_);
      });
      return;
  }
}
