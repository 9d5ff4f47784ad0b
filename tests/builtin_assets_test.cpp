// Tests of the unpacked built-in fonts and palettes: glyph orientation, box pieces that
// join, distinct glyphs, and the standard palette colours.
#include "screen/assets/builtin_assets.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <thread>
#include <vector>

namespace {

struct Font {
  const char* name;
  const uint8_t* data;
  int height;

  std::vector<uint8_t> glyph(int code) const {
    return std::vector<uint8_t>(data + code * height, data + (code + 1) * height);
  }
};

std::vector<Font> fonts() {
  const BuiltinAssets& a = builtinAssets();
  return {{"8x8", a.font8x8, 8}, {"8x14", a.font8x14, 14}, {"8x16", a.font8x16, 16}};
}

bool blank(const std::vector<uint8_t>& rows) {
  for (uint8_t r : rows)
    if (r != 0) return false;
  return true;
}

using Rgb = std::array<int, 3>;

Rgb colour(const uint8_t* palette, int index) {
  return {palette[3 * index], palette[3 * index + 1], palette[3 * index + 2]};
}

TEST(BuiltinAssetsTest, ThreadsAskingAtOnceShareOneCopy) {
  // The first use may come from the program thread and a presentation thread together.
  const BuiltinAssets* seen[4] = {};
  std::vector<std::thread> threads;
  for (const BuiltinAssets*& s : seen) threads.emplace_back([&s] { s = &builtinAssets(); });
  for (std::thread& t : threads) t.join();
  for (const BuiltinAssets* s : seen) EXPECT_EQ(s, &builtinAssets());
}

TEST(BuiltinAssetsTest, BitZeroIsTheLeftmostPixel) {
  for (const Font& font : fonts()) {
    SCOPED_TRACE(font.name);
    for (uint8_t row : font.glyph(0xDD)) EXPECT_EQ(row, 0x0F);  // ▌ left half block
    for (uint8_t row : font.glyph(0xDE)) EXPECT_EQ(row, 0xF0);  // ▐ right half block
    for (uint8_t row : font.glyph(0xDB)) EXPECT_EQ(row, 0xFF);  // █
    // '/' starts at the top right and ends at the bottom left.
    std::vector<uint8_t> inked;
    for (uint8_t row : font.glyph('/'))
      if (row != 0) inked.push_back(row);
    ASSERT_GE(inked.size(), 4u);
    EXPECT_GT(inked.front(), inked.back());
    EXPECT_NE(inked.back() & 0x03, 0);
  }
}

TEST(BuiltinAssetsTest, LowerHalfBlockFillsTheBottomHalf) {
  for (const Font& font : fonts()) {
    SCOPED_TRACE(font.name);
    const std::vector<uint8_t> rows = font.glyph(0xDC);
    for (int y = 0; y < font.height; ++y) EXPECT_EQ(rows[y], y < font.height / 2 ? 0 : 0xFF) << y;
  }
}

TEST(BuiltinAssetsTest, OnlyCodesZeroSpaceAndFFAreBlankAndNoTwoGlyphsAreEqual) {
  for (const Font& font : fonts()) {
    SCOPED_TRACE(font.name);
    std::map<std::vector<uint8_t>, int> seen;
    for (int code = 0; code < 256; ++code) {
      const std::vector<uint8_t> rows = font.glyph(code);
      if (code == 0 || code == 0x20 || code == 0xFF) {
        EXPECT_TRUE(blank(rows)) << "code " << code;
        continue;
      }
      EXPECT_FALSE(blank(rows)) << "code " << code;
      const auto [it, fresh] = seen.emplace(rows, code);
      EXPECT_TRUE(fresh) << "codes " << it->second << " and " << code << " look the same";
    }
  }
}

// Connections of a box piece: up, down, left, right; 0 none, 1 single, 2 double.
struct BoxPiece {
  int code;
  std::array<int, 4> links;
};

constexpr BoxPiece kBoxPieces[] = {
    {0xB4, {1, 1, 1, 0}}, {0xB5, {1, 1, 2, 0}}, {0xB6, {2, 2, 1, 0}}, {0xB7, {0, 2, 1, 0}},
    {0xB8, {0, 1, 2, 0}}, {0xB9, {2, 2, 2, 0}}, {0xBB, {0, 2, 2, 0}}, {0xBC, {2, 0, 2, 0}},
    {0xBD, {2, 0, 1, 0}}, {0xBE, {1, 0, 2, 0}}, {0xBF, {0, 1, 1, 0}}, {0xC0, {1, 0, 0, 1}},
    {0xC1, {1, 0, 1, 1}}, {0xC2, {0, 1, 1, 1}}, {0xC3, {1, 1, 0, 1}}, {0xC5, {1, 1, 1, 1}},
    {0xC6, {1, 1, 0, 2}}, {0xC7, {2, 2, 0, 1}}, {0xC8, {2, 0, 0, 2}}, {0xC9, {0, 2, 0, 2}},
    {0xCA, {2, 0, 2, 2}}, {0xCB, {0, 2, 2, 2}}, {0xCC, {2, 2, 0, 2}}, {0xCE, {2, 2, 2, 2}},
    {0xCF, {1, 0, 2, 2}}, {0xD0, {2, 0, 1, 1}}, {0xD1, {0, 1, 2, 2}}, {0xD2, {0, 2, 1, 1}},
    {0xD3, {2, 0, 0, 1}}, {0xD4, {1, 0, 0, 2}}, {0xD5, {0, 1, 0, 2}}, {0xD6, {0, 2, 0, 1}},
    {0xD7, {2, 2, 1, 1}}, {0xD8, {1, 1, 2, 2}}, {0xD9, {1, 0, 1, 0}}, {0xDA, {0, 1, 0, 1}},
};

// The pixels of one column of a glyph, top to bottom, as a bit set.
uint32_t column(const std::vector<uint8_t>& rows, int x) {
  uint32_t bits = 0;
  for (size_t y = 0; y < rows.size(); ++y)
    if (rows[y] >> x & 1) bits |= 1u << y;
  return bits;
}

TEST(BuiltinAssetsTest, BoxPiecesMeetTheLinesOnEverySide) {
  for (const Font& font : fonts()) {
    SCOPED_TRACE(font.name);
    const uint8_t vertical[3] = {0, font.glyph(0xB3).front(), font.glyph(0xBA).front()};
    const uint32_t across[3] = {0, column(font.glyph(0xC4), 0), column(font.glyph(0xCD), 0)};
    ASSERT_NE(vertical[1], vertical[2]);  // ║ is not drawn as │
    ASSERT_NE(across[1], across[2]);      // ═ is not drawn as ─
    for (const BoxPiece& piece : kBoxPieces) {
      SCOPED_TRACE(piece.code);
      const std::vector<uint8_t> rows = font.glyph(piece.code);
      EXPECT_EQ(rows.front(), vertical[piece.links[0]]);
      EXPECT_EQ(rows.back(), vertical[piece.links[1]]);
      EXPECT_EQ(column(rows, 0), across[piece.links[2]]);
      EXPECT_EQ(column(rows, 7), across[piece.links[3]]);
    }
  }
}

TEST(BuiltinAssetsTest, LettersShareABaseline) {
  // Letters of one font share a baseline: 'A' and 'H' end on the same row, 'p' below it.
  for (const Font& font : fonts()) {
    SCOPED_TRACE(font.name);
    auto lastInked = [&font](int code) {
      const std::vector<uint8_t> rows = font.glyph(code);
      int last = -1;
      for (int y = 0; y < font.height; ++y)
        if (rows[y] != 0) last = y;
      return last;
    };
    EXPECT_EQ(lastInked('A'), lastInked('H'));
    EXPECT_GT(lastInked('p'), lastInked('A'));
  }
}

TEST(BuiltinAssetsTest, MonochromeAndSixteenColourPalettes) {
  const BuiltinAssets& a = builtinAssets();
  EXPECT_EQ(colour(a.palette2, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(colour(a.palette2, 1), (Rgb{255, 255, 255}));
  const std::map<int, Rgb> expected = {
      {0, {0, 0, 0}},           {1, {0, 0, 0xAA}},       {2, {0, 0xAA, 0}},
      {4, {0xAA, 0, 0}},        {6, {0xAA, 0x55, 0}},    {7, {0xAA, 0xAA, 0xAA}},
      {8, {0x55, 0x55, 0x55}},  {9, {0x55, 0x55, 0xFF}}, {14, {0xFF, 0xFF, 0x55}},
      {15, {0xFF, 0xFF, 0xFF}},
  };
  for (const auto& [index, rgb] : expected) EXPECT_EQ(colour(a.palette16, index), rgb) << index;
}

TEST(BuiltinAssetsTest, SixtyFourColourPaletteFollowsTheColourBits) {
  const BuiltinAssets& a = builtinAssets();
  const std::map<int, Rgb> expected = {
      {000, {0, 0, 0}},       {001, {0, 0, 0xAA}},       {010, {0, 0, 0x55}},
      {011, {0, 0, 0xFF}},    {004, {0xAA, 0, 0}},       {040, {0x55, 0, 0}},
      {024, {0xAA, 0x55, 0}}, {070, {0x55, 0x55, 0x55}}, {077, {0xFF, 0xFF, 0xFF}},
  };
  for (const auto& [index, rgb] : expected) EXPECT_EQ(colour(a.palette64, index), rgb) << index;
}

TEST(BuiltinAssetsTest, TwoHundredFiftySixColourPaletteLayout) {
  const BuiltinAssets& a = builtinAssets();
  for (int i = 0; i < 16; ++i) EXPECT_EQ(colour(a.palette256, i), colour(a.palette16, i)) << i;
  // A grey ramp from black to white.
  EXPECT_EQ(colour(a.palette256, 16), (Rgb{0, 0, 0}));
  EXPECT_EQ(colour(a.palette256, 31), (Rgb{255, 255, 255}));
  for (int i = 17; i < 32; ++i) {
    const Rgb grey = colour(a.palette256, i);
    EXPECT_EQ(grey[0], grey[1]);
    EXPECT_EQ(grey[1], grey[2]);
    EXPECT_GT(grey[0], colour(a.palette256, i - 1)[0]) << i;
  }
  // The brightest hue group walks blue, magenta, red, yellow, green, cyan.
  const std::map<int, Rgb> hues = {{32, {0, 0, 255}},   {36, {255, 0, 255}}, {40, {255, 0, 0}},
                                   {44, {255, 255, 0}}, {48, {0, 255, 0}},   {52, {0, 255, 255}}};
  for (const auto& [index, rgb] : hues) EXPECT_EQ(colour(a.palette256, index), rgb) << index;
  std::set<Rgb> distinct;
  for (int i = 32; i < 248; ++i) distinct.insert(colour(a.palette256, i));
  EXPECT_EQ(distinct.size(), 216u);
  for (int i = 248; i < 256; ++i) EXPECT_EQ(colour(a.palette256, i), (Rgb{0, 0, 0})) << i;
}

}  // namespace
