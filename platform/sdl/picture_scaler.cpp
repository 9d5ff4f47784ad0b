#include "platform/sdl/picture_scaler.h"

#include <algorithm>

namespace {
// Sums of pixels times weights, red and blue in one word and green in another: with weights
// adding up to 256 no channel reaches the next.
struct Accumulator {
  uint32_t redBlue = 0, green = 0;
  void add(uint32_t pixel, uint32_t weight) {
    redBlue += (pixel & 0xFF00FFu) * weight;
    green += (pixel & 0x00FF00u) * weight;
  }
  uint32_t pixel() const {
    return (((redBlue + 0x800080u) >> 8) & 0xFF00FFu) | (((green + 0x8000u) >> 8) & 0x00FF00u);
  }
};
}  // namespace

PictureScaler::Axis PictureScaler::axis(int sourceCount, int targetCount) {
  Axis a;
  a.sourceCount = sourceCount;
  a.taps.resize(static_cast<size_t>(std::max(targetCount, 0)));
  // In units of 1 / (sourceCount * targetCount): target pixel i covers [i * S, (i + 1) * S),
  // source pixel s covers [s * T, (s + 1) * T).
  const int64_t s = sourceCount, t = targetCount;
  for (int64_t i = 0; i < t; ++i) {
    const int64_t begin = i * s, end = (i + 1) * s;
    const int first = static_cast<int>(begin / t);
    const int last = static_cast<int>(std::min<int64_t>((end - 1) / t, s - 1));  // inclusive
    Taps& taps = a.taps[static_cast<size_t>(i)];
    taps.offset = static_cast<int>(a.weights.size());
    // Each weight is the rounded coverage up to the pixel's far edge less that up to its near
    // edge, so the weights add up to exactly one whatever the rounding.
    int64_t coveredBefore = 0;
    for (int p = first; p <= last; ++p) {
      const int64_t covered = std::min(end, (p + 1) * t) - begin;
      const auto weight = static_cast<int>((covered * kWeightOne + s / 2) / s -
                                           (coveredBefore * kWeightOne + s / 2) / s);
      coveredBefore = covered;
      if (weight == 0 && taps.count == 0) continue;  // nothing from this pixel: start later
      if (taps.count == 0) taps.first = p;
      a.weights.push_back(static_cast<uint16_t>(weight));
      ++taps.count;
    }
    while (taps.count > 1 && a.weights.back() == 0) {
      a.weights.pop_back();
      --taps.count;
    }
  }
  return a;
}

void PictureScaler::configure(int frameWidth, int frameRows, int pictureWidth, int pictureHeight) {
  columns_ = axis(frameWidth, pictureWidth);
  rows_ = axis(frameRows, pictureHeight);
  blended_.assign(static_cast<size_t>(std::max(frameWidth, 0)), 0);
}

void PictureScaler::scaleRow(int y, const uint32_t* frame, size_t framePitch, uint32_t* out) {
  const Taps& vertical = rows_.taps[static_cast<size_t>(y)];
  const uint32_t* source = frame + static_cast<size_t>(vertical.first) * framePitch;
  if (vertical.count > 1) {
    // Blend the covered frame rows into one first.
    const uint16_t* w = rows_.weights.data() + vertical.offset;
    for (int x = 0; x < columns_.sourceCount; ++x) {
      Accumulator sum;
      for (int k = 0; k < vertical.count; ++k)
        sum.add(source[static_cast<size_t>(k) * framePitch + static_cast<size_t>(x)], w[k]);
      blended_[static_cast<size_t>(x)] = sum.pixel();
    }
    source = blended_.data();
  }
  const Taps* horizontal = columns_.taps.data();
  const uint16_t* weights = columns_.weights.data();
  const int width = columns_.count();
  for (int x = 0; x < width; ++x) {
    const Taps& h = horizontal[x];
    if (h.count == 1) {
      out[x] = source[h.first] & 0xFFFFFFu;
      continue;
    }
    Accumulator sum;
    for (int k = 0; k < h.count; ++k) sum.add(source[h.first + k], weights[h.offset + k]);
    out[x] = sum.pixel();
  }
}
