// co2sim-line-shot: draws a fixed series of pseudo-random lines whose ends mostly lie off the
// screen, so that they must be clipped, and writes the screen as a PNG. Builds for different
// processors must give the same picture.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "screen/backend/backend.h"
#include "screen/screen.h"
#include "tools/frame_files.h"
#include "tools/pseudo_random.h"

int main(int argc, char** argv) {
  const long count = argc == 3 ? std::strtol(argv[1], nullptr, 10) : -1;
  if (count < 0) {
    std::fprintf(stderr, "usage: co2sim-line-shot COUNT FILE.png\n");
    return 2;
  }
  startServices(0, nullptr);
  setScreenMode(20, 16, 8, kFlagNullBackend, 0);
  if (frameBuffer() == nullptr) {
    std::fprintf(stderr, "co2sim-line-shot: no screen\n");
    return 1;
  }
  PseudoRandom random;
  for (long i = 0; i < count; ++i) {
    const float x1 = random.coordinate(-3000, 7024), y1 = random.coordinate(-3000, 6768);
    const float x2 = random.coordinate(-3000, 7024), y2 = random.coordinate(-3000, 6768);
    const auto colour = static_cast<uint32_t>(random.next() & 0xFFFFFF);
    drawLine(nullptr, x1, y1, x2, y2, colour, 0, 0xFFFF, 0);
  }
  // A line whose clipped end depends on the 64-bit rounding: x 151 at the bottom row.
  drawLine(nullptr, 439, 323, 7, 989, 0xFFFFFF, 0, 0xFFFF, 0);
  const bool written = writeScreenPng(argv[2]);
  setScreenMode(0, 0, 0, 0, 0);
  return written ? 0 : 1;
}
