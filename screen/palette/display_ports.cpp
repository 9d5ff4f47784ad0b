// The emulated display ports of palette-based programs: the DAC write index (0x3C8),
// read index (0x3C7) and data (0x3C9, three 6-bit components per entry), and the
// status port (0x3DA) whose retrace bit toggles on every read.
#include "screen/palette/display_ports.h"
#include "screen/screen_state.h"

namespace {
struct DacState {
  int writeIndex = 0, readIndex = 0;
  int writeComponent = 0, readComponent = 0;
  int components[3] = {0, 0, 0};
  bool retrace = false;
};
DacState dac;

void storeEntry(ScreenState& s, int index, const int rgb6[3]) {
  const auto to8 = [](int v) { return static_cast<uint32_t>((v & 63) << 2 | (v & 63) >> 4); };
  s.palette[static_cast<size_t>(index)] = to8(rgb6[0]) << 16 | to8(rgb6[1]) << 8 | to8(rgb6[2]);
  if (s.backend && s.backend->setPaletteEntry)
    s.backend->setPaletteEntry(index, static_cast<int>(to8(rgb6[0])),
                               static_cast<int>(to8(rgb6[1])), static_cast<int>(to8(rgb6[2])));
}
}  // namespace

int32_t graphicsReadPort(int32_t port) {
  ScreenState* s = screenState;
  if (port == 0x3DA) {
    dac.retrace = !dac.retrace;
    return dac.retrace ? 8 : 0;
  }
  if (port != 0x3C9 || !s) return 0;
  const uint32_t rgb = s->palette[static_cast<size_t>(dac.readIndex)];
  const int shift = 16 - 8 * dac.readComponent;
  const int value = static_cast<int>((rgb >> shift) & 0xFF) >> 2;
  if (++dac.readComponent == 3) {
    dac.readComponent = 0;
    dac.readIndex = (dac.readIndex + 1) & 0xFF;
  }
  return value;
}

void graphicsWritePort(int32_t port, int32_t value) {
  ScreenState* s = screenState;
  switch (port) {
    case 0x3C7:
      dac.readIndex = value & 0xFF;
      dac.readComponent = 0;
      break;
    case 0x3C8:
      dac.writeIndex = value & 0xFF;
      dac.writeComponent = 0;
      break;
    case 0x3C9:
      dac.components[dac.writeComponent] = value & 63;
      if (++dac.writeComponent == 3) {
        dac.writeComponent = 0;
        if (s) storeEntry(*s, dac.writeIndex, dac.components);
        dac.writeIndex = (dac.writeIndex + 1) & 0xFF;
      }
      break;
    default: break;
  }
}
