// The "SDL" display back end: a window (or full screen) on X11 or Wayland, presented by a
// thread of its own, with keys from SDL's events and the tone through SDL audio.
#pragma once
#include "screen/backend/backend.h"

const Backend& sdlBackend();
