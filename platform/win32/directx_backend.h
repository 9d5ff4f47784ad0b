// The "DirectX" display back end: DirectDraw in exclusive full screen or in a window, keys
// from the shared window machinery and the key-state array from a DirectInput keyboard.
#pragma once
#include "screen/backend/backend.h"

const Backend& directXBackend();
