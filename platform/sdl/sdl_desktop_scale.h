// The desktop's integer scale for the first window: GDK_SCALE, else the X resource Xft.dpi of
// the window's display (SDL reads neither on X11), by the rules of picture_geometry.h.
#pragma once
#include <SDL.h>

// 1 where the window is not on X11 or neither setting is usable.
int sdlDesktopScale(SDL_Window* window);
