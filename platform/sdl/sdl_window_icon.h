// The program's icon on its window (the desktop entry's co2sim.svg, rasterised into
// sdl_window_icon_pixels.h by tools/make_window_icon.py), for window managers and task bars.
#pragma once
#include <SDL.h>

void setWindowIcon(SDL_Window* window);
