// What a terminal cell shows for the pixels of a text cell: the recorded character when the
// pixels are its glyph (a thin line across it included), otherwise the block or line
// character and two colours that fit the pixels best.
#include <gtest/gtest.h>

#include <functional>

#include "platform/terminal/terminal_cell_match.h"

namespace {
constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xBB1111, kBlue = 0x1111FF,
                   kGreen = 0x11FF11;

// A letter-like glyph: a ring in rows 3-12 with a bar across the middle.
constexpr uint8_t kRing[16] = {0,    0,    0,    0x3C, 0x42, 0x42, 0x42, 0x7E,
                               0x42, 0x42, 0x42, 0x42, 0x42, 0,    0,    0};
constexpr uint8_t kBlank[16] = {};

struct Picture {
  uint32_t rgb[kCellPixels];
  explicit Picture(uint32_t colour) { fill(0, 7, 0, 15, colour); }
  Picture& fill(int x0, int x1, int y0, int y1, uint32_t colour) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) rgb[y * 8 + x] = colour;
    return *this;
  }
  Picture& glyph(const uint8_t* rows, uint32_t fg, uint32_t bg) {
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 8; ++x) rgb[y * 8 + x] = (rows[y] >> x) & 1u ? fg : bg;
    return *this;
  }
};

struct MatchCase {
  const char* name;
  std::function<Picture()> picture;
  CellGlyph record;
  TerminalCell expected;
};

const MatchCase kCases[] = {
    {"ExactGlyph",
     [] { return Picture(0).glyph(kRing, kWhite, kBlue); },
     {'A', kWhite, kBlue, kRing},
     {U'A', kWhite, kBlue}},
    {"ExactGlyphAboveAscii",
     [] { return Picture(0).glyph(kRing, kWhite, kBlack); },
     {0x82, kWhite, kBlack, kRing},
     {U'\u00E9', kWhite, kBlack}},
    {"ExactBoxGlyphIsItsCharacter",
     [] { return Picture(0).glyph(kRing, kGreen, kBlack); },
     {0xB3, kGreen, kBlack, kRing},
     {U'\u2502', kGreen, kBlack}},
    {"CodeZeroIsABlank",
     [] { return Picture(kBlack); },
     {0, kWhite, kBlack, kBlank},
     {U' ', kWhite, kBlack}},
    {"FrameLineAcrossTheTopKeepsTheLetter",
     [] { return Picture(0).glyph(kRing, kWhite, kBlack).fill(0, 7, 0, 0, kWhite); },
     {'A', kWhite, kBlack, kRing},
     {U'A', kWhite, kBlack}},
    {"ColumnLineDownTheLetterKeepsIt",
     [] { return Picture(0).glyph(kRing, kWhite, kBlack).fill(0, 0, 0, 15, kGreen); },
     {'A', kWhite, kBlack, kRing},
     {U'A', kWhite, kBlack}},
    {"BlankUnderAFrameLineShowsTheLine",
     [] { return Picture(kBlack).fill(0, 7, 0, 0, kWhite); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2594', kWhite, kBlack}},
    {"FilledOverIsAFullBlock",
     [] { return Picture(kBlue); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2588', kBlue, kBlack}},
    {"BarEndAtThreeEighths",
     [] { return Picture(kRed).fill(0, 7, 0, 9, kBlue); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2583', kRed, kBlue}},
    {"BarEndAtHalf",
     [] { return Picture(kRed).fill(0, 7, 0, 7, kBlue); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2584', kRed, kBlue}},
    {"BarSideAtFiveEighths",
     [] { return Picture(kBlack).fill(0, 4, 0, 15, kRed); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u258B', kRed, kBlack}},
    {"GridLineOffCentre",
     [] { return Picture(kRed).fill(5, 5, 0, 15, kGreen); },
     {' ', kWhite, kRed, kBlank},
     {U'\u2502', kGreen, kRed}},
    {"LineOnTheLeftEdge",
     [] { return Picture(kBlack).fill(0, 0, 0, 15, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u258F', kGreen, kBlack}},
    {"LineOnTheRightEdge",
     [] { return Picture(kBlack).fill(7, 7, 0, 15, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2595', kGreen, kBlack}},
    {"LineOnTheBottomRow",
     [] { return Picture(kBlack).fill(0, 7, 15, 15, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2581', kGreen, kBlack}},
    {"LineAcrossTheMiddle",
     [] { return Picture(kBlack).fill(0, 7, 8, 8, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2500', kGreen, kBlack}},
    {"TwoLinesTwoRowsApart",
     [] { return Picture(kBlack).fill(0, 7, 6, 6, kGreen).fill(0, 7, 8, 8, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2550', kGreen, kBlack}},
    {"CornerOfAFrame",
     [] { return Picture(kBlack).fill(0, 7, 0, 0, kGreen).fill(0, 0, 0, 15, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u250C', kGreen, kBlack}},
    {"TeeWhereALineMeetsAColumn",
     [] { return Picture(kBlack).fill(3, 3, 0, 15, kGreen).fill(3, 7, 9, 9, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u251C', kGreen, kBlack}},
    {"NoFontFallsBackToShapes",
     [] { return Picture(kBlack).fill(0, 7, 8, 15, kWhite); },
     {'A', kWhite, kBlack, nullptr},
     {U'\u2584', kWhite, kBlack}},
};

class CellMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(CellMatch, ShowsTheExpectedCharacterAndColours) {
  const Picture picture = GetParam().picture();
  const TerminalCell shown = matchCell(picture.rgb, GetParam().record);
  const TerminalCell& expected = GetParam().expected;
  EXPECT_EQ(static_cast<uint32_t>(shown.character), static_cast<uint32_t>(expected.character));
  EXPECT_EQ(shown.foreground, expected.foreground);
  EXPECT_EQ(shown.background, expected.background);
}

INSTANTIATE_TEST_SUITE_P(Cells, CellMatch, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// More than one line's worth of pixels changed: the glyph is no longer what the cell shows.
TEST(CellMatchLimits, AGlyphCoveredBeyondOneLineGivesWayToAShape) {
  Picture picture(0);
  picture.glyph(kRing, kWhite, kBlack).fill(0, 7, 13, 15, kWhite);
  const TerminalCell shown = matchCell(picture.rgb, {'A', kWhite, kBlack, kRing});
  EXPECT_NE(static_cast<uint32_t>(shown.character), static_cast<uint32_t>(U'A'));
}

// A glyph drawn in its background colour has no visible shape: lines over it win.
TEST(CellMatchLimits, AnInvisibleGlyphDoesNotHideALine) {
  Picture picture(kBlack);
  picture.fill(0, 7, 8, 8, kGreen);
  const TerminalCell shown = matchCell(picture.rgb, {'A', kBlack, kBlack, kRing});
  EXPECT_EQ(static_cast<uint32_t>(shown.character), static_cast<uint32_t>(U'\u2500'));
}
}  // namespace
