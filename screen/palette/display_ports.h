// The emulated display ports of palette-based programs (the DAC indexes and data, and the
// status port), in their graphics-screen versions.
#pragma once
#include <cstdint>

int32_t graphicsReadPort(int32_t port);
void graphicsWritePort(int32_t port, int32_t value);
