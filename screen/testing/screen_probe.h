// What the screen's own tests read and set inside the current screen state beyond what a back
// end sees: current colours, cursor, text view, owed scroll, last point, lock holders, pages.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "screen/backend/backend.h"
#include "screen/backend/backend_port.h"

// A copy of the current screen's inner state, taken under no lock (tests run one thread).
struct ScreenProbe {
  const void* record = nullptr;  // the state record: null without a screen, new for a new screen
  int32_t pageCount = 0, workPage = 0, visiblePage = 0;
  const uint8_t* firstPage = nullptr;
  const uint8_t* workPixels = nullptr;
  std::vector<CellRecord> workCells;
  uint32_t colourMask = 0;
  uint32_t foregroundPixel = 0, backgroundPixel = 0;
  int32_t cursorRow = 0, cursorColumn = 0;      // 0-based
  int32_t textViewTop = 0, textViewBottom = 0;  // 0-based
  bool scrollOwed = false;
  float lastPointX = 0, lastPointY = 0;
  bool heldByProgram = false, heldByOperation = false;
  std::array<uint32_t, 256> palette{};  // as set; VisibleFrame::palette is the one shown
};
ScreenProbe probeScreen();

// Settings of the current screen that no operation makes directly.
void probeSetLastPoint(float x, float y);
void probeSetClipRegion(int32_t x, int32_t y, int32_t width, int32_t height);
void probeSetBackend(const Backend* backend);
