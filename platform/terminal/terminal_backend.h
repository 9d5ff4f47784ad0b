// The "Terminal" display back end: the 128 x 48 text cells of the screen shown as cells of
// the terminal the program runs in (over SSH, on a machine without a desktop), presented by
// a thread of its own, with keys read from the terminal and the bell as the tone.
#pragma once
#include "screen/backend/backend.h"

const Backend& terminalBackend();
