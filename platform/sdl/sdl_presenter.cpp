#include "platform/sdl/sdl_presenter.h"

#include <algorithm>

#include "platform/sdl/sdl_surface_format.h"
#include "screen/backend/taller_heights.h"

bool Presenter::findFullScreenMode(SDL_DisplayMode& found) const {
  const int display = window_ ? std::max(0, SDL_GetWindowDisplayIndex(window_)) : 0;
  const int count = SDL_GetNumDisplayModes(display);
  auto offered = [&](int height) {
    for (int i = 0; i < count; ++i) {
      SDL_DisplayMode mode;
      if (SDL_GetDisplayMode(display, i, &mode) == 0 && mode.w == width_ && mode.h == height) {
        found = mode;
        return true;
      }
    }
    return false;
  };
  if (offered(height_)) return true;
  for (int height : kTallerHeights)
    if (height > height_ && offered(height)) return true;
  return false;
}

bool Presenter::enterFullScreen() {
  SDL_DisplayMode mode;
  if (!findFullScreenMode(mode)) return false;
  if (SDL_SetWindowDisplayMode(window_, &mode) != 0) return false;
  if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) return false;
  SDL_DisplayMode current;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  if (SDL_GetCurrentDisplayMode(display, &current) != 0 || current.w != mode.w ||
      current.h != mode.h) {
    SDL_SetWindowFullscreen(window_, 0);
    return false;
  }
  return true;
}

namespace {
// Where a window of `size` (client area) with the frame edges `before` (left or top) goes
// along one axis of `start`..`start + length`: centred, but never so far up or left that the
// frame's edge (and with it the title bar and its buttons) leaves the screen.
int placeAlong(int start, int length, int size, int before) {
  return start + std::max(before, (length - size) / 2);
}
}  // namespace

void Presenter::centreWindow() {
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  SDL_Rect area;
  if (SDL_GetDisplayUsableBounds(display, &area) != 0 &&
      SDL_GetDisplayBounds(display, &area) != 0) {
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    return;
  }
  const bool fits = area.w >= width_ && area.h >= height_;
  int top = 0, left = 0, bottom = 0, right = 0;
  if (!fits) {
    // The window manager tells the frame's size only once the window is shown.
    for (int i = 0;
         i < 40 && SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0 &&
         top == 0 && left == 0;
         ++i) {
      SDL_PumpEvents();
      SDL_Delay(5);
    }
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) top = left = 0;
  }
  SDL_SetWindowPosition(window_, placeAlong(area.x, area.w, width_, left),
                        placeAlong(area.y, area.h, height_, top));
}

bool Presenter::build(const std::string& title, int width, int height, int depth, bool fullScreen) {
  width_ = width;
  height_ = height;
  depth_ = depth;
  fullScreen_ = false;
  surface_ = nullptr;
  if (fullScreen) {
    SDL_DisplayMode probe;
    if (!findFullScreenMode(probe)) return false;
  }
  window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                             height, SDL_WINDOW_HIDDEN);
  if (!window_) return false;
  if (fullScreen) {
    SDL_ShowWindow(window_);
    if (!enterFullScreen()) {
      destroy();
      return false;
    }
    fullScreen_ = true;
  } else {
    SDL_ShowWindow(window_);
    centreWindow();
  }
  SDL_RaiseWindow(window_);
  SDL_DisplayMode mode;
  if (SDL_GetWindowDisplayMode(window_, &mode) == 0) refreshRate_ = mode.refresh_rate;
  // A surface now, so that a display that cannot serve one fails the start.
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface || surface->format->BytesPerPixel < 2) {
    destroy();
    return false;
  }
  return true;
}

void Presenter::destroy() {
  if (window_) {
    if (fullScreen_) SDL_SetWindowFullscreen(window_, 0);
    SDL_DestroyWindow(window_);
  }
  window_ = nullptr;
  surface_ = nullptr;
  fullScreen_ = false;
}

bool Presenter::toggleFullScreen() {
  if (!window_) return false;
  if (fullScreen_) {
    if (SDL_SetWindowFullscreen(window_, 0) != 0) return false;
    fullScreen_ = false;
    centreWindow();
  } else {
    if (!enterFullScreen()) {
      SDL_SetWindowFullscreen(window_, 0);
      return false;
    }
    fullScreen_ = true;
  }
  surface_ = nullptr;
  return true;
}

void Presenter::setPalette(const std::array<uint32_t, 256>& palette) {
  palette_ = palette;
  surface_ = nullptr;
}

std::vector<DisplayModeSize> Presenter::displaySizes() {
  std::vector<DisplayModeSize> sizes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
    const bool known = std::any_of(sizes.begin(), sizes.end(), [&](const DisplayModeSize& s) {
      return s.width == mode.w && s.height == mode.h;
    });
    if (!known) sizes.push_back(DisplayModeSize{mode.w, mode.h});
  }
  return sizes;
}

bool Presenter::present(const VisibleFrame& s) {
  if (!window_) return false;
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return false;  // the flags stay set for the next try
  const int rows = static_cast<int>(s.dirtyRows.size());
  bool whole = false;
  if (surface != surface_ || surface->w != surfaceWidth_ || surface->h != surfaceHeight_) {
    surface_ = surface;
    surfaceWidth_ = surface->w;
    surfaceHeight_ = surface->h;
    converterOk_ = converter_.configure(depth_, surfaceFormatOf(*surface->format), palette_);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    // A taller display mode shows the frame centred vertically.
    offsetX_ = std::max(0, (surface->w - width_) / 2);
    offsetY_ = std::max(0, (surface->h - rows) / 2);
    std::fill(s.dirtyRows.begin(), s.dirtyRows.end(), uint8_t{1});
    whole = true;
  }
  if (!converterOk_) return false;
  const int copyWidth = std::min(s.width, surface->w - offsetX_);
  const int lastRow = std::min(rows, surface->h - offsetY_);
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
  rects_.clear();
  auto* pixels = static_cast<uint8_t*>(surface->pixels);
  const int bytes = surface->format->BytesPerPixel;
  for (int d = 0; d < lastRow; ++d) {
    if (!s.dirtyRows[static_cast<size_t>(d)]) continue;
    converter_.convert(s.displayedRow(d), copyWidth,
                       pixels +
                           static_cast<size_t>(d + offsetY_) * static_cast<size_t>(surface->pitch) +
                           static_cast<size_t>(offsetX_) * static_cast<size_t>(bytes));
    if (!rects_.empty() && rects_.back().y + rects_.back().h == d + offsetY_) {
      ++rects_.back().h;
    } else {
      rects_.push_back(SDL_Rect{offsetX_, d + offsetY_, copyWidth, 1});
    }
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  std::fill(s.dirtyRows.begin(), s.dirtyRows.end(), uint8_t{0});
  sendWhole_ = sendWhole_ || whole;
  return whole || !rects_.empty();
}

void Presenter::send() {
  if (window_ && sendWhole_) {
    SDL_UpdateWindowSurface(window_);
  } else if (window_ && !rects_.empty()) {
    SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(rects_.size()));
  }
  sendWhole_ = false;
  rects_.clear();
}
