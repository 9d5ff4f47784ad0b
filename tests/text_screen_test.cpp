// The text screen: colours, cursor, the writer's control codes, wrapping, scrolling, the
// owed scroll, clearing and moving to a column.
#include <gtest/gtest.h>

#include <string>

#include "screen/assets/builtin_assets.h"
#include "screen/backend/rgb565.h"
#include "screen/last_error.h"
#include "tests/support/screen_fixture.h"

namespace {
class TextScreen : public ScreenTest {
 protected:
  void print(const std::string& text, bool lineEnd = false) { printText(text, lineEnd); }
  TextPosition at() { return cursorPosition(); }
  // True when cell (row, column) shows the glyph `code` in the given pixels.
  bool cellShows(int row, int column, uint8_t code, uint32_t fg, uint32_t bg) {
    const uint8_t* glyph = builtinAssets().font8x16 + code * 16;
    for (int j = 0; j < 16; ++j)
      for (int i = 0; i < 8; ++i) {
        const uint32_t want = (glyph[j] >> i) & 1 ? fg : bg;
        if (pixel((column - 1) * 8 + i, (row - 1) * 16 + j) != want) return false;
      }
    return true;
  }
};

TEST_F(TextScreen, ColourValuesBecome565Pixels) {
  struct Case {
    int32_t colour;
    uint32_t pixel;
  };
  const Case cases[] = {{0xFFFFFF, 0xFFFF},  {0x00AA00, 0x0540}, {0x88FF88, 0x8FF1},
                        {0xFF0000, 0xF800},  {0x99EE99, 0x9F73}, {0x070307, 0x0000},
                        {0x7F123456, 0x11AA}};
  for (const Case& c : cases) {
    setColour(c.colour, 0);
    EXPECT_EQ(probeScreen().foregroundPixel, c.pixel) << std::hex << c.colour;
  }
}

TEST_F(TextScreen, SetColourKeepsNegativeAndReturnsPreviousPair) {
  setColour(0x123456, 0);
  EXPECT_EQ(probeScreen().foregroundPixel, 0x11AAu);
  const uint32_t previous = setColour(-1, 0x112233);
  EXPECT_EQ(previous, 0x11AAu);
  EXPECT_EQ(probeScreen().foregroundPixel, 0x11AAu);
  EXPECT_EQ(probeScreen().backgroundPixel, 0x1106u);
  EXPECT_EQ(setColour(-1, -1), 0x11AAu | 0x1106u << 16);
}

TEST_F(TextScreen, PrintPaintsWholeCellsAndRecordsThem) {
  setColour(0xFFFFFF, 0x0000FF);
  locate(3, 5, -1);
  print("Az");
  EXPECT_TRUE(cellShows(3, 5, 'A', 0xFFFF, 0x001F));
  EXPECT_TRUE(cellShows(3, 6, 'z', 0xFFFF, 0x001F));
  const CellContents cell = readCell(3, 5);
  EXPECT_EQ(cell.character, 'A');
  EXPECT_EQ(cell.foreground, 0xFFFFu);
  EXPECT_EQ(cell.background, 0x001Fu);
  EXPECT_EQ(at().column, 7);
  EXPECT_EQ(at().row, 3);
  for (int y = 0; y < 768; ++y) EXPECT_EQ(rowDirty(y), y >= 32 && y < 48) << y;
}

// Runs of text are painted from rows prepared for the current colours: each change of either
// colour, and a return to earlier ones, must show in the very next run.
TEST_F(TextScreen, EachRunTakesTheColoursCurrentWhenItIsPrinted) {
  struct Step {
    int32_t fg, bg;
    uint32_t fgPixel, bgPixel;
  };
  const Step steps[] = {{0xFFFFFF, 0x0000FF, 0xFFFF, 0x001F},
                        {0xFFFFFF, 0xFF0000, 0xFFFF, 0xF800},
                        {0x00AA00, 0xFF0000, 0x0540, 0xF800},
                        {0xFFFFFF, 0x0000FF, 0xFFFF, 0x001F}};
  int row = 2;
  for (const Step& step : steps) {
    setColour(step.fg, step.bg);
    locate(row, 10, -1);
    print("#g");
    EXPECT_TRUE(cellShows(row, 10, '#', step.fgPixel, step.bgPixel)) << row;
    EXPECT_TRUE(cellShows(row, 11, 'g', step.fgPixel, step.bgPixel)) << row;
    ++row;
  }
  // Earlier rows keep the colours they were printed in.
  EXPECT_TRUE(cellShows(3, 10, '#', 0xFFFF, 0xF800));
}

TEST_F(TextScreen, LocateRefusesPositionsOutsideTheView) {
  locate(10, 10, -1);
  struct Case {
    int row, column;
    int32_t code;
    int wantColumn, wantRow;
  };
  const Case cases[] = {{49, 1, 1, 10, 10}, {1, 129, 1, 10, 10}, {-3, 5, 1, 10, 10},
                        {0, 5, 0, 5, 10},   {7, 0, 0, 5, 7},     {48, 128, 0, 128, 48}};
  for (const Case& c : cases) {
    EXPECT_EQ(locate(c.row, c.column, -1), c.code);
    EXPECT_EQ(lastError(), c.code);
    EXPECT_EQ(at().column, c.wantColumn);
    EXPECT_EQ(at().row, c.wantRow);
  }
}

TEST_F(TextScreen, LineEndOnLastRowScrollsAtOnce) {
  locate(1, 1, -1);
  print("top");
  locate(48, 1, -1);
  setColour(0xFFFFFF, 0x00FF00);
  clearDirty();
  print("bottom", true);
  EXPECT_EQ(rowText(47, 1, 6), "bottom");
  EXPECT_EQ(rowText(1, 1, 3), "   ");
  EXPECT_EQ(at().row, 48);
  EXPECT_EQ(at().column, 1);
  EXPECT_EQ(pixel(0, 767), 0x07E0u);  // the new row takes the current background
  EXPECT_TRUE(rowDirty(0));
  EXPECT_TRUE(rowDirty(767));
}

TEST_F(TextScreen, LineEndOnRow47DoesNotScroll) {
  locate(1, 1, -1);
  print("top");
  locate(47, 1, -1);
  print("x", true);
  EXPECT_EQ(rowText(1, 1, 3), "top");
  EXPECT_EQ(at().row, 48);
  EXPECT_EQ(at().column, 1);
}

TEST_F(TextScreen, FullLastRowOwesItsScroll) {
  locate(1, 1, -1);
  print("top");
  locate(48, 1, -1);
  print(std::string(128, 'w'));
  EXPECT_EQ(rowText(1, 1, 3), "top");
  EXPECT_TRUE(probeScreen().scrollOwed);
  EXPECT_EQ(at().row, 48);
  EXPECT_EQ(at().column, 128);
  print("n");
  EXPECT_EQ(rowText(47, 1, 3), "www");
  EXPECT_EQ(rowText(48, 1, 2), "n ");
  EXPECT_FALSE(probeScreen().scrollOwed);
}

TEST_F(TextScreen, LocateCancelsTheOwedScroll) {
  locate(1, 1, -1);
  print("top");
  locate(48, 1, -1);
  print(std::string(128, 'w'));
  locate(48, 1, -1);
  print("n");
  EXPECT_EQ(rowText(1, 1, 3), "top");
  EXPECT_EQ(rowText(48, 1, 2), "nw");
}

TEST_F(TextScreen, SettingTheTextViewKeepsTheOwedScroll) {
  locate(1, 1, -1);
  print("top");
  locate(48, 1, -1);
  print(std::string(128, 'w'));
  setTextView(1, 48);
  EXPECT_TRUE(probeScreen().scrollOwed);
  EXPECT_EQ(at().row, 1);
  EXPECT_EQ(at().column, 1);
  // The owed scroll moves the cursor one row down from where the view put it; the view's
  // bottom is not passed, so nothing scrolls.
  print("Z");
  EXPECT_EQ(rowText(1, 1, 3), "top");
  EXPECT_EQ(rowText(2, 1, 2), "Z ");
  EXPECT_EQ(rowText(48, 1, 3), "www");
  EXPECT_FALSE(probeScreen().scrollOwed);
}

TEST_F(TextScreen, FullLastRowWithLineEndScrollsTwice) {
  locate(1, 1, -1);
  print("one");
  locate(2, 1, -1);
  print("two");
  locate(3, 1, -1);
  print("three");
  locate(48, 1, -1);
  print(std::string(128, 'w'), true);
  EXPECT_EQ(rowText(1, 1, 5), "three");
  EXPECT_EQ(rowText(46, 1, 2), "ww");
  EXPECT_EQ(at().row, 48);
  EXPECT_EQ(at().column, 1);
}

TEST_F(TextScreen, LongTextWrapsToTheNextRow) {
  locate(5, 120, -1);
  print("0123456789AB");
  EXPECT_EQ(rowText(5, 120, 128), "012345678");
  EXPECT_EQ(rowText(6, 1, 3), "9AB");
  EXPECT_EQ(at().row, 6);
  EXPECT_EQ(at().column, 4);
}

TEST_F(TextScreen, TabBackspaceBellAndReturnMoveTheCursorWithoutPrinting) {
  struct Case {
    int startColumn;
    std::string text;
    int wantColumn;
    std::string wantCells;  // from the start column
  };
  const Case cases[] = {
      {1, "\t", 9, "        "},    {9, "\t", 17, "        "}, {5, "\t", 9, "    "},
      {3, "ab\tc", 10, "ab    c"}, {1, "\b", 1, ""},          {4, "xy\b", 5, "xy"},
      {4, "xy\bz", 6, "xz"},       {6, "\a", 6, ""},          {6, "ab\rc", 2, ""},
  };
  for (const Case& c : cases) {
    clearScreen();
    locate(10, 1, -1);
    print(std::string(30, '.'));
    locate(10, c.startColumn, -1);
    print(c.text);
    EXPECT_EQ(at().column, c.wantColumn) << c.text;
    EXPECT_EQ(at().row, 10) << c.text;
    if (!c.wantCells.empty()) {
      EXPECT_EQ(
          rowText(10, c.startColumn, c.startColumn + static_cast<int>(c.wantCells.size()) - 1),
          c.wantCells)
          << c.text;
    }
  }
  EXPECT_EQ(virtualClock.tones, 1);   // the BEL case
  EXPECT_EQ(rowText(10, 1, 1), "c");  // CR returned to column 1 before "c"
}

TEST_F(TextScreen, LineFeedAlsoReturnsToTheLeftEdge) {
  locate(4, 10, -1);
  print("a\nb");
  EXPECT_EQ(rowText(5, 1, 1), "b");
}

TEST_F(TextScreen, TabToColumnMovesOrEndsTheLine) {
  struct Case {
    int row, column, target;
    int wantRow, wantColumn;
  };
  const Case cases[] = {
      {10, 30, 22, 11, 22}, {10, 22, 22, 10, 22}, {10, 5, 200, 10, 72},
      {10, 5, 0, 11, 1},    {10, 5, 256, 11, 1},  {10, 5, 46, 10, 46},
  };
  for (const Case& c : cases) {
    locate(c.row, c.column, -1);
    tabToColumn(c.target);
    EXPECT_EQ(at().row, c.wantRow) << c.target;
    EXPECT_EQ(at().column, c.wantColumn) << c.target;
  }
}

TEST_F(TextScreen, TabToColumnOnLastRowScrolls) {
  locate(1, 1, -1);
  print("top");
  locate(48, 30, -1);
  tabToColumn(22);
  EXPECT_EQ(rowText(1, 1, 3), "   ");
  EXPECT_EQ(at().row, 48);
  EXPECT_EQ(at().column, 22);
}

TEST_F(TextScreen, TabToColumnPaintsNothing) {
  locate(2, 1, -1);
  print("abcdefghij");
  locate(2, 3, -1);
  tabToColumn(8);
  print("X");
  EXPECT_EQ(rowText(2, 1, 10), "abcdefgXij");
}

TEST_F(TextScreen, ClearScreenFillsWithTheBackgroundOnly) {
  setColour(0x00AA00, 0);
  print("hello");
  locate(20, 20, -1);
  clearScreen();
  for (int y : {0, 383, 767})
    for (int x : {0, 512, 1023}) EXPECT_EQ(pixel(x, y), 0u);
  EXPECT_EQ(at().row, 1);
  EXPECT_EQ(at().column, 1);
  EXPECT_EQ(probeScreen().lastPointX, 512.f);
  EXPECT_EQ(probeScreen().lastPointY, 384.f);
  setColour(-1, 0x2222FF);
  clearScreen();
  EXPECT_EQ(pixel(700, 700), rgbTo565(0x2222FF));
  EXPECT_EQ(readCell(1, 1).character, ' ');
}

TEST_F(TextScreen, ClearScreenWithSmallerViewClearsOnlyTheView) {
  locate(1, 1, -1);
  print("keep");
  setTextView(10, 20);
  EXPECT_EQ(at().row, 10);
  locate(12, 1, -1);
  print("gone");
  setColour(-1, 0xFF0000);
  clearScreen();
  EXPECT_EQ(rowText(1, 1, 4), "keep");
  EXPECT_EQ(rowText(12, 1, 4), "    ");
  EXPECT_EQ(pixel(0, 16 * 9), 0xF800u);
  EXPECT_EQ(pixel(0, 16 * 20), 0u);
  EXPECT_EQ(at().row, 10);
}

TEST_F(TextScreen, ClearScreenModeOneFillsTheClipRegionOnly) {
  locate(3, 3, -1);
  print("keep");
  setColour(-1, 0xFFFFFF);
  clearScreen(1);
  EXPECT_EQ(pixel(5, 5), 0xFFFFu);
  EXPECT_EQ(rowText(3, 3, 6), "keep");  // the cell record stays
  EXPECT_EQ(at().column, 7);
}

TEST_F(TextScreen, TextViewScrollsOnlyItsRows) {
  locate(1, 1, -1);
  print("outside");
  setTextView(5, 6);
  print("a", true);
  print("b", true);
  print("c", true);
  EXPECT_EQ(rowText(1, 1, 7), "outside");
  EXPECT_EQ(rowText(5, 1, 1), "c");
  EXPECT_EQ(rowText(6, 1, 1), " ");
  EXPECT_EQ(at().row, 6);
}

TEST_F(TextScreen, ImpossibleTextViewsChangeNothing) {
  setTextView(5, 10);
  const int cases[][2] = {{10, 5}, {0, 49}, {49, 49}, {-1, -1}, {-5, 3}};
  for (const auto& c : cases) {
    setTextView(c[0], c[1]);
    EXPECT_EQ(probeScreen().textViewTop, 4);
    EXPECT_EQ(probeScreen().textViewBottom, 9) << c[0] << "," << c[1];
    setTextView(5, 10);
  }
  setTextView(0, 0);
  EXPECT_EQ(probeScreen().textViewTop, 0);
  EXPECT_EQ(probeScreen().textViewBottom, 47);
}

TEST_F(TextScreen, HugeAndArbitraryTextStaysInsideTheFrame) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>(i * 7919 % 256);
  locate(48, 128, -1);
  writeText(bytes.data(), bytes.size(), 0);
  const TextPosition p = at();
  EXPECT_GE(p.row, 1);
  EXPECT_LE(p.row, 48);
  EXPECT_GE(p.column, 1);
  EXPECT_LE(p.column, 128);
}

TEST_F(TextScreen, EmptyWriteDoesNothingUnlessSettled) {
  locate(48, 1, -1);
  print(std::string(128, 'w'));
  writeText("", 0, 0);
  EXPECT_TRUE(probeScreen().scrollOwed);
  writeText(nullptr, 0, kWriteSettle);
  EXPECT_FALSE(probeScreen().scrollOwed);
  EXPECT_EQ(at().row, 48);
  EXPECT_EQ(at().column, 1);
  EXPECT_EQ(rowText(47, 1, 2), "ww");
}
}  // namespace
