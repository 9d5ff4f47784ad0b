// The DirectDraw side of the "DirectX" back end: the library loaded at run time, exclusive full
// screen or a clipped window with an off-screen surface, and the per-row copy of the frame.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "screen/backend/backend.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/pixel_format_convert.h"

struct IDirectDraw7;
struct IDirectDrawSurface7;
struct IDirectDrawClipper;
struct IDirectDrawPalette;

class DirectDrawDisplay {
 public:
  DirectDrawDisplay() = default;
  DirectDrawDisplay(const DirectDrawDisplay&) = delete;
  DirectDrawDisplay& operator=(const DirectDrawDisplay&) = delete;
  ~DirectDrawDisplay() { release(); }

  // Loads ddraw.dll and makes the DirectDraw object. False when the library or the object is
  // missing.
  bool load();
  // Exclusive full screen on `window` (a pop-up covering the desktop): sets a display mode
  // for a frame of width x height at depth (searching paired depths and taller heights),
  // makes the primary surface and its palette. False when no mode or no conversion fits.
  bool buildFullScreen(HWND window, int width, int height, int depth, int refreshRate,
                       const std::array<uint32_t, 256>& palette);
  // A window keeping the desktop's mode: primary surface clipped to the window and a system-
  // memory off-screen surface of the frame's size in the primary's own pixel format.
  bool buildWindowed(HWND window, int width, int height, int depth,
                     const std::array<uint32_t, 256>& palette);
  // Leaves full screen (restoring the desktop's mode), releases every object and unloads the
  // library. Safe to call at any point.
  void release();

  // One presentation step: restore lost surfaces, send a changed palette, copy the dirty rows
  // (their flags stay set when the target cannot be locked) and, in a window, show them.
  void present(const VisibleFrame& frame, const std::array<uint32_t, 256>* changedPalette);
  // Copies the whole off-screen picture to the window again (after a paint request).
  void repaint();
  // Waits for the display's vertical blank; false when there is no display object.
  bool waitVerticalBlank();

  bool fullScreen() const { return fullScreen_; }
  int frameOffsetY() const { return offsetY_; }
  int displayRefresh() const { return refresh_; }

  // The sizes of the display modes at `depth`, through a DirectDraw object of its own.
  static std::vector<DisplayModeSize> listModes(int depth);

 private:
  bool configureConverter(IDirectDrawSurface7* target, const std::array<uint32_t, 256>& palette);
  bool attachPalette(const std::array<uint32_t, 256>& palette);
  void readRefresh();
  bool restoreLost();
  void clearPrimary();
  void showBand(int first, int last);

  HMODULE library_ = nullptr;
  IDirectDraw7* draw_ = nullptr;
  IDirectDrawSurface7* primary_ = nullptr;
  IDirectDrawSurface7* offscreen_ = nullptr;
  IDirectDrawClipper* clipper_ = nullptr;
  IDirectDrawPalette* palette_ = nullptr;
  HWND window_ = nullptr;
  bool fullScreen_ = false;
  bool exclusive_ = false;
  bool modeSet_ = false;
  bool wholeOwed_ = false;  // a new or restored target: every row is copied next time
  int width_ = 0, height_ = 0, frameDepth_ = 16;
  int offsetY_ = 0;
  int primaryWidth_ = 0, primaryHeight_ = 0;  // the desktop, in a window
  int refresh_ = 0;
  SurfacePixelFormat targetFormat_{};
  SurfaceRowConverter converter_;
};
