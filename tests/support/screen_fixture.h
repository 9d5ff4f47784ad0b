// A test fixture with the 1024x768 16-bit screen set on the Null back end, virtual time
// installed, and helpers to read cells, pixels and text back.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "screen/backend/backend_port.h"
#include "screen/screen.h"
#include "screen/testing/screen_probe.h"
#include "tests/support/virtual_clock.h"
#include "tools/frame_files.h"

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The visible frame (its size, depth and changed-row flags).
  VisibleFrame shown() const;
  // Pixel of the work page at (x, y).
  uint32_t pixel(int x, int y) const;
  // The characters of text row `row` (1-based), columns first..last (1-based, inclusive).
  std::string rowText(int row, int first = 1, int last = 128) const;
  bool rowDirty(int y) const;
  void clearDirty();
  // Queues the bytes of `text` as typed characters (extended codes through queueKey).
  void typeKeys(const std::string& text);
};
