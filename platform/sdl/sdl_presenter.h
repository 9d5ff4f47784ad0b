// The SDL window of one graphics screen: made, switched between window and full screen,
// and fed with the changed frame rows through its window surface. Presentation thread only.
#pragma once
#include <SDL.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "screen/backend/backend.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/pixel_format_convert.h"

class Presenter {
 public:
  // Makes the window: client area width x height, centred, or full screen in a display mode
  // of that width and the height or the next taller standard height. False on failure.
  bool build(const std::string& title, int width, int height, int depth, bool fullScreen);
  void destroy();
  // Switches between window and full screen; the previous form stays when the switch fails.
  bool toggleFullScreen();
  bool fullScreen() const { return fullScreen_; }
  SDL_Window* window() const { return window_; }
  // Copies the rows flagged in dirtyRows to the window's surface and clears their flags;
  // `send` shows them. Returns whether any row was copied.
  bool present(const VisibleFrame& frame);
  // Sends what the last present copied to the display. Needs no screen lock: the display's
  // round trip then never holds up the program's drawing.
  void send();
  // The palette of 8-bit frames as 0xRRGGBB; the next present converts with it.
  void setPalette(const std::array<uint32_t, 256>& palette);
  // Forces the whole picture to be sent again (exposure, focus, switch).
  void invalidate() { surface_ = nullptr; }
  // Whether the next present sends the whole picture (after invalidate or a new surface).
  bool owesWholePicture() const { return window_ && !surface_; }
  // The display's sizes, for listModes.
  static std::vector<DisplayModeSize> displaySizes();
  int refreshRate() const { return refreshRate_; }

 private:
  bool findFullScreenMode(SDL_DisplayMode& mode) const;
  bool enterFullScreen();
  void centreWindow();

  SDL_Window* window_ = nullptr;
  bool fullScreen_ = false;
  int width_ = 0, height_ = 0, depth_ = 16;
  int refreshRate_ = 0;
  SDL_Surface* surface_ = nullptr;
  int surfaceWidth_ = 0, surfaceHeight_ = 0;
  int offsetX_ = 0, offsetY_ = 0;
  SurfaceRowConverter converter_;
  bool converterOk_ = false;
  std::array<uint32_t, 256> palette_{};
  std::vector<SDL_Rect> rects_;
  bool sendWhole_ = false;
};
