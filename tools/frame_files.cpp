#include "tools/frame_files.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "screen/backend/backend_port.h"
#include "screen/backend/rgb565.h"
#include "screen/screen.h"

bool writeScreenPng(const std::string& path) {
  VisibleFrame s;
  if (!visibleFrame(s)) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(s.width) * 3);
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      uint32_t p = s.pixel(x, y);
      const uint32_t rgb = rgb565ToRgb(p);
      row[static_cast<size_t>(x) * 3 + 0] = static_cast<png_byte>(rgb >> 16);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>((rgb >> 8) & 0xFF);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(rgb & 0xFF);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}
