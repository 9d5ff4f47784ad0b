// The key queue and the waits: overflow keeps the newest 15, key texts, the slicing of
// long pauses and their key checks, and a key fed from another thread.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "screen/backend/key_code.h"
#include "screen/backend/key_queue.h"
#include "screen/keys/waits.h"
#include "tests/support/screen_fixture.h"

namespace {
class Waits : public ScreenTest {};

TEST_F(Waits, EmptyQueueGivesEmptyText) {
  EXPECT_EQ(readKey(), "");
  EXPECT_FALSE(keyWaiting());
}

TEST_F(Waits, OverflowKeepsTheNewest15) {
  for (int k = 1; k <= 16; ++k) queueKey('a' + k - 1);
  EXPECT_EQ(queuedKeyCount(), 15);
  for (int k = 2; k <= 16; ++k)
    EXPECT_EQ(readKey(), std::string(1, static_cast<char>('a' + k - 1)));
  EXPECT_EQ(readKey(), "");
}

TEST_F(Waits, FloodKeepsTheNewest15) {
  for (int k = 0; k < 10000; ++k) queueKey(1 + k % 255);
  std::vector<int> got;
  for (std::string t = readKey(); !t.empty(); t = readKey()) got.push_back(keyCodeOfText(t));
  ASSERT_EQ(got.size(), 15u);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(got[static_cast<size_t>(i)], 1 + (9985 + i) % 255);
}

TEST_F(Waits, ReadKeyGivesTheKeyTextOfEachQueuedCode) {
  struct Case {
    int32_t code;
    std::string text;
  };
  const Case cases[] = {{' ', " "},
                        {13, "\r"},
                        {27, "\x1b"},
                        {255, "\xff"},
                        {0x48FF, std::string("\xff") + "H"},
                        {0x6BFF, std::string("\xff") + "k"},
                        {0x86FF, std::string("\xff\x86")}};
  for (const Case& c : cases) {
    queueKey(c.code);
    const std::string text = readKey();
    EXPECT_EQ(text, c.text) << std::hex << c.code;
    EXPECT_EQ(keyCodeOfText(text), c.code);
  }
}

TEST_F(Waits, PauseSlicing) {
  struct Case {
    int ms;
    std::vector<int> sleeps;
  };
  const Case cases[] = {{0, {}},
                        {-5, {}},
                        {1, {1}},
                        {2, {2}},
                        {9, {9}},
                        {99, {99}},
                        {100, {50, 50}},
                        {200, {50, 50, 50, 50}},
                        {175, {50, 50, 50, 25}},
                        {151, {50, 50, 50, 1}}};
  for (const Case& c : cases) {
    virtualClock.sleeps.clear();
    sleepMs(c.ms);
    EXPECT_EQ(virtualClock.sleeps, c.sleeps) << c.ms;
  }
}

TEST_F(Waits, UnreadKeyEndsALongPauseAtOnceAndStays) {
  queueKey('x');
  sleepMs(200);
  EXPECT_TRUE(virtualClock.sleeps.empty());
  EXPECT_EQ(readKey(), "x");
}

TEST_F(Waits, KeyDuringAPauseEndsItAtTheNextCheck) {
  // The key arrives 10 ms in, during the first 50 ms slice.
  virtualClock.onSleep = [](int) {
    if (virtualClock.sleeps.size() == 1) queueKey('k');
  };
  sleepMs(200);
  EXPECT_EQ(virtualClock.sleeps, std::vector<int>{50});
  EXPECT_EQ(readKey(), "k");
}

TEST_F(Waits, ShortPausesAreNeverCut) {
  queueKey('x');
  sleepMs(99);
  EXPECT_EQ(virtualClock.sleeps, std::vector<int>{99});
  // A 100 ms pause checks only before its first slice: the flag was left set above.
  virtualClock.sleeps.clear();
  sleepMs(100);
  EXPECT_TRUE(virtualClock.sleeps.empty());
  EXPECT_EQ(readKey(), "x");
}

TEST_F(Waits, MinusOneWaitsForAKeyAndLeavesIt) {
  virtualClock.onSleep = [](int) {
    if (virtualClock.sleeps.size() == 3) queueKey('q');
  };
  sleepMs(-1);
  EXPECT_EQ(virtualClock.sleeps, (std::vector<int>{50, 50, 50}));
  EXPECT_EQ(readKey(), "q");
}

TEST_F(Waits, BeepIsOneToneOf250Ms) {
  beep();
  EXPECT_EQ(virtualClock.tones, 1);
  EXPECT_EQ(virtualClock.totalMs, 250);
}

TEST_F(Waits, WaitKeyTakesTheKeyTheTestGives) {
  virtualClock.onAwaitKey = [] { queueKey(0x6BFF); };
  EXPECT_EQ(waitKey(), std::string("\xff") + "k");
}

TEST(KeyQueueThreads, BlockingWaitWakesForAKeyFromAnotherThread) {
  KeyQueue queue;
  std::thread producer([&] {
    for (int i = 1; i <= 200; ++i) queue.put(i);
  });
  int last = 0;
  while (last != 200) {
    queue.awaitKey();
    const int code = queue.take();
    if (code) {
      EXPECT_GT(code, last);
      last = code;
    }
  }
  producer.join();
  EXPECT_FALSE(queue.waiting());
  EXPECT_FALSE(queue.awaitKeyFor(1));
}
}  // namespace
