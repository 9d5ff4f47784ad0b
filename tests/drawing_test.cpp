// Tests of line, box outline and filled box drawing on the 1024x768 16-bit screen: exact
// pixels, the rows marked for copying, clipping, patterns and hostile coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "screen/backend/backend_port.h"
#include "screen/pixel_spans.h"
#include "screen/screen.h"
#include "screen/testing/screen_probe.h"
#include "tests/support/screen_fixture.h"

namespace {

constexpr uint32_t kWhite = 0xFFFF;  // the foreground after the mode set
constexpr int32_t kGreen = 0x11FF11;
constexpr uint32_t kGreenPixel = 0x17E2;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using Shape = std::function<bool(int x, int y)>;
using PixelSet = std::set<std::pair<int, int>>;

Shape rect(int x0, int y0, int x1, int y1) {
  return [=](int x, int y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
}
Shape nothing() {
  return [](int, int) { return false; };
}
Shape pixels(PixelSet set) {
  return [set = std::move(set)](int x, int y) { return set.count({x, y}) != 0; };
}

class DrawingTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    clearDirty();
  }

  void line(float x1, float y1, float x2, float y2, uint32_t colour = kCurrentForeground,
            int32_t style = 0xFFFF, int32_t relative = 0) {
    drawLine(nullptr, x1, y1, x2, y2, colour, 0, style, relative);
  }
  void box(float x1, float y1, float x2, float y2, int32_t shape,
           uint32_t colour = kCurrentForeground, int32_t style = 0xFFFF, int32_t relative = 0) {
    drawLine(nullptr, x1, y1, x2, y2, colour, shape, style, relative);
  }

  // Every pixel of the frame: `colour` where the shape is, black elsewhere.
  void expectFrame(const Shape& on, uint32_t colour) {
    const int width = shown().width, height = shown().height;
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const uint32_t want = on(x, y) ? colour : 0;
        const uint32_t got = pixel(x, y);
        if (got != want && ++wrong <= 5) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << got << ", want " << want;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }

  // Exactly rows first..last are marked (none when first > last).
  void expectDirty(int first, int last) {
    expectDirtyWhere([=](int y) { return y >= first && y <= last; });
  }
  void expectDirtyWhere(const std::function<bool(int y)>& marked) {
    int wrong = 0;
    for (int y = 0, height = shown().height; y < height; ++y) {
      const bool want = marked(y);
      if (rowDirty(y) != want && ++wrong <= 5) {
        ADD_FAILURE() << "row " << y << (want ? " not marked" : " marked");
      }
    }
    EXPECT_EQ(wrong, 0);
  }

  // The set pixels of the frame, for lines whose exact path is checked by its properties.
  PixelSet setPixels() {
    PixelSet set;
    for (int y = 0, height = shown().height; y < height; ++y) {
      for (int x = 0, width = shown().width; x < width; ++x) {
        if (pixel(x, y) != 0) set.insert({x, y});
      }
    }
    return set;
  }
};

TEST_F(DrawingTest, FrameLineInCurrentForegroundMarksOnlyItsRow) {
  setColour(0x99EE99, 0);
  line(0, 350, 1023, 350);
  expectFrame(rect(0, 350, 1023, 350), 0x9F73);
  expectDirty(350, 350);
}

// The table redraws its column lines after each cell it prints over them: only the rows the
// cell covered change, so only those go to the window again.
TEST_F(DrawingTest, RedrawnColumnLineMarksOnlyTheRowsItRepaired) {
  setColour(0x99EE99, 0);
  line(100, 31, 100, 629);
  expectFrame(rect(100, 31, 100, 629), 0x9F73);
  expectDirty(31, 629);
  locate(10, 13, -1);  // the cell of pixels 96..103 x 144..159
  printText("#", false);
  clearDirty();
  line(100, 629, 100, 31);
  for (int y = 31; y <= 629; ++y) ASSERT_EQ(pixel(100, y), 0x9F73u) << y;
  expectDirty(144, 159);
  clearDirty();
  line(100, 31, 100, 629);
  expectDirty(-1, -1);
}

TEST_F(DrawingTest, FullFrameOutlineInEitherCornerOrder) {
  struct Case {
    float x1, y1, x2, y2;
  };
  for (const Case c : {Case{0, 0, 1023, 760}, Case{1023, 760, 0, 0}, Case{0, 760, 1023, 0}}) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
    clearScreen();
    clearDirty();
    box(c.x1, c.y1, c.x2, c.y2, 1);
    expectFrame(
        [](int x, int y) { return y == 0 || y == 760 ? true : (x == 0 || x == 1023) && y < 760; },
        kWhite);
    expectDirty(0, 760);
  }
}

TEST_F(DrawingTest, FilledBoxInEitherCornerOrder) {
  struct Case {
    float x1, y1, x2, y2;
  };
  for (const Case c :
       {Case{958, 300, 972, 630}, Case{972, 630, 958, 300}, Case{958, 630, 972, 300}}) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
    clearScreen();
    clearDirty();
    box(c.x1, c.y1, c.x2, c.y2, 2, 0xBB1111);
    expectFrame(rect(958, 300, 972, 630), 0xB882);
    EXPECT_EQ(setPixels().size(), 15u * 331u);
    expectDirty(300, 630);
  }
}

TEST_F(DrawingTest, BoxesIgnoreTheStyle) {
  box(10, 10, 40, 20, 1, kCurrentForeground, 0x00FF);
  expectFrame(
      [](int x, int y) {
        return rect(10, 10, 40, 20)(x, y) && (x == 10 || x == 40 || y == 10 || y == 20);
      },
      kWhite);
  expectDirty(10, 20);
}

// The outline's side edges stop at the last clipped row even when the bottom edge is cut off.
TEST_F(DrawingTest, OutlineCutAtTheBottomLeavesTheLastRowOpen) {
  box(100, 700, 200, 900, 1);
  expectFrame(
      [](int x, int y) {
        return (y == 700 && x >= 100 && x <= 200) || ((x == 100 || x == 200) && y > 700 && y < 767);
      },
      kWhite);
  expectDirty(700, 767);
}

TEST_F(DrawingTest, CornersRoundHalfAwayFromZero) {
  struct Case {
    float x, y;
    int px, py;
  };
  const Case cases[] = {
      {957.5f, 2.5f, 958, 3},      {1020.4f, 0.49f, 1020, 0}, {-0.4f, -0.4f, 0, 0},
      {0.49999997f, 10.5f, 0, 11},  // +0.5 in single precision would give 1
      {100.5f, 766.5f, 101, 767},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    clearScreen();
    clearDirty();
    line(c.x, c.y, c.x, c.y);
    expectFrame(rect(c.px, c.py, c.px, c.py), kWhite);
    expectDirty(c.py, c.py);
  }
  clearScreen();
  box(957.5f, 100, 1020.4f, 100.49f, 2);
  expectFrame(rect(958, 100, 1020, 100), kWhite);
}

// Around every kind of half-way point the corner lands on std::round of its value (half away
// from zero), whichever way the drawing computes it.
TEST_F(DrawingTest, CornersNextToHalfWayRoundLikeStdRound) {
  std::vector<float> values;
  for (float n : {0.0f, 1.0f, 99.0f, 511.0f, 1022.0f}) {
    const float half = n + 0.5f;
    values.insert(values.end(), {half, std::nextafter(half, 0.0f), std::nextafter(half, 2000.0f)});
  }
  values.insert(values.end(), {1e-30f, 0.49999997f, 1023.4999f});
  for (const float v : values) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << v);
    clearScreen();
    line(v, 300, v, 300);
    const int x = static_cast<int>(std::lround(static_cast<double>(v)));
    expectFrame(rect(x, 300, x, 300), kWhite);
  }
  // Corners at the edge of the far range still reach the whole row.
  clearScreen();
  line(-16777216.0f, 200, 16777216.0f, 200);
  expectFrame(rect(0, 200, 1023, 200), kWhite);
}

TEST_F(DrawingTest, LinesWhollyOutsideDrawNothing) {
  struct Case {
    float x1, y1, x2, y2;
  };
  const Case cases[] = {
      {-10, -10, -1, -50},    {1024, 0, 2000, 700}, {0, -5, 1023, -1},
      {0, 768, 500, 900},     {-100, 50, 50, -100},  // crosses both outer edges but never the
                                                     // screen
      {-1, -228, 1172, 28},  // moved onto the top edge, then seen to lie past the right
      {1100, 700, 700, 1100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
    line(c.x1, c.y1, c.x2, c.y2);
    box(c.x1, c.y1, c.x1, c.y1, 2);
  }
  expectFrame(nothing(), 0);
  expectDirty(1, 0);
}

TEST_F(DrawingTest, HorizontalLineClippedAtTheLeft) {
  line(-100, 10, 100, 10, static_cast<uint32_t>(kGreen));
  expectFrame(rect(0, 10, 100, 10), kGreenPixel);
  expectDirty(10, 10);
}

// The pattern starts at the first corner given, whichever way the line runs.
TEST_F(DrawingTest, StylePatternFollowsTheFirstCorner) {
  struct Case {
    float x1, y1, x2, y2;
    int32_t style;
    std::vector<int> along;  // positions set along the line's axis
  };
  const std::vector<Case> cases = {
      {0, 5, 15, 5, 0xF0F0, {0, 1, 2, 3, 8, 9, 10, 11}},
      {15, 5, 0, 5, 0xF0F0, {12, 13, 14, 15, 4, 5, 6, 7}},
      {20, 0, 20, 15, 0xF0F0, {0, 1, 2, 3, 8, 9, 10, 11}},
      {20, 15, 20, 0, 0xF0F0, {12, 13, 14, 15, 4, 5, 6, 7}},
      // A length that is no multiple of 16: the reversed pattern starts mid-word.
      {20, 7, 0, 7, 0x8000, {20, 4}},
      {30, 20, 30, 0, 0x18000, {20, 4}},  // only the low 16 bits count
      {0, 9, 40, 9, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
    clearScreen();
    clearDirty();
    line(c.x1, c.y1, c.x2, c.y2, kCurrentForeground, c.style);
    PixelSet want;
    const bool vertical = c.x1 == c.x2;
    for (int v : c.along) {
      want.insert(vertical ? std::pair{static_cast<int>(c.x1), v}
                           : std::pair{v, static_cast<int>(c.y1)});
    }
    expectFrame(pixels(want), kWhite);
    expectDirty(static_cast<int>(std::min(c.y1, c.y2)), static_cast<int>(std::max(c.y1, c.y2)));
  }
}

TEST_F(DrawingTest, BresenhamStepsTheMinorAxisOnATie) {
  struct Case {
    float x1, y1, x2, y2;
    int32_t style;
    PixelSet want;
  };
  const std::vector<Case> cases = {
      {0, 0, 4, 2, 0xFFFF, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
      {4, 2, 0, 0, 0xFFFF, {{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},
      {0, 0, 2, 4, 0xFFFF, {{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}},
      {10, 10, 13, 13, 0xFFFF, {{10, 10}, {11, 11}, {12, 12}, {13, 13}}},
      {0, 0, 4, 2, 0xAAAA, {{0, 0}, {2, 1}, {4, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
    clearScreen();
    clearDirty();
    line(c.x1, c.y1, c.x2, c.y2, kCurrentForeground, c.style);
    expectFrame(pixels(c.want), kWhite);
    expectDirty(static_cast<int>(std::min(c.y1, c.y2)), static_cast<int>(std::max(c.y1, c.y2)));
  }
}

// A steep line crossing one edge is moved onto that edge with its offset truncated toward
// zero; what remains is one pixel per row between the two ends.
TEST_F(DrawingTest, SteepLinesClipAgainstEachEdge) {
  struct Case {
    const char* edge;
    float x1, y1, x2, y2;
    int ax, ay, bx, by;  // the drawn segment's ends
  };
  const Case cases[] = {
      {"left", -3, 0, 4, 100, 0, 42, 4, 100},  // 100/7 · 3 = 42.86
      {"right", 1020, 100, 1030, 300, 1020, 100, 1023, 160},
      {"top", 10, -50, 3, 100, 7, 0, 3, 100},  // 10 − 50·7/150 = 7.67
      {"bottom", 200, 700, 210, 900, 200, 700, 203, 767},
      {"corner", -20, -30, 30, 20, 10, 0, 30, 20},  // left edge first, then the top
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edge);
    clearScreen();
    clearDirty();
    line(c.x1, c.y1, c.x2, c.y2);
    const PixelSet got = setPixels();
    EXPECT_TRUE(got.count({c.ax, c.ay}));
    EXPECT_TRUE(got.count({c.bx, c.by}));
    const int top = std::min(c.ay, c.by), bottom = std::max(c.ay, c.by);
    EXPECT_EQ(got.size(), static_cast<size_t>(bottom - top + 1));
    for (const auto& [x, y] : got) {
      EXPECT_GE(y, top);
      EXPECT_LE(y, bottom);
      EXPECT_GE(x, std::min(c.ax, c.bx));
      EXPECT_LE(x, std::max(c.ax, c.bx));
    }
    expectDirty(top, bottom);
  }
}

// Corners are relative to the clip region's top-left, and nothing leaves the region.
TEST_F(DrawingTest, ClipRegionOffsetsAndBoundsTheDrawing) {
  probeSetClipRegion(100, 50, 200, 100);
  line(-0.4f, 0, 500, 0);      // −0.4 rounds to 0: starts at the region's left edge
  line(-0.5f, 10, -0.5f, 10);  // −0.5 rounds to −1: just left of the region
  box(190, 90, 400, 400, 1);   // only its top-left corner edges are inside
  expectFrame(
      [](int x, int y) {
        return (y == 50 && x >= 100 && x <= 299) || (y == 140 && x >= 290 && x <= 299) ||
               (x == 290 && y >= 140 && y < 149);
      },
      kWhite);
  expectDirtyWhere([](int y) { return y == 50 || (y >= 140 && y <= 149); });
}

TEST_F(DrawingTest, RelativeCornersAndTheLastPoint) {
  struct Case {
    int32_t relative;
    float x1, y1, x2, y2;
    int bx0, by0, bx1, by1;  // the filled box drawn
  };
  // The last point is (100, 200) before each call.
  const Case cases[] = {
      {0, 10, 10, 15, 13, 10, 10, 15, 13},   {1, 10, 10, 5, 3, 10, 10, 15, 13},
      {2, 10, 10, 15, 13, 110, 210, 15, 13}, {5, 10, 10, 15, 13, 110, 210, 15, 13},
      {3, 10, 10, 5, 3, 110, 210, 115, 213}, {4, 10, 10, 15, 13, 10, 10, 15, 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.relative);
    clearScreen();
    probeSetLastPoint(100, 200);
    box(c.x1, c.y1, c.x2, c.y2, 2, kCurrentForeground, 0xFFFF, c.relative);
    expectFrame(rect(std::min(c.bx0, c.bx1), std::min(c.by0, c.by1), std::max(c.bx0, c.bx1),
                     std::max(c.by0, c.by1)),
                kWhite);
    EXPECT_EQ(probeScreen().lastPointX, static_cast<float>(c.bx1));
    EXPECT_EQ(probeScreen().lastPointY, static_cast<float>(c.by1));
  }
  // The last point keeps the unrounded second corner, even for a line drawn off screen.
  line(5, 5, -10.25f, 2000.75f);
  EXPECT_EQ(probeScreen().lastPointX, -10.25f);
  EXPECT_EQ(probeScreen().lastPointY, 2000.75f);
}

TEST_F(DrawingTest, ExplicitColoursConvertToPixels) {
  struct Case {
    uint32_t colour;
    uint32_t pixel;
  };
  const Case cases[] = {{0x11FF11, 0x17E2}, {0xBB1111, 0xB882},   {0xFFFFFF, 0xFFFF},
                        {0x070307, 0x0000}, {0x7F11FF11, 0x17E2}, {0x00AA00, 0x0540}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colour);
    line(3, 3, 3, 3, c.colour);
    EXPECT_EQ(pixel(3, 3), c.pixel);
  }
}

// Far-away points clip like the true line through them; NaN draws nothing.
TEST_F(DrawingTest, HostileCoordinatesClipSafely) {
  const float kFar = 1e30f;
  const float kMax = std::numeric_limits<float>::max();
  struct Case {
    const char* name;
    int32_t shape;
    float x1, y1, x2, y2;
    Shape want;
    int dirtyFirst, dirtyLast;
  };
  const std::vector<Case> cases = {
      {"NaN line", 0, kNaN, 10, 100, 10, nothing(), 1, 0},
      {"NaN box end", 2, 10, 10, 100, kNaN, nothing(), 1, 0},
      {"far diagonal", 0, 512, 384, kFar, kFar,
       [](int x, int y) { return x - 512 == y - 384 && y >= 384; }, 384, 767},
      {"infinite diagonal", 0, 0, 0, kInf, kInf, [](int x, int y) { return x == y; }, 0, 767},
      {"both ends far", 0, -kFar, -kFar, kFar, kFar, [](int x, int y) { return x == y; }, 0, 767},
      {"infinite row", 0, -kInf, 10, kInf, 10, rect(0, 10, 1023, 10), 10, 10},
      {"far and shallow", 0, 0, 100, kFar, 1e20f, rect(0, 100, 1023, 100), 100, 100},
      {"largest column", 0, 40, kMax, 40, -kMax, rect(40, 0, 40, 767), 0, 767},
      {"beyond 32 bits", 2, 100, 100, 3e9f, 200, rect(100, 100, 1023, 200), 100, 200},
      {"infinite box", 2, -kFar, -kInf, kFar, kInf, rect(0, 0, 1023, 767), 0, 767},
      {"outline around the screen", 1, -kInf, -kFar, kFar, kInf, nothing(), 0, 767},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clearScreen();
    clearDirty();
    drawLine(nullptr, c.x1, c.y1, c.x2, c.y2, kCurrentForeground, c.shape, 0xFFFF, 0);
    expectFrame(c.want, kWhite);
    expectDirty(c.dirtyFirst, c.dirtyLast);
  }
  // Relative corners that overflow to infinity, and a NaN last point, stay harmless.
  clearScreen();
  probeSetLastPoint(kMax, 0);
  line(kMax, 10, 0, 10, kCurrentForeground, 0xFFFF, 2);  // first corner becomes (inf, 10)
  expectFrame(rect(0, 10, 1023, 10), kWhite);
  probeSetLastPoint(kNaN, probeScreen().lastPointY);
  line(1, 1, 5, 5, kCurrentForeground, 0xFFFF, 3);
  expectFrame(rect(0, 10, 1023, 10), kWhite);
  EXPECT_TRUE(std::isnan(probeScreen().lastPointX));
}

TEST_F(DrawingTest, DrawsOnlyOnTheScreen) {
  uint16_t image[16] = {};
  probeSetLastPoint(7, probeScreen().lastPointY);
  drawLine(image, 0, 0, 3, 0, kCurrentForeground, 0, 0xFFFF, 0);
  for (uint16_t p : image) EXPECT_EQ(p, 0);
  expectFrame(nothing(), 0);
  expectDirty(1, 0);
  EXPECT_EQ(probeScreen().lastPointX, 7.0f);  // untouched by an ignored call

  setScreenMode(0, 0, 0, 0, 0);
  ASSERT_FALSE(graphicsScreenExists());
  drawLine(nullptr, 0, 0, 100, 100, kCurrentForeground, 2, 0xFFFF, 0);  // must not crash
}

int locks = 0;
int unlocks = 0;

TEST_F(DrawingTest, TakesTheScreenLockOnlyToDraw) {
  Backend counting = *currentBackend();
  counting.lock = [] { ++locks; };
  counting.unlock = [] { ++unlocks; };
  const Backend* original = currentBackend();
  probeSetBackend(&counting);
  locks = unlocks = 0;

  line(0, 0, 10, 0);
  box(0, 0, 10, 10, 2);
  EXPECT_EQ(locks, 2);
  EXPECT_EQ(unlocks, 2);
  line(-10, -10, -5, -5);  // rejected before the lock is needed
  box(2000, 0, 3000, 10, 1);
  EXPECT_EQ(locks, 2);

  // Inside the program's own hold the drawing neither locks nor unlocks.
  lockScreen();
  line(0, 20, 10, 20);
  EXPECT_EQ(locks, 3);
  EXPECT_EQ(unlocks, 2);
  EXPECT_TRUE(probeScreen().heldByProgram);
  EXPECT_FALSE(probeScreen().heldByOperation);
  unlockScreen();
  EXPECT_EQ(unlocks, 3);
  probeSetBackend(original);
}

// Span fills and colour conversion for the other depths, on hand-made rows.
TEST(PixelSpans, FillSpanWritesOnlyTheSpanAtEveryPixelSize) {
  for (int bytes : {1, 2, 4}) {
    SCOPED_TRACE(bytes);
    std::vector<uint8_t> row(static_cast<size_t>(16 * bytes), 0);
    uint8_t* const rows[] = {row.data()};
    const PixelRows s{rows, bytes, 16 * bytes, 16};
    // Starts on and off an even pixel, odd and even lengths, single pixels.
    const std::pair<int, int> spans[] = {{3, 9}, {2, 8}, {2, 9}, {3, 10}, {0, 15}, {5, 5}, {4, 4}};
    for (const auto& [x0, x1] : spans) {
      SCOPED_TRACE(testing::Message() << x0 << ".." << x1);
      std::fill(row.begin(), row.end(), uint8_t{0});
      fillSpan(s, 0, x0, x1, 0xA1B2C3D4u);
      fillSpan(s, 0, 12, 11, 0xFFu);  // empty span
      const uint32_t mask = bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
      for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(getPixel(s, x, 0), x >= x0 && x <= x1 ? 0xA1B2C3D4u & mask : 0u) << x;
      }
    }
  }
}

// A column fill skips pixels that already hold the value; the others must still change, and
// nothing beside the column or outside its rows may.
TEST(PixelSpans, FillColumnSetsEveryRowOfTheColumnAtEveryPixelSize) {
  for (int bytes : {1, 2, 4}) {
    SCOPED_TRACE(bytes);
    constexpr int kWidth = 5, kRows = 6;
    const uint32_t mask = bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
    const uint32_t value = 0xA1B2C3D4u & mask;
    std::vector<uint8_t> page(static_cast<size_t>(kWidth * kRows * bytes), 0x11);
    std::vector<uint8_t*> rows;
    for (int y = 0; y < kRows; ++y) rows.push_back(page.data() + y * kWidth * bytes);
    const PixelRows s{rows.data(), bytes, kWidth * bytes, kWidth};
    setPixel(s, 2, 2, value);      // already right
    setPixel(s, 2, 3, value ^ 1);  // differs in one bit
    const RowRange changed = fillColumn(s, 2, 1, 4, value);
    EXPECT_EQ(changed.first, 1);
    EXPECT_EQ(changed.last, 4);
    const RowRange again = fillColumn(s, 2, 0, 5, value);  // only the ends still differ
    EXPECT_EQ(again.first, 0);
    EXPECT_EQ(again.last, 5);
    const RowRange same = fillColumn(s, 2, 1, 4, value);
    EXPECT_GT(same.first, same.last);
    const RowRange empty = fillColumn(s, 0, 3, 2, 0);
    EXPECT_GT(empty.first, empty.last);
    for (int y = 0; y < kRows; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const uint32_t expected = x == 2 ? value : 0x11111111u & mask;
        EXPECT_EQ(getPixel(s, x, y), expected) << x << "," << y;
      }
  }
}

TEST(PixelSpans, ColourToPixelPerDepth) {
  struct Case {
    int32_t depth;
    uint32_t mask;
    int32_t colour;
    uint32_t pixel;
  };
  const Case cases[] = {
      {16, 0xFFFF, 0x11FF11, 0x17E2},
      {16, 0xFFFF, 0xBB1111, 0xB882},
      {16, 0xFFFF, 0x88FF88, 0x8FF1},
      {32, 0xFFFFFFFF, 0x7F123456, 0x123456},
      {8, 0xFF, 0x1234, 0x34},
      {4, 0xF, 0x1F, 0xF},
      {1, 0x1, 2, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(colourToPixel(c.depth, c.mask, c.colour), c.pixel) << c.depth << " " << c.colour;
  }
}

}  // namespace
