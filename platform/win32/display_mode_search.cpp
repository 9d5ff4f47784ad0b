#include "platform/win32/display_mode_search.h"

#include <algorithm>

#include "screen/backend/taller_heights.h"

namespace {

void addBothDepths(std::vector<DisplayModeCandidate>& list, int width, int height, int frameHeight,
                   int depth) {
  const int offset = (height - frameHeight) / 2;
  const bool vga = width == 320 && height == 200 && depth == 8;
  list.push_back(DisplayModeCandidate{width, height, depth, vga, offset});
  if (const int paired = pairedDepth(depth))
    list.push_back(DisplayModeCandidate{width, height, paired, false, offset});
}
}  // namespace

int pairedDepth(int depth) {
  switch (depth) {
    case 15: return 16;
    case 16: return 15;
    case 24: return 32;
    case 32: return 24;
    default: return 0;
  }
}

std::vector<DisplayModeCandidate> fullScreenModeCandidates(int width, int height, int depth) {
  std::vector<DisplayModeCandidate> list;
  if (width <= 0 || height <= 0 || height > kTallestHeight) return list;
  addBothDepths(list, width, height, height, depth);
  for (int taller : kTallerHeights)
    if (taller > height) addBothDepths(list, width, taller, height, depth);
  return list;
}

std::optional<DisplayModeCandidate> findDisplayMode(
    int width, int height, int depth,
    const std::function<bool(const DisplayModeCandidate&)>& trySet) {
  for (const DisplayModeCandidate& c : fullScreenModeCandidates(width, height, depth))
    if (trySet(c)) return c;
  return std::nullopt;
}

void addDistinctSize(std::vector<DisplayModeSize>& sizes, int width, int height) {
  const bool known = std::any_of(sizes.begin(), sizes.end(), [&](const DisplayModeSize& s) {
    return s.width == width && s.height == height;
  });
  if (!known) sizes.push_back(DisplayModeSize{width, height});
}
