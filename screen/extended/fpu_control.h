// The floating-point control of the screen services: round to nearest with a 64-bit
// significand for intermediate results, which the simulator's arithmetic relies on.
#pragma once
#include <cstdint>

void setExtendedPrecision();
// The x87 control word now in force (0 where there is no x87 unit).
uint16_t x87ControlWord();
