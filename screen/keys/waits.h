// Blocking on the key queue through the platform seam, so that waiting code reacts to a
// key at once without spinning and tests can drive the wait in virtual time; timed pauses.
#pragma once
#include <cstdint>
#include <string>

#include "screen/backend/platform_seam.h"

// Returns when the current screen's key queue holds a key (at once when it already does, or
// when no screen exists).
void awaitKeyQueued(KeyWaitKind kind);

// The graphics-screen versions of the waiting operations.
std::string graphicsWaitKey();
void graphicsPause(int32_t ms);
