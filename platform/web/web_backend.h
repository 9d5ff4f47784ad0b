// The "Web" display back end: the frame on a canvas of the page, unscaled, with keys from the
// canvas. The program runs on the page's one thread and suspends at its pauses and key waits.
#pragma once
#include "screen/backend/backend.h"

const Backend& webBackend();
