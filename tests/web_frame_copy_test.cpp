// The browser back end's picture: changed rows only, 5:6:5 expanded by bit replication.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/web/web_frame_copy.h"

namespace {
struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};
Rgba bytesOf(uint32_t pixel) {
  Rgba c;
  std::memcpy(&c, &pixel, 4);
  return c;
}

TEST(WebFrameCopy, FiveSixFivePixelsExpandByBitReplication) {
  struct Case {
    uint16_t pixel;
    Rgba expected;
  };
  const Case cases[] = {
      {0x0000, {0, 0, 0, 255}},   {0xFFFF, {255, 255, 255, 255}}, {0x8410, {132, 130, 132, 255}},
      {0xF800, {255, 0, 0, 255}}, {0x07E0, {0, 255, 0, 255}},     {0x001F, {0, 0, 255, 255}},
      {0x0821, {8, 4, 8, 255}},
  };
  for (const Case& c : cases) EXPECT_EQ(bytesOf(rgbaOf565(c.pixel)), c.expected) << c.pixel;
}

struct Frame {
  int width = 4, height = 6;
  std::vector<uint16_t> pixels = std::vector<uint16_t>(24);
  std::vector<uint8_t> dirty = std::vector<uint8_t>(6);
  VisibleFrame view() {
    VisibleFrame v;
    v.pixels = reinterpret_cast<const uint8_t*>(pixels.data());
    v.pitch = width * 2;
    v.bytesPerPixel = 2;
    v.width = width;
    v.height = height;
    v.dirtyRows = dirty;
    return v;
  }
};

TEST(WebFrameCopy, CopiesOnlyFlaggedRowsAndClearsTheirFlags) {
  Frame frame;
  for (size_t i = 0; i < frame.pixels.size(); ++i) frame.pixels[i] = 0xF800;
  std::vector<uint32_t> rgba(24, 0);
  frame.dirty[1] = frame.dirty[4] = 1;
  const RowBand band = copyDirtyRows(frame.view(), rgba.data());
  EXPECT_EQ(band.first, 1);
  EXPECT_EQ(band.last, 4);
  for (int row = 0; row < 6; ++row) {
    const bool copied = row == 1 || row == 4;
    EXPECT_EQ(rgba[static_cast<size_t>(row) * 4 + 3], copied ? rgbaOf565(0xF800) : 0u) << row;
    EXPECT_EQ(frame.dirty[static_cast<size_t>(row)], 0) << row;
  }
  EXPECT_TRUE(copyDirtyRows(frame.view(), rgba.data()).empty());
}

TEST(WebFrameCopy, RepeatedRowsAndThirtyTwoBitFrames) {
  // Two displayed rows per frame row: displayed row 3 shows frame row 1.
  std::vector<uint32_t> pixels = {0x112233, 0x445566, 0xFF0080, 0x000000};
  std::vector<uint8_t> dirty(4, 0);
  dirty[3] = 1;
  VisibleFrame v;
  v.pixels = reinterpret_cast<const uint8_t*>(pixels.data());
  v.pitch = 8;
  v.width = 2;
  v.height = 2;
  v.rowRepeat = 2;
  v.bytesPerPixel = 4;
  v.dirtyRows = dirty;
  std::vector<uint32_t> rgba(8, 0);
  const RowBand band = copyDirtyRows(v, rgba.data());
  EXPECT_EQ(band.first, 3);
  EXPECT_EQ(band.last, 3);
  EXPECT_EQ(bytesOf(rgba[6]), (Rgba{0xFF, 0x00, 0x80, 255}));
  EXPECT_EQ(bytesOf(rgba[7]), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(rgba[0], 0u);
}
}  // namespace
