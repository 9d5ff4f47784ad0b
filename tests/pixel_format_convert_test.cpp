// Row conversion to display surface formats: which pairs copy, which convert and to what
// pixels, the byte layout of 24-bit surfaces, and the formats that must be refused.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "screen/backend/pixel_format_convert.h"

namespace {
constexpr std::array<uint32_t, 256> kNoPalette{};

constexpr SurfacePixelFormat kBlueFirst565{16, 0x001F, 0x07E0, 0xF800};
constexpr SurfacePixelFormat kRgb888{24, 0xFF0000, 0x00FF00, 0x0000FF};
constexpr SurfacePixelFormat kXbgr8888{32, 0x0000FF, 0x00FF00, 0xFF0000};
constexpr SurfacePixelFormat kArgb8888{32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000u};

std::vector<uint8_t> bytesOf16(const std::vector<uint16_t>& pixels) {
  std::vector<uint8_t> bytes(pixels.size() * 2);
  std::memcpy(bytes.data(), pixels.data(), bytes.size());
  return bytes;
}

// Converts a row and returns the target pixels as integers, little-endian.
std::vector<uint32_t> convertRow(const SurfaceRowConverter& c, const std::vector<uint8_t>& source,
                                 int width) {
  const int bytes = c.targetBytesPerPixel();
  std::vector<uint8_t> target(static_cast<size_t>(width * bytes));
  c.convert(source.data(), width, target.data());
  std::vector<uint32_t> pixels;
  for (int x = 0; x < width; ++x) {
    uint32_t v = 0;
    for (int b = bytes - 1; b >= 0; --b) v = v << 8 | target[static_cast<size_t>(x * bytes + b)];
    pixels.push_back(v);
  }
  return pixels;
}

struct Case16 {
  const char* name;
  SurfacePixelFormat format;
  bool copies;
  // white, red, green, blue, mid-grey 0x8410, 0x0821 (lowest bit of each channel)
  std::vector<uint32_t> expected;
};

TEST(SurfaceRowConverter, FiveSixFiveFrameOnEachSurfaceFormat) {
  const std::vector<uint16_t> frame{0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8410, 0x0821};
  const Case16 cases[] = {
      {"5:6:5", kSurface565, true, {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8410, 0x0821}},
      // Green keeps its five high bits: 0x0821 loses the lowest green bit.
      {"5:5:5", kSurface555, false, {0x7FFF, 0x7C00, 0x03E0, 0x001F, 0x4210, 0x0401}},
      {"15-bit count",
       SurfacePixelFormat{15, 0x7C00, 0x03E0, 0x001F},
       false,
       {0x7FFF, 0x7C00, 0x03E0, 0x001F, 0x4210, 0x0401}},
      {"blue-first 5:6:5", kBlueFirst565, false, {0xFFFF, 0x001F, 0x07E0, 0xF800, 0x8410, 0x0821}},
      {"24-bit", kRgb888, false, {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x848284, 0x080408}},
      {"32-bit",
       kSurfaceXrgb8888,
       false,
       {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x848284, 0x080408}},
      {"32-bit blue-first",
       kXbgr8888,
       false,
       {0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x848284, 0x080408}},
      {"32-bit with alpha",
       kArgb8888,
       false,
       {0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848284, 0xFF080408}},
  };
  for (const Case16& c : cases) {
    SCOPED_TRACE(c.name);
    SurfaceRowConverter converter;
    ASSERT_TRUE(converter.configure(16, c.format, kNoPalette));
    EXPECT_EQ(converter.copies(), c.copies);
    EXPECT_EQ(convertRow(converter, bytesOf16(frame), static_cast<int>(frame.size())), c.expected);
  }
}

TEST(SurfaceRowConverter, TwentyFourBitSurfaceStoresBlueByteFirst) {
  SurfaceRowConverter converter;
  ASSERT_TRUE(converter.configure(16, kRgb888, kNoPalette));
  const std::vector<uint8_t> source = bytesOf16({0xF800, 0x001F});
  uint8_t target[6] = {};
  converter.convert(source.data(), 2, target);
  const uint8_t expected[6] = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};
  EXPECT_EQ(0, std::memcmp(target, expected, 6));
}

TEST(SurfaceRowConverter, EveryFiveSixFivePixelSurvivesTheWayToThirtyTwoBitsAndBack) {
  SurfaceRowConverter converter;
  ASSERT_TRUE(converter.configure(16, kSurfaceXrgb8888, kNoPalette));
  std::vector<uint16_t> all(65536);
  for (uint32_t p = 0; p < 65536; ++p) all[p] = static_cast<uint16_t>(p);
  const std::vector<uint32_t> wide = convertRow(converter, bytesOf16(all), 65536);
  for (uint32_t p = 0; p < 65536; ++p) {
    const uint32_t rgb = wide[p];
    const uint32_t back =
        ((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F);
    ASSERT_EQ(back, p) << std::hex << "pixel " << p;
  }
  EXPECT_EQ(wide[0xFFFF], 0xFFFFFFu);  // full channels reach 255, not 248/252
}

TEST(SurfaceRowConverter, ThirtyTwoBitFrameIgnoresItsTopByte) {
  const std::vector<uint32_t> frame{0xAB00FF80u, 0x00FFFFFFu};
  std::vector<uint8_t> source(frame.size() * 4);
  std::memcpy(source.data(), frame.data(), source.size());
  struct Case {
    SurfacePixelFormat format;
    bool copies;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {kSurface565, false, {0x07F0, 0xFFFF}},
      {kSurface555, false, {0x03F0, 0x7FFF}},
      {kXbgr8888, false, {0x80FF00, 0xFFFFFF}},
      {kArgb8888, false, {0xFF00FF80u, 0xFFFFFFFFu}},       // the top byte becomes opaque alpha
      {kSurfaceXrgb8888, true, {0xAB00FF80u, 0x00FFFFFF}},  // copied as it is
  };
  for (const Case& c : cases) {
    SurfaceRowConverter converter;
    ASSERT_TRUE(converter.configure(32, c.format, kNoPalette));
    EXPECT_EQ(converter.copies(), c.copies);
    EXPECT_EQ(convertRow(converter, source, 2), c.expected);
  }
}

TEST(SurfaceRowConverter, PaletteFrameGoesThroughItsPalette) {
  std::array<uint32_t, 256> palette{};
  palette[1] = 0xFF0000;
  palette[2] = 0x0000FF;
  palette[255] = 0x808080;
  palette[3] = 0x123456;
  const std::vector<uint8_t> source{1, 2, 255, 0, 3};

  SurfaceRowConverter wide;
  ASSERT_TRUE(wide.configure(8, kSurfaceXrgb8888, palette));
  EXPECT_EQ(convertRow(wide, source, 5),
            (std::vector<uint32_t>{0xFF0000, 0x0000FF, 0x808080, 0, 0x123456}));

  SurfaceRowConverter blueFirst;
  ASSERT_TRUE(blueFirst.configure(8, kXbgr8888, palette));
  EXPECT_EQ(convertRow(blueFirst, source, 5),
            (std::vector<uint32_t>{0x0000FF, 0xFF0000, 0x808080, 0, 0x563412}));

  SurfaceRowConverter opaque;
  ASSERT_TRUE(opaque.configure(8, kArgb8888, palette));
  EXPECT_EQ(convertRow(opaque, source, 5),
            (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF, 0xFF808080, 0xFF000000, 0xFF123456}));

  SurfaceRowConverter narrow;
  ASSERT_TRUE(narrow.configure(4, kSurface565, palette));  // depths below 8 are index bytes too
  EXPECT_EQ(convertRow(narrow, source, 5),
            (std::vector<uint32_t>{0xF800, 0x001F, 0x8410, 0, 0x11AA}));

  SurfaceRowConverter indexed;
  ASSERT_TRUE(indexed.configure(8, SurfacePixelFormat{8, 0, 0, 0}, palette));
  EXPECT_TRUE(indexed.copies());
  EXPECT_EQ(convertRow(indexed, source, 5), (std::vector<uint32_t>{1, 2, 255, 0, 3}));
}

TEST(SurfaceRowConverter, RefusesFormatsItCannotServe) {
  struct Case {
    const char* name;
    int frameDepth;
    SurfacePixelFormat format;
  };
  const Case cases[] = {
      {"palette surface for a 16-bit frame", 16, SurfacePixelFormat{8, 0, 0, 0}},
      {"palette surface for a 32-bit frame", 32, SurfacePixelFormat{8, 0, 0, 0}},
      {"12-bit surface", 16, SurfacePixelFormat{12, 0xF00, 0x0F0, 0x00F}},
      {"no bit count", 16, SurfacePixelFormat{}},
      {"empty mask", 16, SurfacePixelFormat{16, 0xF800, 0, 0x001F}},
      {"split mask", 16, SurfacePixelFormat{16, 0xF0F0, 0x0700, 0x000F}},
      {"overlapping masks", 16, SurfacePixelFormat{16, 0xF800, 0x0FE0, 0x001F}},
      {"mask wider than the pixel", 16, SurfacePixelFormat{16, 0xFF0000, 0x00FF00, 0x0000FF}},
      {"alpha over a colour", 16, SurfacePixelFormat{32, 0xFF0000, 0x00FF00, 0x0000FF, 0x01000080}},
      {"alpha wider than the pixel", 16, SurfacePixelFormat{16, 0xF800, 0x07E0, 0x001F, 0x10000}},
  };
  for (const Case& c : cases) {
    SurfaceRowConverter converter;
    EXPECT_FALSE(converter.configure(c.frameDepth, c.format, kNoPalette)) << c.name;
  }
}

TEST(SurfaceRowConverter, WritesOnlyTheGivenWidth) {
  SurfaceRowConverter converter;
  ASSERT_TRUE(converter.configure(16, kSurfaceXrgb8888, kNoPalette));
  const std::vector<uint8_t> source = bytesOf16({0xFFFF, 0xFFFF, 0xFFFF});
  std::vector<uint8_t> target(12, 0xAA);
  converter.convert(source.data(), 2, target.data());
  EXPECT_EQ(target[8], 0xAA);
  EXPECT_EQ(target[11], 0xAA);
  converter.convert(source.data(), 0, target.data() + 8);
  EXPECT_EQ(target[8], 0xAA);
}
}  // namespace
