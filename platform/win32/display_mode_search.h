// The order in which full-screen display modes are tried for a frame, and where the frame sits
// in a taller mode. No system header here, so the order is checked on every platform.
#pragma once
#include <functional>
#include <optional>
#include <vector>

#include "screen/backend/backend.h"

struct DisplayModeCandidate {
  int width = 0;
  int height = 0;
  int depth = 0;
  bool standardVga = false;  // the 320 x 200 x 8 mode is asked for as the standard VGA mode
  int verticalOffset = 0;    // display rows above the frame's first row
};

// 15 <-> 16 and 24 <-> 32; 0 for a depth without a pair.
int pairedDepth(int depth);

// The frame's size at its depth, then at the paired depth, then each of kTallerHeights above
// the frame's height at both depths. Empty for a frame taller than kTallestHeight rows.
std::vector<DisplayModeCandidate> fullScreenModeCandidates(int width, int height, int depth);

// The first candidate that trySet accepts, or nothing when all are refused.
std::optional<DisplayModeCandidate> findDisplayMode(
    int width, int height, int depth,
    const std::function<bool(const DisplayModeCandidate&)>& trySet);

// Adds a size to a mode list unless it is already there (lists keep the first-seen order).
void addDistinctSize(std::vector<DisplayModeSize>& sizes, int width, int height);
