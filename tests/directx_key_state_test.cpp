// The keyboard device state folded into the key-state array: the high bit marks a held key,
// and an extended key counts for the scan code it shares with its plain twin.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/win32/directx_key_state.h"

namespace {
TEST(DeviceKeyState, FoldsExtendedTwinsAndReadsOnlyTheHighBit) {
  struct Case {
    const char* name;
    std::vector<std::pair<size_t, uint8_t>> device;  // entry, value
    std::vector<size_t> held;                        // key-state entries expected at 1
  };
  const Case cases[] = {
      {"nothing held", {}, {}},
      {"left Ctrl", {{0x1D, 0x80}}, {0x1D}},
      {"right Ctrl is the extended twin", {{0x9D, 0x80}}, {0x1D}},
      {"both Ctrl keys", {{0x1D, 0x80}, {0x9D, 0x80}}, {0x1D}},
      {"grey Left arrow and Escape", {{0xCB, 0x80}, {0x01, 0xFF}}, {0x01, 0x4B}},
      {"low bits alone are not a press", {{0x1E, 0x7F}, {0x9E, 0x01}}, {}},
      {"first and last entries", {{0x00, 0x80}, {0xFF, 0x80}}, {0x00, 0x7F}},
  };
  for (const Case& c : cases) {
    std::array<uint8_t, 256> device{};
    for (auto [entry, value] : c.device) device[entry] = value;
    std::array<uint8_t, 128> keyState;
    keyState.fill(1);  // every entry is written, held or not
    foldDeviceKeyState(device, keyState);
    std::array<uint8_t, 128> expected{};
    for (size_t entry : c.held) expected[entry] = 1;
    EXPECT_EQ(keyState, expected) << c.name;
  }
}
}  // namespace
