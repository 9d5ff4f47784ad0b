// Scales frame rows of 0xRRGGBB pixels to a picture of another size by area coverage: each
// picture pixel is the average of the frame pixels under it, weighted by how much of it each
// covers. Integer factors give every frame pixel as an exact block; other factors keep strokes
// sharp and even (one blended pixel at most at each edge upward, the box average downward).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class PictureScaler {
 public:
  // Weights are in 1/256 and add up to 256 for every picture pixel.
  static constexpr int kWeightOne = 256;

  // For frames of frameWidth x frameRows shown as pictureWidth x pictureHeight (all > 0).
  void configure(int frameWidth, int frameRows, int pictureWidth, int pictureHeight);
  int frameWidth() const { return columns_.sourceCount; }
  int frameRows() const { return rows_.sourceCount; }
  int pictureWidth() const { return columns_.count(); }
  int pictureHeight() const { return rows_.count(); }

  // Writes picture row `y` (pictureWidth pixels) from `frame`, frameRows rows of frameWidth
  // pixels `framePitch` pixels apart. The frame's fourth byte is ignored (written as 0).
  void scaleRow(int y, const uint32_t* frame, size_t framePitch, uint32_t* out);

  // The frame pixels one picture coordinate covers along an axis, and their weights.
  struct Taps {
    int first = 0;   // first frame index
    int count = 0;   // consecutive frame indices from `first`
    int offset = 0;  // of their weights in `weights`
  };
  struct Axis {
    int sourceCount = 0;
    std::vector<Taps> taps;         // one per picture coordinate
    std::vector<uint16_t> weights;  // every tap's weight, in order
    int count() const { return static_cast<int>(taps.size()); }
  };
  const Axis& columns() const { return columns_; }
  const Axis& rows() const { return rows_; }
  static Axis axis(int sourceCount, int targetCount);

 private:
  Axis columns_, rows_;
  std::vector<uint32_t> blended_;  // one frame row blended from several
};
