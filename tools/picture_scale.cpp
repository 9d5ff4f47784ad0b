// Scales a PNG of the frame as the SDL window does (area coverage, picture_scaler.h), so that
// the window checks can compare a scaled window with the frame pixel for pixel.
// Usage: co2sim-picture-scale IN.png WIDTH HEIGHT OUT.png
#include <png.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/sdl/picture_scaler.h"

namespace {
int sizeArgument(std::string_view text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value > 0 && value <= 16384
             ? value
             : 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: co2sim-picture-scale IN.png WIDTH HEIGHT OUT.png\n");
    return 2;
  }
  const int width = sizeArgument(argv[2]), height = sizeArgument(argv[3]);
  if (!width || !height) {
    std::fprintf(stderr, "co2sim-picture-scale: bad size %s x %s\n", argv[2], argv[3]);
    return 2;
  }
  png_image in{};
  in.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&in, argv[1])) {
    std::fprintf(stderr, "co2sim-picture-scale: %s: %s\n", argv[1], in.message);
    return 1;
  }
  in.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB words on a little-endian machine
  std::vector<uint32_t> frame(static_cast<size_t>(in.width) * in.height);
  if (!png_image_finish_read(&in, nullptr, frame.data(), 0, nullptr)) {
    std::fprintf(stderr, "co2sim-picture-scale: %s: %s\n", argv[1], in.message);
    return 1;
  }
  PictureScaler scaler;
  scaler.configure(static_cast<int>(in.width), static_cast<int>(in.height), width, height);
  std::vector<uint32_t> picture(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    scaler.scaleRow(y, frame.data(), in.width,
                    picture.data() + static_cast<size_t>(y) * static_cast<size_t>(width));
  for (uint32_t& p : picture) p |= 0xFF000000u;
  png_image out{};
  out.version = PNG_IMAGE_VERSION;
  out.width = static_cast<png_uint_32>(width);
  out.height = static_cast<png_uint_32>(height);
  out.format = PNG_FORMAT_BGRA;
  if (!png_image_write_to_file(&out, argv[4], 0, picture.data(), 0, nullptr)) {
    std::fprintf(stderr, "co2sim-picture-scale: %s: %s\n", argv[4], out.message);
    return 1;
  }
  return 0;
}
