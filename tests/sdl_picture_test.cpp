// The SDL window's picture arithmetic: where the frame goes in a window or on a display, the
// first window's size from the desktop's scale and work area, the scaler's weights and
// blocks, and which picture rows a band of changed frame rows reaches.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/sdl/picture_geometry.h"
#include "platform/sdl/picture_scaler.h"

namespace {
struct FitCase {
  int areaWidth, areaHeight;
  PictureRect expected;
};

TEST(PictureFit, LargestFourThreeRectangleCentred) {
  const FitCase cases[] = {
      {1024, 768, {0, 0, 1024, 768}},      // the frame's own size: pixel for pixel
      {1920, 1080, {240, 0, 1440, 1080}},  // wide display: fills the height
      {1600, 900, {200, 0, 1200, 900}},
      {1366, 768, {171, 0, 1024, 768}},  // wide but only 768 tall: 1:1 with bars
      {800, 600, {0, 0, 800, 600}},      // smaller display: the whole picture scaled down
      {2048, 1536, {0, 0, 2048, 1536}},
      {3840, 2160, {480, 0, 2880, 2160}},
      {1024, 1000, {0, 116, 1024, 768}},  // tall window: fills the width
      {1280, 1024, {0, 32, 1280, 960}},
      {1, 1, {0, 0, 1, 1}},  // tiny windows keep at least one pixel
      {1, 500, {0, 249, 1, 1}},
      {500, 1, {249, 0, 1, 1}},
      {0, 768, {}},  // nothing to show in
      {1024, -5, {}},
  };
  for (const FitCase& c : cases) {
    EXPECT_EQ(fitPicture(1024, 768, c.areaWidth, c.areaHeight), c.expected)
        << c.areaWidth << "x" << c.areaHeight;
  }
  EXPECT_TRUE(fitPicture(0, 768, 100, 100).empty());
}

TEST(PictureFit, AlwaysInsideTheAreaAndCloseToTheFramesProportions) {
  for (int w = 1; w <= 2100; w += 37) {
    for (int h = 1; h <= 1700; h += 29) {
      const PictureRect r = fitPicture(1024, 768, w, h);
      ASSERT_GE(r.x, 0);
      ASSERT_GE(r.y, 0);
      ASSERT_LE(r.x + r.width, w);
      ASSERT_LE(r.y + r.height, h);
      ASSERT_TRUE(r.width == w || r.height == h) << w << "x" << h;  // touches two edges
      // Within a pixel of 4:3.
      ASSERT_LE(std::abs(r.width * 3 - r.height * 4), 4) << w << "x" << h;
    }
  }
}

TEST(PicturePoints, TheMouseIsGivenInFramePixelsAndWarpedToTheBlocksMiddle) {
  const PictureRect wide{240, 0, 1440, 1080};  // 1920 x 1080 full screen
  EXPECT_EQ(framePoint(wide, 1024, 768, 240, 0), (PicturePoint{0, 0}));
  EXPECT_EQ(framePoint(wide, 1024, 768, 1679, 1079), (PicturePoint{1023, 767}));
  EXPECT_EQ(framePoint(wide, 1024, 768, 960, 540), (PicturePoint{512, 384}));
  EXPECT_EQ(framePoint(wide, 1024, 768, 0, 0), (PicturePoint{0, 0}));  // on the black bars
  EXPECT_EQ(framePoint(wide, 1024, 768, 1919, 2000), (PicturePoint{1023, 767}));
  const PictureRect same{0, 0, 1024, 768};
  EXPECT_EQ(framePoint(same, 1024, 768, 100, 200), (PicturePoint{100, 200}));
  EXPECT_EQ(windowPoint(same, 1024, 768, 100, 200), (PicturePoint{100, 200}));
  const PictureRect twice{0, 0, 2048, 1536};
  EXPECT_EQ(windowPoint(twice, 1024, 768, 10, 20), (PicturePoint{21, 41}));
  // Every frame pixel's place in a picture at least as large leads back to that pixel.
  for (const PictureRect& r : {wide, twice, PictureRect{5, 7, 1200, 900}})
    for (int x = 0; x < 1024; x += 7) {
      const PicturePoint w = windowPoint(r, 1024, 768, x, x * 3 / 4);
      ASSERT_EQ(framePoint(r, 1024, 768, w.x, w.y), (PicturePoint{x, x * 3 / 4}))
          << r.width << "x" << r.height << " at " << x;
    }
  EXPECT_EQ(framePoint(PictureRect{}, 1024, 768, 5, 5), (PicturePoint{}));
}

struct ScaleCase {
  const char* gdkScale;
  const char* xftDpi;
  int expected;
};

TEST(DesktopScale, GdkScaleFirstThenXftDpiWithSaneFallbacks) {
  const ScaleCase cases[] = {
      {nullptr, nullptr, 1},
      {"", "", 1},
      {"2", nullptr, 2},
      {"2", "96", 2},   // GDK_SCALE wins
      {"1", "192", 1},  // even when it says 1
      {nullptr, "192", 2},
      {nullptr, "191.9", 1},  // rounded down
      {nullptr, "144", 1},
      {nullptr, "288", 3},
      {nullptr, "96.0", 1},
      {nullptr, " 192 ", 2},
      {nullptr, "48", 1},  // below 96: at least 1
      {nullptr, "0", 1},
      {nullptr, "-192", 1},  // not a number of dots
      {nullptr, "abc", 1},
      {nullptr, "192dpi", 1},
      {nullptr, "1.2.3", 1},
      {nullptr, "100000", kMaxDesktopScale},
      {nullptr, "99999999999999999999", 1},  // out of any range: ignored
      {"abc", "192", 2},                     // a bad GDK_SCALE falls back to Xft.dpi
      {"0", "192", 2},
      {"100", "192", 2},
      {"-2", nullptr, 1},
      {"2.5", nullptr, 1},
      {" 2", nullptr, 1},
      {"8", nullptr, 8},
      {"9", nullptr, 1},
  };
  for (const ScaleCase& c : cases) {
    EXPECT_EQ(desktopScale(c.gdkScale, c.xftDpi), c.expected)
        << "GDK_SCALE=" << (c.gdkScale ? c.gdkScale : "(unset)")
        << " Xft.dpi=" << (c.xftDpi ? c.xftDpi : "(unset)");
  }
}

TEST(DesktopScale, XftDpiIsReadFromTheResourceText) {
  EXPECT_EQ(xftDpiResource("Xft.dpi:\t192\n"), "192");
  EXPECT_EQ(xftDpiResource("Xcursor.size:\t24\nXft.dpi:\t144\nXft.antialias:\t1\n"), "144");
  EXPECT_EQ(xftDpiResource("Xft.dpi: 96\nXft.dpi: 192"), "192");  // the last one counts
  EXPECT_EQ(xftDpiResource("Xft.dpi:192"), "192");
  EXPECT_EQ(xftDpiResource("*.dpi:\t192\nXft.dpix:\t192\n"), "");
  EXPECT_EQ(xftDpiResource(""), "");
  EXPECT_EQ(xftDpiResource("no colon here\n"), "");
}

struct WindowCase {
  const char* what;
  int scale, workWidth, workHeight;
  FrameBorders borders;
  WindowSize expected;
};

TEST(FirstWindow, ScaledThenReducedToFitTheWorkArea) {
  const FrameBorders openbox{20, 1, 5, 1};
  const WindowCase cases[] = {
      {"1x on a desktop with room", 1, 1920, 1080, openbox, {1024, 768}},
      {"2x on a 4K desktop", 2, 3840, 2160, openbox, {2048, 1536}},
      {"3x on a 4K desktop is reduced to 2x", 3, 3840, 2160, openbox, {2048, 1536}},
      {"2x on a 1080p desktop is reduced to 1x", 2, 1920, 1080, openbox, {1024, 768}},
      {"2x whose frame alone does not fit", 2, 2048, 1536, openbox, {1024, 768}},
      {"2x that fits exactly without borders", 2, 2048, 1536, {}, {2048, 1536}},
      {"1x that fits exactly without borders", 1, 1024, 768, {}, {1024, 768}},
      {"1x on 1024x768 with a frame: below 1x", 1, 1024, 768, openbox, {991, 743}},
      {"laptop with a taskbar", 1, 1366, 728, openbox, {937, 703}},
      {"800x600", 1, 800, 600, openbox, {767, 575}},
      {"a scale past the largest counts as the largest", 100, 20000, 20000, {}, {8192, 6144}},
      {"no scale counts as 1", 0, 1920, 1080, {}, {1024, 768}},
      {"no room at all", 1, 10, 10, {20, 10, 20, 10}, {1, 1}},
  };
  for (const WindowCase& c : cases) {
    EXPECT_EQ(firstWindowSize(1024, 768, c.scale, c.workWidth, c.workHeight, c.borders), c.expected)
        << c.what;
  }
}

TEST(FirstWindow, AWindowThatFitsKeepsItsSize) {
  const FrameBorders openbox{20, 1, 5, 1};
  EXPECT_EQ(fitWorkArea({1600, 900}, 1024, 768, 1920, 1080, openbox), (WindowSize{1600, 900}));
  EXPECT_EQ(fitWorkArea({300, 1000}, 1024, 768, 1920, 1080, openbox), (WindowSize{300, 1000}));
  // A work area that has shrunk since (another display, a taskbar): the largest 4:3 that fits.
  EXPECT_EQ(fitWorkArea({2048, 1536}, 1024, 768, 1920, 1080, openbox), (WindowSize{1407, 1055}));
  EXPECT_EQ(fitWorkArea({1024, 768}, 1024, 768, 0, 0, openbox), (WindowSize{1, 1}));
}

// Which picture rows read frame row s, from the scaler's own weights.
std::vector<std::vector<int>> readers(const PictureScaler::Axis& axis) {
  std::vector<std::vector<int>> rows(static_cast<size_t>(axis.sourceCount));
  for (int y = 0; y < axis.count(); ++y) {
    const auto& t = axis.taps[static_cast<size_t>(y)];
    for (int k = 0; k < t.count; ++k) rows[static_cast<size_t>(t.first + k)].push_back(y);
  }
  return rows;
}

struct BandCase {
  int pictureRows, first, last;
  RowSpan expected;
};

TEST(DirtyBand, ChangedFrameRowsMapToThePictureRowsTheyCover) {
  const BandCase cases[] = {
      {768, 16, 32, {16, 32}},   // 1:1
      {1536, 16, 32, {32, 64}},  // 2x: each row twice
      {2304, 767, 768, {2301, 2304}},
      {1080, 0, 1, {0, 2}},  // 1.406x: row 0 covers picture rows 0 and 1 (in part)
      {1080, 16, 32, {22, 45}},
      {1080, 767, 768, {1078, 1080}},
      {600, 16, 32, {12, 25}},  // 0.78x
      {600, 0, 768, {0, 600}},
      {1, 100, 101, {0, 1}},  // one picture row reads every frame row
      {1080, 32, 16, {}},     // an empty band
      {1080, -5, 0, {}},
      {1080, 760, 900, {1068, 1080}},  // clipped to the frame
  };
  for (const BandCase& c : cases) {
    EXPECT_EQ(pictureRowsOf(768, c.pictureRows, c.first, c.last), c.expected)
        << c.pictureRows << " rows, band " << c.first << ".." << c.last;
  }
}

TEST(DirtyBand, EveryPictureRowThatReadsAChangedRowIsRedrawn) {
  for (int pictureRows : {1, 2, 97, 575, 600, 743, 767, 768, 769, 900, 1055, 1080, 1536, 2160}) {
    const PictureScaler::Axis axis = PictureScaler::axis(768, pictureRows);
    const auto byRow = readers(axis);
    for (int s = 0; s < 768; ++s) {
      const RowSpan span = pictureRowsOf(768, pictureRows, s, s + 1);
      for (int y : byRow[static_cast<size_t>(s)])
        ASSERT_TRUE(y >= span.first && y < span.last)
            << pictureRows << " rows: row " << s << " read by " << y << ", redrawn " << span.first
            << ".." << span.last;
      // And no more than the rows that might read it (one either side at most).
      ASSERT_LE(span.last - span.first, static_cast<int>(byRow[static_cast<size_t>(s)].size()) + 2);
    }
  }
}

TEST(ScalerWeights, AddUpToOneAndFollowTheCoverage) {
  for (int target : {1, 3, 575, 600, 767, 768, 769, 1055, 1080, 1440, 1536, 2048, 3072}) {
    const PictureScaler::Axis a = PictureScaler::axis(768, target);
    ASSERT_EQ(a.count(), target);
    for (int i = 0; i < target; ++i) {
      const auto& t = a.taps[static_cast<size_t>(i)];
      int sum = 0;
      for (int k = 0; k < t.count; ++k) sum += a.weights[static_cast<size_t>(t.offset + k)];
      // Only a picture much smaller than the frame has pixels under which some frame
      // pixels weigh nothing, and never at the ends of the run.
      ASSERT_GT(a.weights[static_cast<size_t>(t.offset)], 0) << target << ": pixel " << i;
      ASSERT_GT(a.weights[static_cast<size_t>(t.offset + t.count - 1)], 0) << target;
      ASSERT_EQ(sum, PictureScaler::kWeightOne) << target << ": pixel " << i;
      ASSERT_GE(t.first, 0);
      ASSERT_LE(t.first + t.count, 768);
    }
  }
  // 1.40625x: picture pixel 1 covers frame pixels 0.711 to 1.422, so 0.289 of frame pixel 0
  // and 0.422 of frame pixel 1 in a width of 0.711: 41 % and 59 %.
  const PictureScaler::Axis a = PictureScaler::axis(1024, 1440);
  EXPECT_EQ(a.taps[1].first, 0);
  ASSERT_EQ(a.taps[1].count, 2);
  EXPECT_EQ(a.weights[static_cast<size_t>(a.taps[1].offset)], 104);
  EXPECT_EQ(a.weights[static_cast<size_t>(a.taps[1].offset) + 1], 152);
}

// A frame of distinct pixels, so that any misplaced one shows.
std::vector<uint32_t> patternFrame(int width, int rows) {
  std::vector<uint32_t> frame(static_cast<size_t>(width) * static_cast<size_t>(rows));
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < width; ++x)
      frame[static_cast<size_t>(y * width + x)] =
          (static_cast<uint32_t>(x * 37 + y * 11) & 0xFFu) << 16 |
          (static_cast<uint32_t>(x * 5 + y * 101) & 0xFFu) << 8 |
          (static_cast<uint32_t>(x ^ y) & 0xFFu);
  return frame;
}

TEST(Scaler, IntegerFactorsGiveExactBlocks) {
  const int width = 64, rows = 48;
  const std::vector<uint32_t> frame = patternFrame(width, rows);
  for (int k : {1, 2, 3}) {
    PictureScaler scaler;
    scaler.configure(width, rows, width * k, rows * k);
    std::vector<uint32_t> out(static_cast<size_t>(width * k));
    for (int y = 0; y < rows * k; ++y) {
      scaler.scaleRow(y, frame.data(), width, out.data());
      for (int x = 0; x < width * k; ++x)
        ASSERT_EQ(out[static_cast<size_t>(x)], frame[static_cast<size_t>((y / k) * width + x / k)])
            << k << "x at " << x << "," << y;
    }
  }
}

TEST(Scaler, FractionalFactorsBlendOnlyAtEdgesAndKeepFlatColours) {
  // A white column on black at 1.40625x keeps its 1.4 pixels' worth of light, blended only in
  // the one picture pixel at each of its edges: never smeared, never dropped.
  const int width = 32, rows = 4;
  PictureScaler scaler;
  scaler.configure(width, rows, 45, 5);  // 32 * 1.40625, 4 * 1.25
  for (int column = 0; column < width; ++column) {
    std::vector<uint32_t> frame(static_cast<size_t>(width * rows), 0);
    for (int y = 0; y < rows; ++y) frame[static_cast<size_t>(y * width + column)] = 0xFFFFFF;
    std::vector<uint32_t> out(45);
    scaler.scaleRow(2, frame.data(), width, out.data());
    int touched = 0, blended = 0, light = 0;
    for (uint32_t p : out) {
      ASSERT_TRUE((p & 0xFF) == (p >> 16) && (p & 0xFF) == ((p >> 8) & 0xFF)) << "grey";
      if (p != 0) ++touched;
      if (p != 0 && p != 0xFFFFFF) ++blended;
      light += static_cast<int>(p & 0xFF);
    }
    EXPECT_LE(touched, 3) << "column " << column;
    EXPECT_LE(blended, 2) << "column " << column;
    EXPECT_NEAR(light, 255 * 45 / 32, 2) << "column " << column;
  }
  // The first column starts on a pixel edge: its first picture pixel is fully lit.
  std::vector<uint32_t> edge(static_cast<size_t>(width * rows), 0);
  for (int y = 0; y < rows; ++y) edge[static_cast<size_t>(y * width)] = 0xFFFFFF;
  std::vector<uint32_t> out(45);
  scaler.scaleRow(0, edge.data(), width, out.data());
  EXPECT_EQ(out[0], 0xFFFFFFu);
  EXPECT_EQ(out[1], 0x686868u);  // 104 / 256 of white
  EXPECT_EQ(out[2], 0u);
  // Flat colour stays exactly that colour at any factor.
  std::vector<uint32_t> flat(static_cast<size_t>(width * rows), 0x12AB34);
  for (int target : {7, 25, 31, 45, 77}) {
    scaler.configure(width, rows, target, 3);
    std::vector<uint32_t> row(static_cast<size_t>(target));
    for (int y = 0; y < 3; ++y) {
      scaler.scaleRow(y, flat.data(), width, row.data());
      for (uint32_t p : row) ASSERT_EQ(p, 0x12AB34u) << target;
    }
  }
}
}  // namespace
