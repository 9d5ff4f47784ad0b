#include "platform/sdl/sdl_surface_format.h"

SurfacePixelFormat surfaceFormatOf(const SDL_PixelFormat& format) {
  const int bytes = format.BytesPerPixel;
  if (bytes < 2 || bytes > 4) return {};
  // The bit count is the pixel's whole size: a 12-bit surface fills two bytes per pixel.
  return {bytes * 8, format.Rmask, format.Gmask, format.Bmask, format.Amask};
}
