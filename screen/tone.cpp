// The tone: one 1000 Hz sound of 250 ms through the platform seam, so tests count it.
#include "screen/backend/platform_seam.h"
#include "screen/screen.h"

void beep() { platformSeam().tone(1000, 250); }
