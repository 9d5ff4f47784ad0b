// The window surface's pixel format in the terms of the shared row converter: its pixel size
// and channel masks, or no format at all for a palette surface, which the back end cannot fill.
#pragma once
#include <SDL_pixels.h>

#include "screen/backend/pixel_format_convert.h"

SurfacePixelFormat surfaceFormatOf(const SDL_PixelFormat& format);
