// The "GDI" display back end: a window of the frame's size, fed with the band of changed rows
// by one device-independent-bitmap transfer per presentation-loop iteration.
#pragma once
#include "screen/backend/backend.h"

const Backend& gdiBackend();
