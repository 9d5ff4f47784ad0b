#include "tests/support/screen_fixture.h"

#include <vector>

#include "screen/backend/backend.h"
#include "screen/pixel_spans.h"

void ScreenTest::SetUp() {
  startServices(0, nullptr);
  installVirtualClock();
  setScreenMode(20, 16, 8, kFlagNullBackend, 0);
  ASSERT_NE(frameBuffer(), nullptr);
  ASSERT_TRUE(graphicsScreenExists());
}

void ScreenTest::TearDown() {
  setScreenMode(0, 0, 0, 0, 0);
  virtualClock.reset();
}

VisibleFrame ScreenTest::shown() const {
  VisibleFrame frame;
  visibleFrame(frame);
  return frame;
}

uint32_t ScreenTest::pixel(int x, int y) const {
  VisibleFrame frame;
  if (!visibleFrame(frame)) return 0;
  frame.pixels = static_cast<const uint8_t*>(frameBuffer());  // the work page
  return frame.pixel(x, y);
}

std::string ScreenTest::rowText(int row, int first, int last) const {
  std::string text;
  for (int c = first; c <= last; ++c) text += static_cast<char>(readCell(row, c).character);
  return text;
}

bool ScreenTest::rowDirty(int y) const {
  VisibleFrame frame;
  return visibleFrame(frame) && frame.dirtyRows[static_cast<size_t>(y)] != 0;
}

void ScreenTest::clearDirty() {
  VisibleFrame frame;
  if (visibleFrame(frame)) takeDirtyRows(frame.dirtyRows);
}

void ScreenTest::typeKeys(const std::string& text) {
  for (unsigned char c : text) queueKey(c);
}
