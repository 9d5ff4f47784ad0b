// The terminal's colour depth from TERM and COLORTERM, the nearest palette entries, and the
// escapes a frame sends at each depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/terminal/terminal_colours.h"
#include "platform/terminal/terminal_frame.h"
#include "tests/support/screen_fixture.h"

namespace {
TEST(TerminalColours, DepthFollowsWhatTheTerminalAnnounces) {
  struct Case {
    const char* term;
    const char* colorTerm;
    ColourDepth depth;
  };
  const Case cases[] = {
      {"xterm-256color", "truecolor", ColourDepth::Direct},
      {"linux", "24bit", ColourDepth::Direct},
      {"tmux-256color", nullptr, ColourDepth::Palette256},
      {"xterm-256color", "", ColourDepth::Palette256},
      {"screen-256color", "yes", ColourDepth::Palette256},
      {"linux", nullptr, ColourDepth::Palette16},
      {"xterm", nullptr, ColourDepth::Palette16},
      {nullptr, nullptr, ColourDepth::Palette16},
      {"xterm-256color", "TrueColour", ColourDepth::Palette256},
  };
  for (const Case& c : cases)
    EXPECT_EQ(colourDepthFor(c.term, c.colorTerm), c.depth)
        << (c.term ? c.term : "null") << " / " << (c.colorTerm ? c.colorTerm : "null");
}

int distance(uint32_t a, uint32_t b) {
  int sum = 0;
  for (int shift : {16, 8, 0}) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

TEST(TerminalColours, PaletteEntriesOfTheCubeAndTheGreyRamp) {
  EXPECT_EQ(paletteColour(16), 0x000000u);
  EXPECT_EQ(paletteColour(34), 0x00AF00u);
  EXPECT_EQ(paletteColour(231), 0xFFFFFFu);
  EXPECT_EQ(paletteColour(232), 0x080808u);
  EXPECT_EQ(paletteColour(255), 0xEEEEEEu);
  EXPECT_EQ(paletteColour(2), 0x00AA00u);
  EXPECT_EQ(paletteColour(14), 0x55FFFFu);
}

// Every 7th colour of the 24-bit space: the entry chosen is as near as any other (the cube
// and the greys only, since entries 0-15 differ between terminals), the lowest such entry.
TEST(TerminalColours, NearestOf256IsTheClosestEntry) {
  for (uint32_t rgb = 0; rgb <= 0xFFFFFF; rgb += 0x070707 + 0x000100 * 3) {
    int best = 16;
    for (int index = 17; index < 256; ++index)
      if (distance(rgb, paletteColour(index)) < distance(rgb, paletteColour(best))) best = index;
    ASSERT_EQ(nearestOf256(rgb), best) << std::hex << rgb;
  }
}

TEST(TerminalColours, NearestOf16) {
  struct Case {
    uint32_t rgb;
    int index;
  };
  const Case cases[] = {{0x000000, 0}, {0x00AA00, 2},  {0x88FF88, 10}, {0xFFFFFF, 15},
                        {0xBB1111, 1}, {0x111199, 4},  {0x8888FF, 12}, {0x404040, 8},
                        {0xA0A0A0, 7}, {0xFFFF00, 11}, {0x996600, 3},  {0x00C0C0, 6}};
  for (const Case& c : cases) EXPECT_EQ(nearestOf16(c.rgb), c.index) << std::hex << c.rgb;
}

TEST(TerminalColours, ParametersAtEachDepth) {
  struct Case {
    ColourDepth depth;
    bool background;
    uint32_t rgb;
    const char* parameters;
  };
  const Case cases[] = {
      {ColourDepth::Direct, false, 0x00AA00, "38;2;0;170;0"},
      {ColourDepth::Direct, true, 0x102030, "48;2;16;32;48"},
      {ColourDepth::Palette256, false, 0x00AA00, "38;5;34"},
      {ColourDepth::Palette256, true, 0x808080, "48;5;244"},
      {ColourDepth::Palette16, false, 0x00AA00, "32"},
      {ColourDepth::Palette16, false, 0xFFFFFF, "97"},
      {ColourDepth::Palette16, true, 0x000000, "40"},
      {ColourDepth::Palette16, true, 0x5555FF, "104"},
  };
  for (const Case& c : cases) {
    std::string out;
    appendColourParameters(out, c.depth, c.background, c.rgb);
    EXPECT_EQ(out, c.parameters) << std::hex << c.rgb;
  }
}

class TerminalFrameDepth : public ScreenTest {
 protected:
  std::string frameAt(ColourDepth depth) {
    FrameEncoder encoder{128, 48, depth};
    markWholeFrame();
    std::string out;
    encoder.encodeDirtyRows(shown(), out);
    // The same frame again once the terminal shows it: nothing to send.
    markWholeFrame();
    std::string again;
    encoder.encodeDirtyRows(shown(), again);
    EXPECT_EQ(again, "");
    return out;
  }
};

TEST_F(TerminalFrameDepth, ColoursThatShareAnEntrySendOneEscape) {
  setColour(0x00AA00, 0);
  locate(1, 1, -1);
  printText("a", false);
  setColour(0x00A000, 0);  // another green (0,162,0), the same standard colour and palette entry
  printText("b", false);
  const std::string sixteen = frameAt(ColourDepth::Palette16);
  EXPECT_NE(sixteen.find("\x1b[32;40mab"), std::string::npos);
  EXPECT_EQ(sixteen.find("38;5;"), std::string::npos);
  EXPECT_EQ(sixteen.find("38;2;"), std::string::npos);
  const std::string palette = frameAt(ColourDepth::Palette256);
  EXPECT_NE(palette.find("\x1b[38;5;34;48;5;16mab"), std::string::npos);
  EXPECT_EQ(palette.find("38;2;"), std::string::npos);
  const std::string direct = frameAt(ColourDepth::Direct);
  EXPECT_NE(direct.find("\x1b[38;2;0;170;0;48;2;0;0;0ma\x1b[38;2;0;162;0mb"), std::string::npos);
}
}  // namespace
