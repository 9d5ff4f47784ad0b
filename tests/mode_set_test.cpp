// The mode set: the mode table and depth rules, the back-end chooser's passes, the Null
// back end, closing a screen, the lock's nesting rule and the operation table's routing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "screen/backend/backend.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/platform_seam.h"
#include "screen/extended/fpu_control.h"
#include "screen/modes/mode_set.h"
#include "screen/routing/operation_table.h"
#include "screen/screen.h"
#include "screen/testing/screen_probe.h"
#include "tests/support/virtual_clock.h"

namespace {
// The current screen's visible frame; an empty one when there is none.
VisibleFrame shownFrame() {
  VisibleFrame frame;
  visibleFrame(frame);
  return frame;
}

class ModeSet : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("QXGFX");
    clearWindowedBackends();
    startServices(0, nullptr);
    installVirtualClock();
  }
  void TearDown() override {
    setScreenMode(0, 0, 0, 0, 0);
    clearWindowedBackends();
    unsetenv("QXGFX");
  }
};

TEST_F(ModeSet, ModeTableSizesDepthsAndGrids) {
  struct Case {
    int mode, depth, flags;
    int width, height, wantDepth, bytesPerPixel, columns, rows;
    uint32_t mask, foreground;
  };
  const Case cases[] = {
      {20, 16, -1, 1024, 768, 16, 2, 128, 48, 0xFFFF, 0xFFFF},
      {20, 15, -1, 1024, 768, 16, 2, 128, 48, 0xFFFF, 0xFFFF},
      {20, 24, -1, 1024, 768, 32, 4, 128, 48, 0xFFFFFFFF, 0xFFFFFFFF},
      {20, 0, -1, 1024, 768, 8, 1, 128, 48, 0xFF, 15},
      {13, 16, -1, 320, 200, 8, 1, 40, 25, 0xFF, 15},  // mode 13 keeps its table depth
      {12, 16, -1, 640, 480, 4, 1, 80, 30, 0xF, 0xF},
      {1, 0, -1, 320, 200, 2, 1, 40, 25, 0x3, 0x3},
      {9, 0, -1, 640, 350, 4, 1, 80, 25, 0xF, 0xF},
      {21, 32, -1, 1280, 1024, 32, 4, 160, 64, 0xFFFFFFFF, 0xFFFFFFFF},
      {11, 0, -1, 640, 480, 1, 1, 80, 30, 0x1, 0x1},
  };
  for (const Case& c : cases) {
    setScreenMode(c.mode, c.depth, 2, c.flags, 0);
    ASSERT_TRUE(graphicsScreenExists()) << c.mode;
    EXPECT_EQ(shownFrame().width, c.width) << c.mode;
    EXPECT_EQ(shownFrame().height, c.height) << c.mode;
    EXPECT_EQ(shownFrame().depth, c.wantDepth) << c.mode;
    EXPECT_EQ(shownFrame().bytesPerPixel, c.bytesPerPixel) << c.mode;
    EXPECT_EQ(shownFrame().pitch, c.width * c.bytesPerPixel) << c.mode;
    EXPECT_EQ(probeScreen().colourMask, c.mask) << c.mode;
    EXPECT_EQ(probeScreen().foregroundPixel, c.foreground) << c.mode;
    EXPECT_EQ(textSize().columns, c.columns) << c.mode;
    EXPECT_EQ(textSize().rows, c.rows) << c.mode;
    EXPECT_EQ(probeScreen().pageCount, 2);
    EXPECT_EQ(cursorPosition().row, 1);
    // Printing and clearing work at every depth and stay in the frame.
    printText(std::string(300, 'x'), true);
    clearScreen();
  }
}

// A windowed back end that accepts every request and records the depth it was asked for.
struct DepthRecorder {
  static inline int depth = 0;
  static int start(const char*, int, int, int requested, int, int) {
    depth = requested;
    return 0;
  }
};
const Backend depthRecorder{.name = "Depth", .start = DepthRecorder::start};

TEST_F(ModeSet, OpenGlFlagRaisesDepthsBelowSixteen) {
  registerWindowedBackend(&depthRecorder);
  struct Case {
    int depth, flags, expected;
  };
  const Case cases[] = {
      {8, 0, 8},
      {8, kFlagOpenGL, 16},
      {16, kFlagOpenGL, 16},
      {32, kFlagOpenGL, 32},
  };
  for (const Case& c : cases) {
    DepthRecorder::depth = 0;
    setScreenMode(20, c.depth, 1, c.flags, 0);
    ASSERT_NE(frameBuffer(), nullptr) << c.depth << " " << c.flags;
    EXPECT_EQ(DepthRecorder::depth, c.expected) << c.depth << " " << c.flags;
    EXPECT_EQ(shownFrame().depth, c.expected) << c.depth << " " << c.flags;
  }
}

TEST_F(ModeSet, MissingModesFailAndKeepTheScreen) {
  setScreenMode(20, 16, 8, -1, 0);
  ASSERT_NE(frameBuffer(), nullptr);
  const void* before = probeScreen().record;
  for (int mode : {3, 4, 5, 6, 22, -1, 1000}) {
    setScreenMode(mode, 16, 8, -1, 0);
    EXPECT_EQ(lastError(), 1) << mode;
    EXPECT_EQ(probeScreen().record, before) << mode;
  }
}

TEST_F(ModeSet, NullBackendDrawsInMemory) {
  setScreenMode(20, 16, 8, -1, 0);
  ASSERT_NE(frameBuffer(), nullptr);
  EXPECT_STREQ(currentBackend()->name, "Null");
  EXPECT_EQ(probeScreen().pageCount, 8);
  EXPECT_EQ(frameBuffer(), probeScreen().firstPage);
  setColour(0xFFFFFF, 0xFF0000);
  printText("hi", false);
  EXPECT_EQ(static_cast<uint16_t*>(frameBuffer())[0], 0xF800);  // the cell's background
  EXPECT_EQ(readCell(1, 1).character, 'h');
}

TEST_F(ModeSet, QxgfxNullSelectsTheNullBackend) {
  for (const char* name : {"null", "NULL", "Null"}) {
    setenv("QXGFX", name, 1);
    setScreenMode(20, 16, 8, 1, 0);
    ASSERT_NE(frameBuffer(), nullptr) << name;
    EXPECT_STREQ(currentBackend()->name, "Null");
  }
}

TEST_F(ModeSet, NoBackendMeansNoScreen) {
  setScreenMode(20, 16, 8, 1, 0);
  EXPECT_EQ(frameBuffer(), nullptr);
  EXPECT_EQ(lastError(), 1);
  EXPECT_EQ(operationTable.writeText, nullptr);
}

TEST_F(ModeSet, SecondModeSetClosesTheFirst) {
  setScreenMode(20, 16, 8, -1, 0);
  printText("old", false);
  setScreenMode(18, 16, 1, -1, 0);
  ASSERT_TRUE(graphicsScreenExists());
  EXPECT_EQ(shownFrame().width, 640);
  EXPECT_EQ(readCell(1, 1).character, ' ');
  setScreenMode(0, 0, 0, 0, 0);
  EXPECT_EQ(frameBuffer(), nullptr);
  EXPECT_EQ(operationTable.readKey, nullptr);
}

TEST_F(ModeSet, ProgramTitleDropsDirectoryAndExtension) {
  EXPECT_EQ(programTitle("/usr/local/bin/co2sim"), "co2sim");
  EXPECT_EQ(programTitle("C:\\juegos\\co2sim.exe"), "co2sim");
  EXPECT_EQ(programTitle("a.b.c"), "a.b");
  EXPECT_EQ(programTitle(nullptr), "co2sim");
}

// A scripted back end that records its starts and succeeds only for chosen flags.
struct FakeBackends {
  static inline std::vector<std::string> log;
  static inline int succeedFlags = -2;  // flags that make "B" succeed
  static int startA(const char*, int, int, int, int refresh, int flags) {
    log.push_back("A" + std::to_string(flags & 1) + ":" + std::to_string(refresh));
    return 1;
  }
  static int startB(const char*, int, int, int, int refresh, int flags) {
    log.push_back("B" + std::to_string(flags & 1) + ":" + std::to_string(refresh));
    return flags == succeedFlags ? 0 : 1;
  }
  static inline int shutdowns = 0;
  static void shutdown() { ++shutdowns; }
};
const Backend fakeA{
    .name = "Alpha", .start = FakeBackends::startA, .shutdown = FakeBackends::shutdown};
const Backend fakeB{
    .name = "Beta", .start = FakeBackends::startB, .shutdown = FakeBackends::shutdown};

TEST_F(ModeSet, ChooserPassesWithoutPreference) {
  registerWindowedBackend(&fakeA);
  registerWindowedBackend(&fakeB);
  FakeBackends::log.clear();
  FakeBackends::succeedFlags = 0;
  FakeBackends::shutdowns = 0;
  const Backend* chosen = chooseBackend(nullptr, "t", 1024, 768, 16, 60, 1);
  EXPECT_EQ(chosen, &fakeB);
  const std::vector<std::string> want = {"A1:60", "A1:0", "B1:60", "B1:0",
                                         "A0:60", "A0:0", "B0:60"};
  EXPECT_EQ(FakeBackends::log, want);
  EXPECT_EQ(FakeBackends::shutdowns, 6);  // every failed attempt is shut down
}

TEST_F(ModeSet, ChooserPassesWithPreference) {
  registerWindowedBackend(&fakeA);
  registerWindowedBackend(&fakeB);
  FakeBackends::log.clear();
  FakeBackends::succeedFlags = -2;  // nothing starts
  EXPECT_EQ(chooseBackend("alpha", "t", 1024, 768, 16, 0, 1), nullptr);
  const std::vector<std::string> want = {
      "A1:0", "A1:0",                  // pass 4: only the preferred, full screen
      "A1:0", "A1:0", "B1:0", "B1:0",  // pass 3: all, still full screen
      "A1:0", "A1:0",                  // pass 2: the preferred again
      "A0:0", "A0:0", "B0:0", "B0:0",  // pass 1: all, windowed
  };
  EXPECT_EQ(FakeBackends::log, want);
}

TEST_F(ModeSet, ChooserTakesNullForFlagsMinusOne) {
  registerWindowedBackend(&fakeA);
  FakeBackends::log.clear();
  EXPECT_EQ(chooseBackend(nullptr, "t", 1024, 768, 16, 0, -1), &nullBackend());
  EXPECT_EQ(chooseBackend("nUlL", "t", 1024, 768, 16, 0, 1), &nullBackend());
  EXPECT_TRUE(FakeBackends::log.empty());
}

// A back end whose lock and unlock are counted, for the nesting rule.
struct CountingLock {
  static inline int locks = 0, unlocks = 0;
  static void lock() { ++locks; }
  static void unlock() { ++unlocks; }
  static int start(const char*, int, int, int, int, int) { return 0; }
};
const Backend countingBackend{.name = "Counting",
                              .start = CountingLock::start,
                              .lock = CountingLock::lock,
                              .unlock = CountingLock::unlock};

TEST_F(ModeSet, LockNestingRule) {
  registerWindowedBackend(&countingBackend);
  setScreenMode(20, 16, 1, 0, 0);
  ASSERT_NE(frameBuffer(), nullptr);
  CountingLock::locks = CountingLock::unlocks = 0;
  printText("a", false);  // an operation on its own locks and unlocks once
  EXPECT_EQ(CountingLock::locks, 1);
  EXPECT_EQ(CountingLock::unlocks, 1);
  lockScreen();
  lockScreen();  // a second explicit hold does not lock again
  printText("b", true);
  drawLine(nullptr, 0, 0, 10, 10, kCurrentForeground, 0, 0xFFFF, 0);
  EXPECT_EQ(CountingLock::locks, 2);
  EXPECT_EQ(CountingLock::unlocks, 1);
  takeDirtyRows(shownFrame().dirtyRows);
  unlockScreen(100, 101);
  EXPECT_EQ(CountingLock::unlocks, 2);
  EXPECT_EQ(shownFrame().dirtyRows[99], 0);
  EXPECT_EQ(shownFrame().dirtyRows[100], 1);
  EXPECT_EQ(shownFrame().dirtyRows[101], 1);
  EXPECT_EQ(shownFrame().dirtyRows[102], 0);
  unlockScreen();  // not held: marks rows, no unlock
  EXPECT_EQ(CountingLock::unlocks, 2);
  EXPECT_EQ(shownFrame().dirtyRows[767], 1);
}

std::string consoleOutput;
void captureConsole(const char* bytes, size_t size) { consoleOutput.append(bytes, size); }

TEST_F(ModeSet, WithoutAScreenTextGoesToTheConsole) {
  PlatformSeam seam = platformSeam();
  seam.consoleWrite = captureConsole;
  installPlatformSeam(seam);
  consoleOutput.clear();
  printText("Error setting video mode!", true);
  EXPECT_EQ(consoleOutput, "Error setting video mode!\r\n");
  EXPECT_EQ(readKey(), "");
  EXPECT_FALSE(keyWaiting());
  // Drawing has no console version: it neither writes nor fails.
  drawLine(nullptr, 0, 0, 100, 100, kCurrentForeground, 2, 0xFFFF, 0);
  EXPECT_EQ(consoleOutput, "Error setting video mode!\r\n");
  EXPECT_EQ(frameBuffer(), nullptr);
}

TEST_F(ModeSet, StartServicesSetsExtendedPrecision) {
  startServices(0, nullptr);
#if defined(__x86_64__) || defined(__i386__)
  EXPECT_EQ(x87ControlWord() & 0x0F00, 0x0300);
#endif
  // With a 53-bit precision control this sum would round back to one.
  volatile long double one = 1.0L;
  volatile long double tiny = 0x1p-60L;
  EXPECT_NE(one + tiny - one, 0.0L);
}
}  // namespace
