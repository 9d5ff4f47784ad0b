#include "platform/terminal/terminal_colours.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace {
// The console's standard colours: black, red, green, brown, blue, magenta, cyan, light grey,
// then their bright forms.
constexpr uint32_t kStandard[16] = {0x000000, 0xAA0000, 0x00AA00, 0xAA5500, 0x0000AA, 0xAA00AA,
                                    0x00AAAA, 0xAAAAAA, 0x555555, 0xFF5555, 0x55FF55, 0xFFFF55,
                                    0x5555FF, 0xFF55FF, 0x55FFFF, 0xFFFFFF};
constexpr int kCubeLevels[6] = {0, 95, 135, 175, 215, 255};

int distance(uint32_t a, uint32_t b) {
  const int dr = static_cast<int>((a >> 16) & 0xFF) - static_cast<int>((b >> 16) & 0xFF);
  const int dg = static_cast<int>((a >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
  const int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
  return dr * dr + dg * dg + db * db;
}

void appendNumber(std::string& out, unsigned value) {
  char digits[12];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}
}  // namespace

ColourDepth colourDepthFor(const char* term, const char* colorTerm) {
  if (colorTerm &&
      (std::strcmp(colorTerm, "truecolor") == 0 || std::strcmp(colorTerm, "24bit") == 0))
    return ColourDepth::Direct;
  if (term && std::strstr(term, "256color")) return ColourDepth::Palette256;
  return ColourDepth::Palette16;
}

uint32_t paletteColour(int index) {
  if (index < 16) return kStandard[index < 0 ? 0 : index];
  if (index < 232) {
    const int i = index - 16;
    return static_cast<uint32_t>(kCubeLevels[i / 36]) << 16 |
           static_cast<uint32_t>(kCubeLevels[(i / 6) % 6]) << 8 |
           static_cast<uint32_t>(kCubeLevels[i % 6]);
  }
  const auto grey = static_cast<uint32_t>(8 + 10 * (index > 255 ? 23 : index - 232));
  return grey << 16 | grey << 8 | grey;
}

// The cube's channels are independent, so its nearest entry takes the nearest level of each
// channel; the nearest grey is the one nearest the channels' mean. The closer of the two wins.
int nearestOf256(uint32_t rgb) {
  const int channel[3] = {static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                          static_cast<int>(rgb & 0xFF)};
  int cube = 16;
  for (int c = 0, weight = 36; c < 3; ++c, weight /= 6) {
    int level = 0;
    for (int l = 1; l < 6; ++l)
      if (std::abs(kCubeLevels[l] - channel[c]) < std::abs(kCubeLevels[level] - channel[c]))
        level = l;
    cube += weight * level;
  }
  // The greys on either side of the mean (8 + 10 k); the lower one wins a tie.
  const int below = std::clamp((channel[0] + channel[1] + channel[2] - 24) / 30, 0, 23);
  int grey = 232 + below;
  if (below < 23 && distance(rgb, paletteColour(grey + 1)) < distance(rgb, paletteColour(grey)))
    ++grey;
  return distance(rgb, paletteColour(grey)) < distance(rgb, paletteColour(cube)) ? grey : cube;
}

int nearestOf16(uint32_t rgb) {
  int best = 0, bestDistance = distance(rgb, kStandard[0]);
  for (int index = 1; index < 16; ++index) {
    const int d = distance(rgb, kStandard[index]);
    if (d < bestDistance) {
      best = index;
      bestDistance = d;
    }
  }
  return best;
}

void appendColourParameters(std::string& out, ColourDepth depth, bool background, uint32_t rgb) {
  switch (depth) {
    case ColourDepth::Direct:
      out += background ? "48;2;" : "38;2;";
      appendNumber(out, (rgb >> 16) & 0xFF);
      out += ';';
      appendNumber(out, (rgb >> 8) & 0xFF);
      out += ';';
      appendNumber(out, rgb & 0xFF);
      break;
    case ColourDepth::Palette256:
      out += background ? "48;5;" : "38;5;";
      appendNumber(out, static_cast<unsigned>(nearestOf256(rgb)));
      break;
    case ColourDepth::Palette16: {
      const int index = nearestOf16(rgb);
      // 30-37 and 40-47 for the normal colours, 90-97 and 100-107 for the bright ones.
      const unsigned base = (background ? 40u : 30u) + (index >= 8 ? 60u : 0u);
      appendNumber(out, base + static_cast<unsigned>(index % 8));
      break;
    }
  }
}
