// The SDL window of one graphics screen: made at the desktop's scale, switched between a
// resizable window and desktop full screen, and fed with the changed frame rows through its
// window surface, scaled to the largest picture of the frame's proportions that fits, on
// black. Presentation thread only.
#pragma once
#include <SDL.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sdl/picture_geometry.h"
#include "platform/sdl/picture_scaler.h"
#include "screen/backend/backend.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/pixel_format_convert.h"

class Presenter {
 public:
  // Makes the window: a client area of width x height times the desktop's scale, fitted to
  // the work area and centred, or (fullScreen) a borderless window covering the display at
  // its own mode, which keeps that size for the window form. False on failure.
  bool build(const std::string& title, int width, int height, int depth, bool fullScreen);
  void destroy();
  // Switches between window and full screen; the previous form stays when the switch fails.
  // The window form comes back at its last size (made smaller if the work area shrank).
  bool toggleFullScreen();
  bool fullScreen() const { return fullScreen_; }
  SDL_Window* window() const { return window_; }
  // Copies the rows flagged in frame.dirtyRows to the window's surface (scaled: the picture
  // rows they cover) and clears their flags; `send` shows them. Returns whether anything was
  // copied.
  bool present(const VisibleFrame& frame);
  // Sends what the last present copied to the display. Needs no screen lock: the display's
  // round trip then never holds up the program's drawing.
  void send();
  // The palette of 8-bit frames as 0xRRGGBB; the next present converts with it.
  void setPalette(const std::array<uint32_t, 256>& palette);
  // Forces the whole picture to be sent again (exposure, resize, focus, switch).
  void invalidate() { surface_ = nullptr; }
  // Whether the next present sends the whole picture (after invalidate or a new surface).
  bool owesWholePicture() const { return window_ && !surface_; }
  // The display's sizes, for listModes.
  static std::vector<DisplayModeSize> displaySizes();
  int refreshRate() const { return refreshRate_; }
  // The mouse in frame pixels from window coordinates, and back.
  PicturePoint framePoint(int x, int y) const {
    return ::framePoint(picture_, frameWidth_, frameRows_, x, y);
  }
  PicturePoint windowPoint(int x, int y) const {
    return ::windowPoint(picture_, frameWidth_, frameRows_, x, y);
  }

 private:
  // Sizes and centres the window form in the work area of its display; `first`: at the
  // desktop's scale, else keeping its size unless it no longer fits.
  void placeWindow(bool first);
  bool configure(SDL_Surface* surface, const VisibleFrame& frame);
  bool copyRowsOneToOne(const VisibleFrame& frame, SDL_Surface* surface);
  bool copyRowsScaled(const VisibleFrame& frame, SDL_Surface* surface);

  SDL_Window* window_ = nullptr;
  bool fullScreen_ = false;
  int width_ = 0, height_ = 0, depth_ = 16;
  int desktopScale_ = 1;
  WindowSize windowSize_;  // of the window form, kept through full screen
  int refreshRate_ = 0;
  // The surface the picture was last laid out for; null: lay it out again at the next copy.
  SDL_Surface* surface_ = nullptr;
  int surfaceWidth_ = 0, surfaceHeight_ = 0;
  int frameWidth_ = 0, frameRows_ = 0;
  PictureRect picture_;
  bool oneToOne_ = true;
  std::array<uint32_t, 256> palette_{};
  std::vector<SDL_Rect> rects_;
  bool sendWhole_ = false;
  // 1:1: frame rows straight to the surface.
  SurfaceRowConverter direct_;
  bool directOk_ = false;
  // Scaled: frame rows to 0xRRGGBB (kept for every row, so a band can be scaled with its
  // neighbours), scaled, then to the surface's format unless it is 0xRRGGBB already.
  SurfaceRowConverter toRgb_, toSurface_;
  bool scaledOk_ = false;
  PictureScaler scaler_;
  std::vector<uint32_t> frameRgb_;
  std::vector<uint32_t> pictureRow_;
  std::vector<RowSpan> spans_;
};
