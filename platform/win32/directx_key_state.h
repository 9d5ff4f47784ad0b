// Folds the 256-entry keyboard device state (a byte per key, high bit while down) into the
// screen's 128-entry key-state array. No system header here.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// Extended keys report as their scan code plus 128: a key counts as down when either its own
// entry or that of its extended twin is down (both Ctrl keys are scan code 0x1D).
void foldDeviceKeyState(const std::array<uint8_t, 256>& deviceState,
                        std::array<uint8_t, 128>& keyState);
