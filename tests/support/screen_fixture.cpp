#include "tests/support/screen_fixture.h"

#include <vector>

#include "screen/backend.h"

void ScreenTest::SetUp() {
  startServices(0, nullptr);
  installVirtualClock();
  setScreenMode(20, 16, 8, kFlagNullBackend, 0);
  ASSERT_NE(frameBuffer(), nullptr);
  ASSERT_NE(screenState, nullptr);
}

void ScreenTest::TearDown() {
  setScreenMode(0, 0, 0, 0, 0);
  virtualClock.reset();
}

uint32_t ScreenTest::pixel(int x, int y) const {
  return getPixel(*screenState, screenState->pages[static_cast<size_t>(screenState->workPage)].get(), x, y);
}

std::string ScreenTest::rowText(int row, int first, int last) const {
  std::string text;
  for (int c = first; c <= last; ++c) text += static_cast<char>(readCell(row, c).character);
  return text;
}

bool ScreenTest::rowDirty(int y) const { return screenState->dirtyRows[static_cast<size_t>(y)] != 0; }

void ScreenTest::clearDirty() {
  std::fill(screenState->dirtyRows.begin(), screenState->dirtyRows.end(), uint8_t{0});
}

void ScreenTest::typeKeys(const std::string& text) {
  for (unsigned char c : text) queueKey(c);
}

