// The palette entries waiting for a back end's display: what is set is taken once, whole.
#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

#include "screen/backend/pending_palette.h"

namespace {
struct Entry {
  int index, red, green, blue;
};

TEST(PendingPalette, EntriesSetAreTakenOnceAsRgb) {
  struct Case {
    const char* name;
    std::vector<Entry> set;
    bool waits;
    std::vector<std::pair<int, uint32_t>> expected;  // index, 0xRRGGBB after the take
  };
  const Case cases[] = {
      {"nothing set", {}, false, {}},
      {"one entry", {{4, 0x12, 0xFE, 0x34}}, true, {{4, 0x12FE34}, {5, 0}}},
      {"the ends of the range",
       {{0, 1, 2, 3}, {255, 0xFF, 0xFF, 0xFF}},
       true,
       {{0, 0x010203}, {255, 0xFFFFFF}}},
      {"only the low byte of each channel", {{9, 0x1AB, 0x2CD, -1}}, true, {{9, 0xABCDFF}}},
      {"the last setting of an entry wins", {{7, 1, 1, 1}, {7, 2, 2, 2}}, true, {{7, 0x020202}}},
      {"indexes outside 0..255 are ignored", {{-1, 9, 9, 9}, {256, 9, 9, 9}}, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PendingPalette palette;
    for (const Entry& e : c.set) palette.set(e.index, e.red, e.green, e.blue);
    std::array<uint32_t, 256> taken;
    taken.fill(0xDEADBEEF);
    ASSERT_EQ(palette.take(taken), c.waits);
    if (!c.waits) {
      EXPECT_EQ(taken[0], 0xDEADBEEFu);  // untouched when nothing waits
      const std::array<uint32_t, 256> unset{};
      EXPECT_EQ(palette.current(), unset);
      continue;
    }
    for (const auto& [index, rgb] : c.expected)
      EXPECT_EQ(taken[static_cast<size_t>(index)], rgb) << index;
    EXPECT_EQ(palette.current(), taken);
    EXPECT_FALSE(palette.take(taken)) << "taken twice";
  }
}

TEST(PendingPalette, SendAgainAndForgetDecideWhetherTheWholePaletteWaits) {
  struct Case {
    const char* name;
    bool setOne, sendAgain, forget;
    bool waits;
  };
  const Case cases[] = {
      {"a new display gets the whole palette", false, true, false, true},
      {"a new screen drops what waited", true, false, true, false},
      {"sending again after forgetting", true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PendingPalette palette;
    if (c.setOne) palette.set(1, 0x10, 0x20, 0x30);
    if (c.sendAgain) palette.sendAgain();
    if (c.forget) palette.forget();
    std::array<uint32_t, 256> taken{};
    EXPECT_EQ(palette.take(taken), c.waits);
    // What was set stays the palette, waiting or not.
    EXPECT_EQ(palette.current()[1], c.setOne ? 0x102030u : 0u);
  }
}

// Entries set on one thread while another takes: every entry set arrives in some take.
TEST(PendingPalette, EntriesSetWhileAnotherThreadTakesAllArrive) {
  PendingPalette palette;
  std::array<uint32_t, 256> seen{};
  std::thread setter([&] {
    for (int i = 0; i < 256; ++i) palette.set(i, i, 255 - i, 1);
  });
  std::array<uint32_t, 256> taken{};
  for (int round = 0; round < 1000; ++round)
    if (palette.take(taken)) seen = taken;
  setter.join();
  if (palette.take(taken)) seen = taken;
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(seen[static_cast<size_t>(i)], static_cast<uint32_t>(i << 16 | (255 - i) << 8 | 1))
        << i;
}
}  // namespace
