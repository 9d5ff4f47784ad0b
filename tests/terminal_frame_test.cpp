// The terminal frame: only the cells of dirty rows that changed are written, with cursor
// moves and 24-bit colours only where needed, and a table row costs few bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/terminal/terminal_frame.h"
#include "simulator/pages.h"
#include "simulator/variables.h"
#include "tests/support/screen_fixture.h"

namespace {
class TerminalFrame : public ScreenTest {
 protected:
  // The terminal shows nothing yet: the whole screen is to be sent, as at start.
  void SetUp() override {
    ScreenTest::SetUp();
    markWholeFrame();
  }
  std::string frame() {
    std::string out;
    encoder.encodeDirtyRows(shown(), out);
    return out;
  }
  FrameEncoder encoder{128, 48};
};

TEST_F(TerminalFrame, TheFirstFrameSendsEveryCellAndTheNextNothing) {
  const std::string first = frame();
  // 48 rows of 128 blanks, each row reached by one cursor move.
  size_t moves = 0;
  for (size_t at = first.find('H'); at != std::string::npos; at = first.find('H', at + 1)) ++moves;
  EXPECT_EQ(moves, 48u);
  EXPECT_EQ(std::count(first.begin(), first.end(), ' '), 128 * 48);
  EXPECT_EQ(frame(), "");
}

TEST_F(TerminalFrame, PrintedTextSendsOneMoveTheNewColourAndTheCharacters) {
  frame();
  setColour(0xFFFFFF, 0x000000);
  locate(3, 5, -1);
  printText("Hola", false);
  EXPECT_EQ(frame(), "\x1b[3;5H\x1b[38;2;255;255;255mHola");
}

TEST_F(TerminalFrame, BothColoursGoInOneEscapeAsTheFrameShowsThem) {
  frame();
  setColour(0x88FF88, 0x112233);
  locate(1, 1, -1);
  printText("x", false);
  // 5:6:5 pixels widened back to 8 bits per channel.
  EXPECT_EQ(frame(), "\x1b[1;1H\x1b[38;2;140;255;140;48;2;16;32;49mx");
}

TEST_F(TerminalFrame, CodePage437CharactersAreSentAsUtf8) {
  frame();
  locate(2, 1, -1);
  printText("\x82\xB3", false);
  EXPECT_EQ(frame(), "\x1b[2;1H\x1b[38;2;255;255;255m\xC3\xA9\xE2\x94\x82");
}

TEST_F(TerminalFrame, CellsLeftAsTheyWereAreSkippedWithACursorForward) {
  frame();
  locate(4, 1, -1);
  printText("abcde", false);
  frame();
  locate(4, 1, -1);
  printText("xbcdy", false);
  EXPECT_EQ(frame(), "\x1b[4;1Hx\x1b[3Cy");
}

TEST_F(TerminalFrame, OnlyDirtyRowsAreLookedAtAndTheirFlagsAreCleared) {
  frame();
  locate(5, 1, -1);
  printText("z", false);
  clearDirty();
  EXPECT_EQ(frame(), "");
  locate(6, 1, -1);
  printText("q", false);
  const std::string out = frame();
  EXPECT_NE(out.find("\x1b[6;1H"), std::string::npos);
  EXPECT_EQ(out.find('z'), std::string::npos);
}

TEST_F(TerminalFrame, InvalidateSendsTheDirtyRowsAgain) {
  frame();
  encoder.invalidate();
  unlockScreen(16 * 9, 16 * 9 + 15);
  const std::string out = frame();
  EXPECT_EQ(std::count(out.begin(), out.end(), ' '), 128);
  EXPECT_NE(out.find("\x1b[10;1H"), std::string::npos);
}

// The scenario table animating: frames every 10 ms of the program's time, as the
// presentation thread would take them.
TEST_F(TerminalFrame, ATableRowCostsFewBytes) {
  shareWeak = 0.2f;
  shareMedium = 0.3f;
  shareStrong = 0.4f;
  emissionFrom = 2;
  emissionTo = 2.2f;
  fireCutPercent = 50;
  drawResultsPage();
  frame();
  std::string out;
  long long sinceFrame = 0;
  size_t bytes = 0;
  virtualClock.onSleep = [&](int ms) {
    sinceFrame += ms;
    if (sinceFrame < 10) return;
    sinceFrame = 0;
    out.clear();
    encoder.encodeDirtyRows(shown(), out);
    bytes += out.size();
  };
  virtualClock.onAwaitKey = [] { queueKey('n'); };
  const long long rowsBefore = tableRowsPrinted;
  runScenarioTable();
  const long long rows = tableRowsPrinted - rowsBefore;
  ASSERT_EQ(rows, 21);
  const size_t perRow = bytes / static_cast<size_t>(rows);
  RecordProperty("bytesPerTableRow", std::to_string(perRow));
  std::printf("bytes per table row: %zu\n", perRow);
  // Repainting a row's 128 cells with their colours would take several thousand bytes.
  EXPECT_LT(perRow, 1000u);
}
}  // namespace
