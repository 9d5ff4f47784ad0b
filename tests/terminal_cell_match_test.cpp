// What a terminal cell shows for the pixels of a text cell: the recorded character when the
// pixels are its glyph (a thin line across it included), otherwise the block or line
// character and two colours that fit the pixels best.
#include <gtest/gtest.h>

#include <functional>

#include "platform/terminal/terminal_cell_match.h"
#include "platform/terminal/terminal_masks.h"
#include "screen/backend/cp437.h"

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

// The Linux console's fonts have the box-drawing set and the full and half blocks only:
// lines stay lines wherever they lie in the cell, bar ends take the nearest block.
const MatchCase kConsoleCases[] = {
    {"LineOnTheTopEdgeIsTheBoxLine",
     [] { return Picture(kBlack).fill(0, 7, 0, 0, kWhite); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2500', kWhite, kBlack}},
    {"LineOnTheBottomRowIsTheBoxLine",
     [] { return Picture(kBlack).fill(0, 7, 15, 15, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2500', kGreen, kBlack}},
    {"LineOnTheLeftEdgeIsTheBoxLine",
     [] { return Picture(kBlack).fill(0, 0, 0, 15, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2502', kGreen, kBlack}},
    {"LineOnTheRightEdgeIsTheBoxLine",
     [] { return Picture(kRed).fill(7, 7, 0, 15, kGreen); },
     {' ', kWhite, kRed, kBlank},
     {U'\u2502', kGreen, kRed}},
    {"CornerOnTheEdgesKeepsItsCharacter",
     [] { return Picture(kBlack).fill(0, 7, 0, 0, kGreen).fill(0, 0, 0, 15, kGreen); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u250C', kGreen, kBlack}},
    {"BarEndAtThreeEighthsIsTheLowerHalf",
     [] { return Picture(kRed).fill(0, 7, 0, 9, kBlue); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2584', kRed, kBlue}},
    {"BarEndAtFiveEighthsIsTheLowerHalf",
     [] { return Picture(kRed).fill(0, 7, 0, 5, kBlue); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2584', kRed, kBlue}},
    // Thirteen of sixteen rows in the bar's colour: nearer a full cell than a half.
    {"BarEndNearTheBottomFillsTheCell",
     [] { return Picture(kRed).fill(0, 7, 0, 12, kBlue); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u2588', kBlue, kBlack}},
    {"BarEndAnEighthInLeavesTheTrack",
     [] { return Picture(kRed).fill(0, 7, 0, 1, kBlue); },
     {' ', kWhite, kRed, kBlank},
     {U' ', kRed, kRed}},
    {"BarSideAtFiveEighthsIsTheLeftHalf",
     [] { return Picture(kBlack).fill(0, 4, 0, 15, kRed); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u258C', kRed, kBlack}},
    {"BarSideAtThreeEighthsIsTheLeftHalf",
     [] { return Picture(kBlack).fill(0, 2, 0, 15, kRed); },
     {' ', kWhite, kBlack, kBlank},
     {U'\u258C', kRed, kBlack}},
    {"TextKeepsItsCharacter",
     [] { return Picture(0).glyph(kRing, kWhite, kBlue); },
     {'A', kWhite, kBlue, kRing},
     {U'A', kWhite, kBlue}},
};

void expectShown(const MatchCase& c, CellCharacters characters) {
  const Picture picture = c.picture();
  const TerminalCell shown = matchCell(picture.rgb, c.record, characters);
  EXPECT_EQ(static_cast<uint32_t>(shown.character), static_cast<uint32_t>(c.expected.character));
  EXPECT_EQ(shown.foreground, c.expected.foreground);
  EXPECT_EQ(shown.background, c.expected.background);
}

class CellMatch : public ::testing::TestWithParam<MatchCase> {};
TEST_P(CellMatch, ShowsTheExpectedCharacterAndColours) {
  expectShown(GetParam(), CellCharacters::Unicode);
}
INSTANTIATE_TEST_SUITE_P(Cells, CellMatch, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ConsoleCellMatch : public ::testing::TestWithParam<MatchCase> {};
TEST_P(ConsoleCellMatch, ShowsTheNearestCharacterOfCodePage437) {
  expectShown(GetParam(), CellCharacters::CodePage437);
}
INSTANTIATE_TEST_SUITE_P(Cells, ConsoleCellMatch, ::testing::ValuesIn(kConsoleCases),
                         [](const auto& info) { return std::string(info.param.name); });

bool isOnePixelLine(const CellMask& mask) {
  int rows = 0, columns = 0;
  for (int y = 0; y < 16; ++y) {
    bool any = false;
    for (int x = 0; x < 8; ++x) any = any || mask.test(x, y);
    rows += any;
  }
  for (int x = 0; x < 8; ++x) {
    bool any = false;
    for (int y = 0; y < 16; ++y) any = any || mask.test(x, y);
    columns += any;
  }
  return rows == 1 || columns == 1;
}

// Every shape the matcher knows, drawn in two colours either way round: on the console the
// cell never shows a character outside code page 437, and a drawn line never vanishes.
TEST(ConsoleCharacters, EveryShapeShowsACharacterOfCodePage437) {
  for (const MaskShape& shape : maskShapes(CellCharacters::Unicode)) {
    for (const bool swapped : {false, true}) {
      Picture picture(swapped ? kGreen : kBlack);
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x)
          if (shape.mask.test(x, y)) picture.rgb[y * 8 + x] = swapped ? kBlack : kGreen;
      const TerminalCell shown =
          matchCell(picture.rgb, {' ', kWhite, kBlack, kBlank}, CellCharacters::CodePage437);
      EXPECT_NE(unicodeToCp437(shown.character), '?')
          << "shape U+" << std::hex << static_cast<uint32_t>(shape.character);
      if (isOnePixelLine(shape.mask)) {
        EXPECT_NE(static_cast<uint32_t>(shown.character), static_cast<uint32_t>(U' '))
            << "a thin shape vanished: U+" << std::hex << static_cast<uint32_t>(shape.character);
      }
    }
  }
}

TEST(ConsoleCharacters, OnlyTheLinuxConsoleIsLimited) {
  const struct {
    const char* term;
    CellCharacters expected;
  } cases[] = {
      {"linux", CellCharacters::CodePage437},     {"linux-16color", CellCharacters::CodePage437},
      {"linux-m", CellCharacters::CodePage437},   {"xterm-256color", CellCharacters::Unicode},
      {"tmux-256color", CellCharacters::Unicode}, {"linuxish", CellCharacters::Unicode},
      {nullptr, CellCharacters::Unicode},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cellCharactersFor(c.term), c.expected) << (c.term ? c.term : "(none)");
}

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
