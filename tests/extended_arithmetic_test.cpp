// The drawing's clipping and rounding and the results page's figures, computed with
// Extended, against the same code on the x87 unit: random lines with ends off the screen,
// and the table and chart over their whole range of inputs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "screen/drawing/line_clipping.h"
#include "screen/extended/extended.h"
#include "screen/extended/fpu_control.h"
#include "simulator/figures.h"
#include "tests/support/x87_reference.h"
#include "tools/pseudo_random.h"

namespace {

using line_clipping::Bounds;
using line_clipping::Points;

constexpr Bounds kScreen{0, 0, 1023, 767};

struct Digest {
  uint64_t value = 0xCBF29CE484222325;
  void add(uint64_t part) {
    value ^= part;
    value *= 0x100000001B3;
  }
  void add(double d) {
    uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    add(bits);
  }
};

// The end points a line gets, or none (all −1) when nothing of it is drawn.
template <class Real>
Points clipped(float x1, float y1, float x2, float y2) {
  Points p{};
  if (!line_clipping::cornerPoints<Real>(x1, y1, x2, y2, true, p) ||
      !line_clipping::clipLine<Real>(p, kScreen))
    return Points{-1, -1, -1, -1};
  return p;
}

class ExtendedArithmeticTest : public ::testing::Test {
 protected:
  void SetUp() override { setExtendedPrecision(); }
};

TEST_F(ExtendedArithmeticTest, ClippingAtTheBottomTruncatesTheExtendedProduct) {
  // The x87 unit moves this end to x = 151 (a 113-bit significand would give 150).
  const Points p = clipped<Extended>(439, 323, 7, 989);
  EXPECT_EQ(p.x1, 151);
  EXPECT_EQ(p.y1, 767);
  EXPECT_EQ(p.x2, 439);
  EXPECT_EQ(p.y2, 323);
}

TEST_F(ExtendedArithmeticTest, RandomLinesOffTheScreenClipAsOnTheUnit) {
  PseudoRandom random{0x9E3779B97F4A7C15};
  // The digests below are of the results on the x87 unit, so that a processor without one
  // is checked against it too.
  Digest digest;
  long drawn = 0, mismatches = 0;
  constexpr int kLines = 100000;
  for (int i = 0; i < kLines; ++i) {
    // Mostly ends around the screen; one line in eight reaches far beyond the guard square.
    const int32_t reach = i % 8 == 0 ? 40000000 : 3000;
    const float x1 = random.coordinate(-reach, 1024 + 2 * reach);
    const float y1 = random.coordinate(-reach, 768 + 2 * reach);
    const float x2 = random.coordinate(-reach, 1024 + 2 * reach);
    const float y2 = random.coordinate(-reach, 768 + 2 * reach);
    const Points p = clipped<Extended>(x1, y1, x2, y2);
    for (int64_t v : {p.x1, p.y1, p.x2, p.y2}) digest.add(static_cast<uint64_t>(v));
    if (p.x1 >= 0) ++drawn;
#ifdef CO2SIM_HAVE_X87
    const Points n = clipped<long double>(x1, y1, x2, y2);
    if (n.x1 != p.x1 || n.y1 != p.y1 || n.x2 != p.x2 || n.y2 != p.y2) {
      if (++mismatches <= 10)
        ADD_FAILURE() << "(" << x1 << ", " << y1 << ")-(" << x2 << ", " << y2 << "): x87 (" << n.x1
                      << ", " << n.y1 << ")-(" << n.x2 << ", " << n.y2 << "), Extended (" << p.x1
                      << ", " << p.y1 << ")-(" << p.x2 << ", " << p.y2 << ")";
    }
#endif
  }
  EXPECT_EQ(mismatches, 0);
  // Enough lines cross the screen for the comparison to mean something.
  EXPECT_GT(drawn, kLines / 10);
  EXPECT_EQ(digest.value, 0xFF1706CACF00D30Eu)
      << std::hex << digest.value << std::dec << " (" << drawn << " lines drawn)";
}

TEST_F(ExtendedArithmeticTest, TableFiguresOverTheWholeRangeMatchTheUnit) {
  const float shares[] = {0.2f, 0.3f, 0.4f};
  Digest digest;
  long evaluations = 0, mismatches = 0;
  // Every seventh level from 0.01 to 59.99 and every 97th percentage from 0.01 to 99.99.
  for (int level = 1; level < 6000; level += 7) {
    for (int percent = 1; percent < 10000; percent += 97) {
      for (float share : shares) {
        const float e = static_cast<float>(level) / 100.0f;
        const float p = static_cast<float>(percent) / 100.0f;
        const figures::HypothesisFigures f = figures::hypothesisFigures<Extended>(share, e, p);
        digest.add(f.fire);
        digest.add(f.cut);
        digest.add(f.remaining);
        ++evaluations;
#ifdef CO2SIM_HAVE_X87
        const figures::HypothesisFigures n = figures::hypothesisFigures<long double>(share, e, p);
        if (std::memcmp(&n, &f, sizeof n) != 0 && ++mismatches <= 10)
          ADD_FAILURE() << "share " << share << " level " << e << " percent " << p;
#endif
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(digest.value, 0xE8F35DFD7EF0C6C3u)
      << std::hex << digest.value << std::dec << " after " << evaluations;
}

TEST_F(ExtendedArithmeticTest, BarEndsForEveryPercentageMatchTheUnit) {
  const float shares[] = {0.2f, 0.3f, 0.4f};
  Digest digest;
  long mismatches = 0;
  for (int percent = 1; percent < 10000; ++percent) {
    const float p = static_cast<float>(percent) / 100.0f;
    for (float share : shares) {
      const float end = figures::shareBarEnd<Extended>(share, 580, p, 50);
      digest.add(static_cast<double>(end));
#ifdef CO2SIM_HAVE_X87
      if (figures::shareBarEnd<long double>(share, 580, p, 50) != end) ++mismatches;
#endif
    }
    const float possible = figures::possibleBarEnd<Extended>(580, p, 50);
    digest.add(static_cast<double>(possible));
#ifdef CO2SIM_HAVE_X87
    if (figures::possibleBarEnd<long double>(580, p, 50) != possible) ++mismatches;
#endif
  }
  EXPECT_EQ(mismatches, 0);
  // The ends at 50 % as the chart draws them.
  EXPECT_EQ(figures::shareBarEnd<Extended>(0.2f, 580, 50, 50), 108.0f);
  EXPECT_EQ(figures::possibleBarEnd<Extended>(580, 50, 50), 195.0f);
  EXPECT_EQ(digest.value, 0xBA7C003221CFDC55u) << std::hex << digest.value;
}

}  // namespace
