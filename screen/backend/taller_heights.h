// The standard display heights a full-screen back end tries, in this order, above the frame's
// own height when the display offers no mode of exactly the frame's size.
#pragma once
#include <iterator>

inline constexpr int kTallerHeights[] = {240, 480, 600, 768, 1024};
inline constexpr int kTallestHeight = kTallerHeights[std::size(kTallerHeights) - 1];
