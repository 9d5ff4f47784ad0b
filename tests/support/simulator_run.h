// Helpers for the simulator's end-to-end tests: whole runs through the scripted-run library
// in virtual time, and read-back of the cells and pixels they leave on the screen.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "screen/backend/rgb565.h"
#include "screen/screen.h"
#include "simulator/variables.h"
#include "tests/support/screen_fixture.h"
#include "tools/scripted_run.h"

// The text followed by spaces up to `width` characters.
inline std::string padded(std::string text, size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

class SimulatorRun : public ScreenTest {
 protected:
  // The three entries of one pass of the form, each ended by Enter.
  static ScriptAction entries(std::string_view from, std::string_view to,
                              std::string_view percent) {
    return typeAction(std::string(from) + "\r" + std::string(to) + "\r" + std::string(percent) +
                      "\r");
  }

  static uint32_t rgb(uint32_t colour) { return rgbTo565(colour); }
  static uint32_t foregroundAt(int row, int column) { return readCell(row, column).foreground; }
  static uint32_t backgroundAt(int row, int column) { return readCell(row, column).background; }

  // Expects `text` at (row, column) in the given colours (0xRRGGBB).
  void expectText(int row, int column, std::string_view text, uint32_t foreground,
                  uint32_t background = 0x000000) const {
    const int last = column + static_cast<int>(text.size()) - 1;
    EXPECT_EQ(rowText(row, column, last), text) << "row " << row << " from column " << column;
    for (int c = column; c <= last; ++c) {
      EXPECT_EQ(foregroundAt(row, c), rgb(foreground)) << "row " << row << " column " << c;
      EXPECT_EQ(backgroundAt(row, c), rgb(background)) << "row " << row << " column " << c;
    }
  }
};
