// The full-screen mode search: the order of sizes and depths tried, the standard VGA mode,
// the vertical centring in taller modes, and the end of the search past 1024 rows.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/win32/display_mode_search.h"

namespace {
using Mode = std::tuple<int, int, int, bool, int>;  // width, height, depth, VGA, offset

std::vector<Mode> modesOf(const std::vector<DisplayModeCandidate>& list) {
  std::vector<Mode> modes;
  for (const DisplayModeCandidate& c : list)
    modes.emplace_back(c.width, c.height, c.depth, c.standardVga, c.verticalOffset);
  return modes;
}

TEST(DisplayModeSearch, CandidatesInOrder) {
  struct Case {
    int width, height, depth;
    std::vector<Mode> expected;
  };
  const Case cases[] = {
      {1024,
       768,
       16,
       {{1024, 768, 16, false, 0},
        {1024, 768, 15, false, 0},
        {1024, 1024, 16, false, 128},
        {1024, 1024, 15, false, 128}}},
      {1024,
       768,
       32,
       {{1024, 768, 32, false, 0},
        {1024, 768, 24, false, 0},
        {1024, 1024, 32, false, 128},
        {1024, 1024, 24, false, 128}}},
      {320,
       200,
       8,
       {{320, 200, 8, true, 0},
        {320, 240, 8, false, 20},
        {320, 480, 8, false, 140},
        {320, 600, 8, false, 200},
        {320, 768, 8, false, 284},
        {320, 1024, 8, false, 412}}},
      // A 16-bit 320 x 200 frame is not the VGA mode.
      {320,
       200,
       16,
       {{320, 200, 16, false, 0},
        {320, 200, 15, false, 0},
        {320, 240, 16, false, 20},
        {320, 240, 15, false, 20},
        {320, 480, 16, false, 140},
        {320, 480, 15, false, 140},
        {320, 600, 16, false, 200},
        {320, 600, 15, false, 200},
        {320, 768, 16, false, 284},
        {320, 768, 15, false, 284},
        {320, 1024, 16, false, 412},
        {320, 1024, 15, false, 412}}},
      // A frame of repeated rows asks for its displayed height; an odd gap rounds down.
      {640,
       700,
       8,
       {{640, 700, 8, false, 0}, {640, 768, 8, false, 34}, {640, 1024, 8, false, 162}}},
      {800,
       601,
       8,
       {{800, 601, 8, false, 0}, {800, 768, 8, false, 83}, {800, 1024, 8, false, 211}}},
      {1280, 1024, 16, {{1280, 1024, 16, false, 0}, {1280, 1024, 15, false, 0}}},
      {1280, 1025, 16, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.depth);
    EXPECT_EQ(modesOf(fullScreenModeCandidates(c.width, c.height, c.depth)), c.expected);
  }
}

TEST(DisplayModeSearch, PairedDepths) {
  const std::pair<int, int> pairs[] = {{15, 16}, {16, 15}, {24, 32}, {32, 24},
                                       {8, 0},   {4, 0},   {1, 0}};
  for (auto [depth, paired] : pairs) EXPECT_EQ(pairedDepth(depth), paired) << depth;
}

TEST(DisplayModeSearch, StopsAtTheFirstAcceptedMode) {
  std::vector<DisplayModeCandidate> tried;
  const auto found = findDisplayMode(1024, 768, 16, [&](const DisplayModeCandidate& c) {
    tried.push_back(c);
    return c.height == 1024 && c.depth == 16;
  });
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->height, 1024);
  EXPECT_EQ(found->verticalOffset, 128);
  EXPECT_EQ(tried.size(), 3u);
}

TEST(DisplayModeSearch, FailsWhenEveryModeIsRefused) {
  int tries = 0;
  const auto found = findDisplayMode(1024, 768, 16, [&](const DisplayModeCandidate&) {
    ++tries;
    return false;
  });
  EXPECT_FALSE(found.has_value());
  EXPECT_EQ(tries, 4);
}

TEST(DisplayModeSearch, ModeListKeepsEachSizeOnce) {
  std::vector<DisplayModeSize> sizes;
  const std::pair<int, int> seen[] = {{640, 480}, {1024, 768}, {640, 480}, {640, 400}, {1024, 768}};
  for (auto [w, h] : seen) addDistinctSize(sizes, w, h);
  ASSERT_EQ(sizes.size(), 3u);
  EXPECT_EQ(sizes[0].width, 640);
  EXPECT_EQ(sizes[0].height, 480);
  EXPECT_EQ(sizes[1].height, 768);
  EXPECT_EQ(sizes[2].height, 400);
}
}  // namespace
