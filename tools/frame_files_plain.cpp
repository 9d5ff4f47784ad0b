// The snapshot files for builds without libpng (the Windows cross-build): the same PNG
// picture, written with uncompressed deflate blocks, and the same cell text.
#include <cstdio>
#include <string>
#include <vector>

#include "screen/backend/backend_port.h"
#include "screen/backend/rgb565.h"
#include "screen/screen.h"
#include "tools/frame_files.h"

namespace {
uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  put32(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  put32(out, crc32(typed.data(), typed.size()));
}

// A zlib stream of stored blocks (at most 65535 bytes each) with its Adler-32 check.
std::vector<uint8_t> storedZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> z{0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = raw.size() - at > 65535 ? 65535 : raw.size() - at;
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n));
    z.push_back(static_cast<uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
             raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  put32(z, (b << 16) | a);
  return z;
}
}  // namespace

bool writeScreenPng(const std::string& path) {
  VisibleFrame s;
  if (!visibleFrame(s)) return false;
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(s.height) * (static_cast<size_t>(s.width) * 3 + 1));
  for (int y = 0; y < s.height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < s.width; ++x) {
      const uint32_t p = s.pixel(x, y);
      const uint32_t rgb = rgb565ToRgb(p);
      raw.push_back(static_cast<uint8_t>(rgb >> 16));
      raw.push_back(static_cast<uint8_t>((rgb >> 8) & 0xFF));
      raw.push_back(static_cast<uint8_t>(rgb & 0xFF));
    }
  }
  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  put32(header, static_cast<uint32_t>(s.width));
  put32(header, static_cast<uint32_t>(s.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", storedZlib(raw));
  chunk(png, "IEND", {});
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  return std::fclose(file) == 0 && written;
}
