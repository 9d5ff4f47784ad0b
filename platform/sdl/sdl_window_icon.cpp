#include "platform/sdl/sdl_window_icon.h"

#include <vector>

#include "platform/sdl/sdl_window_icon_pixels.h"

void setWindowIcon(SDL_Window* window) {
  // SDL takes a surface it may not write to, but asks for writable pixels: give it a copy.
  std::vector<uint32_t> pixels(std::begin(kWindowIconPixels), std::end(kWindowIconPixels));
  SDL_Surface* icon =
      SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kWindowIconSize, kWindowIconSize, 32,
                                         kWindowIconSize * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!icon) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}
