// The 16-bit colour: packing 0xRRGGBB into 5:6:5 drops low bits without rounding, and the
// expansion back to 0xRRGGBB reaches full white and packs again to the same pixel.
#include "screen/backend/rgb565.h"

#include <gtest/gtest.h>

namespace {
TEST(Rgb565, PackingDropsTheLowBits) {
  struct Case {
    uint32_t rgb, pixel;
  };
  const Case cases[] = {
      {0x000000, 0x0000}, {0xFFFFFF, 0xFFFF},   {0xFF0000, 0xF800}, {0x00FF00, 0x07E0},
      {0x0000FF, 0x001F}, {0x00AA00, 0x0540},   {0x070307, 0x0000},  // below one step: black
      {0x080408, 0x0821}, {0xFFFFFFFF, 0xFFFF},                      // the top byte is ignored
  };
  for (const Case& c : cases) EXPECT_EQ(rgbTo565(c.rgb), c.pixel) << std::hex << c.rgb;
}

TEST(Rgb565, ExpansionRepeatsTheTopBitsAndPacksBackToThePixel) {
  EXPECT_EQ(rgb565ToRgb(0x0000), 0x000000u);
  EXPECT_EQ(rgb565ToRgb(0xFFFF), 0xFFFFFFu);
  EXPECT_EQ(rgb565ToRgb(0xF800), 0xFF0000u);
  EXPECT_EQ(rgb565ToRgb(0x0540), 0x00AA00u);  // 21 of 63 green is 0xAA again
  EXPECT_EQ(rgb565ToRgb(0x8410), 0x848284u);  // the middle of each channel
  for (uint32_t pixel = 0; pixel <= 0xFFFF; ++pixel)
    ASSERT_EQ(rgbTo565(rgb565ToRgb(pixel)), pixel) << std::hex << pixel;
}
}  // namespace
