#include "platform/sdl/sdl_row_convert.h"

#include <cstring>

namespace {
uint32_t mapRgb(const SDL_PixelFormat* f, uint32_t rgb) {
  return SDL_MapRGB(f, static_cast<Uint8>(rgb >> 16), static_cast<Uint8>((rgb >> 8) & 0xFF),
                    static_cast<Uint8>(rgb & 0xFF));
}

void store(uint8_t* target, int bytes, uint32_t pixel) {
  switch (bytes) {
    case 2: {
      const auto p = static_cast<uint16_t>(pixel);
      std::memcpy(target, &p, 2);
      break;
    }
    case 3:  // byte order of a 24-bit surface follows the machine's (little-endian here)
      target[0] = static_cast<uint8_t>(pixel);
      target[1] = static_cast<uint8_t>(pixel >> 8);
      target[2] = static_cast<uint8_t>(pixel >> 16);
      break;
    default: std::memcpy(target, &pixel, 4); break;
  }
}
}  // namespace

bool RowConverter::configure(int frameDepth, const SDL_PixelFormat* target,
                             const std::array<uint32_t, 256>& palette) {
  format_ = target;
  targetBytes_ = target->BytesPerPixel;
  if (targetBytes_ < 2 || targetBytes_ > 4) return false;
  frameBytes_ = frameDepth <= 8 ? 1 : frameDepth <= 16 ? 2 : 4;
  table_.clear();
  if (frameBytes_ == 1) {
    path_ = Path::Table;
    table_.resize(256);
    for (size_t i = 0; i < 256; ++i) table_[i] = mapRgb(target, palette[i]);
  } else if (frameBytes_ == 2) {
    if (target->format == SDL_PIXELFORMAT_RGB565) {
      path_ = Path::Copy;
    } else {
      path_ = Path::Table;
      table_.resize(65536);
      for (uint32_t p = 0; p < 65536; ++p) table_[p] = mapRgb(target, rgbOf565(static_cast<uint16_t>(p)));
    }
  } else {
    path_ = (target->format == SDL_PIXELFORMAT_RGB888) ? Path::Copy : Path::Mapped;
  }
  return true;
}

void RowConverter::convert(const uint8_t* source, int width, uint8_t* target) const {
  const auto n = static_cast<size_t>(width);
  switch (path_) {
    case Path::Copy: std::memcpy(target, source, n * static_cast<size_t>(frameBytes_)); return;
    case Path::Table:
      if (frameBytes_ == 1) {
        for (size_t x = 0; x < n; ++x)
          store(target + x * static_cast<size_t>(targetBytes_), targetBytes_, table_[source[x]]);
      } else if (targetBytes_ == 4) {
        for (size_t x = 0; x < n; ++x) {
          uint16_t p;
          std::memcpy(&p, source + 2 * x, 2);
          std::memcpy(target + 4 * x, &table_[p], 4);
        }
      } else {
        for (size_t x = 0; x < n; ++x) {
          uint16_t p;
          std::memcpy(&p, source + 2 * x, 2);
          store(target + x * static_cast<size_t>(targetBytes_), targetBytes_, table_[p]);
        }
      }
      return;
    case Path::Mapped:
      for (size_t x = 0; x < n; ++x) {
        uint32_t rgb;
        std::memcpy(&rgb, source + 4 * x, 4);
        store(target + x * static_cast<size_t>(targetBytes_), targetBytes_,
              mapRgb(format_, rgb & 0xFFFFFF));
      }
      return;
  }
}
