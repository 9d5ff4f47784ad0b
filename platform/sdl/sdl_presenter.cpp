#include "platform/sdl/sdl_presenter.h"

#include <algorithm>

#include "platform/sdl/sdl_desktop_scale.h"
#include "platform/sdl/sdl_surface_format.h"
#include "platform/sdl/sdl_window_icon.h"

namespace {
// Where a window of `size` (client area) with the frame edges `before` (left or top) goes
// along one axis of `start`..`start + length`: centred, but never so far up or left that the
// frame's edge (and with it the title bar and its buttons) leaves the screen.
int placeAlong(int start, int length, int size, int before) {
  return start + std::max(before, (length - size) / 2);
}

// Room left around a window before its borders must be known to size it: more than any
// window manager's frame.
constexpr int kBorderAllowance = 64;

bool surfaceIsRgb(const SDL_PixelFormat& format) {
  return format.BytesPerPixel == 4 && format.Rmask == 0xFF0000u && format.Gmask == 0x00FF00u &&
         format.Bmask == 0x0000FFu;
}
}  // namespace

void Presenter::placeWindow(bool first) {
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  SDL_Rect area;
  if (SDL_GetDisplayUsableBounds(display, &area) != 0 &&
      SDL_GetDisplayBounds(display, &area) != 0) {
    SDL_SetWindowSize(window_, windowSize_.width, windowSize_.height);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    return;
  }
  FrameBorders borders;
  auto wanted = [&] {
    return first ? firstWindowSize(width_, height_, desktopScale_, area.w, area.h, borders)
                 : fitWorkArea(windowSize_, width_, height_, area.w, area.h, borders);
  };
  WindowSize size = wanted();
  if (size.width + kBorderAllowance > area.w || size.height + kBorderAllowance > area.h) {
    // The window manager tells the frame's size only once the window is shown.
    int top = 0, left = 0, bottom = 0, right = 0;
    for (int i = 0;
         i < 40 && SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0 &&
         top == 0 && left == 0;
         ++i) {
      SDL_PumpEvents();
      SDL_Delay(5);
    }
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0)
      borders = {top, left, bottom, right};
    size = wanted();
  }
  // Set even when unchanged: leaving full screen, SDL still reports the display's size.
  windowSize_ = size;
  SDL_SetWindowSize(window_, size.width, size.height);
  SDL_SetWindowPosition(window_, placeAlong(area.x, area.w, size.width, borders.left),
                        placeAlong(area.y, area.h, size.height, borders.top));
}

bool Presenter::build(const std::string& title, int width, int height, int depth, bool fullScreen) {
  width_ = width;
  height_ = height;
  depth_ = depth;
  fullScreen_ = false;
  surface_ = nullptr;
  window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                             height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!window_) return false;
  setWindowIcon(window_);
  desktopScale_ = sdlDesktopScale(window_);
  // The window form's size first: full screen keeps it for the way back.
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  SDL_Rect area;
  windowSize_ = {width, height};
  if (SDL_GetDisplayUsableBounds(display, &area) == 0) {
    windowSize_ = firstWindowSize(width, height, desktopScale_, area.w, area.h, {});
    SDL_SetWindowSize(window_, windowSize_.width, windowSize_.height);
  }
  if (fullScreen && SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0)
    fullScreen_ = true;
  SDL_ShowWindow(window_);
  if (!fullScreen_) placeWindow(true);
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
  if (window_) SDL_DestroyWindow(window_);
  window_ = nullptr;
  surface_ = nullptr;
  fullScreen_ = false;
}

bool Presenter::toggleFullScreen() {
  if (!window_) return false;
  if (fullScreen_) {
    if (SDL_SetWindowFullscreen(window_, 0) != 0) return false;
    fullScreen_ = false;
    placeWindow(false);
  } else {
    // The size to come back to: the window's as it is now, resized or maximised by the user.
    SDL_GetWindowSize(window_, &windowSize_.width, &windowSize_.height);
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
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

bool Presenter::configure(SDL_Surface* surface, const VisibleFrame& s) {
  surface_ = surface;
  surfaceWidth_ = surface->w;
  surfaceHeight_ = surface->h;
  frameWidth_ = s.width;
  frameRows_ = static_cast<int>(s.dirtyRows.size());
  picture_ = fitPicture(frameWidth_, frameRows_, surface->w, surface->h);
  oneToOne_ = picture_.width == frameWidth_ && picture_.height == frameRows_;
  const SurfacePixelFormat format = surfaceFormatOf(*surface->format);
  directOk_ = oneToOne_ && direct_.configure(depth_, format, palette_);
  scaledOk_ = false;
  if (!oneToOne_ && !picture_.empty()) {
    scaledOk_ = toRgb_.configure(depth_, kSurfaceXrgb8888, palette_) &&
                toSurface_.configure(32, format, palette_);
    scaler_.configure(frameWidth_, frameRows_, picture_.width, picture_.height);
    frameRgb_.assign(static_cast<size_t>(frameWidth_) * static_cast<size_t>(frameRows_), 0);
    pictureRow_.assign(static_cast<size_t>(picture_.width), 0);
  } else {
    // A window too small for even one pixel of picture shows black; nothing is kept.
    frameRgb_ = {};
    pictureRow_ = {};
  }
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  std::fill(s.dirtyRows.begin(), s.dirtyRows.end(), uint8_t{1});
  return directOk_ || scaledOk_ || picture_.empty();
}

bool Presenter::copyRowsOneToOne(const VisibleFrame& s, SDL_Surface* surface) {
  auto* pixels = static_cast<uint8_t*>(surface->pixels);
  const auto bytes = static_cast<size_t>(surface->format->BytesPerPixel);
  const auto pitch = static_cast<size_t>(surface->pitch);
  for (int d = 0; d < frameRows_; ++d) {
    if (!s.dirtyRows[static_cast<size_t>(d)]) continue;
    const int y = picture_.y + d;
    direct_.convert(
        s.displayedRow(d), frameWidth_,
        pixels + static_cast<size_t>(y) * pitch + static_cast<size_t>(picture_.x) * bytes);
    if (!rects_.empty() && rects_.back().y + rects_.back().h == y)
      ++rects_.back().h;
    else
      rects_.push_back(SDL_Rect{picture_.x, y, frameWidth_, 1});
  }
  return true;
}

bool Presenter::copyRowsScaled(const VisibleFrame& s, SDL_Surface* surface) {
  // The changed frame rows in 0xRRGGBB, and the picture rows each band of them covers.
  spans_.clear();
  for (int d = 0; d < frameRows_;) {
    if (!s.dirtyRows[static_cast<size_t>(d)]) {
      ++d;
      continue;
    }
    const int first = d;
    for (; d < frameRows_ && s.dirtyRows[static_cast<size_t>(d)]; ++d)
      toRgb_.convert(
          s.displayedRow(d), frameWidth_,
          reinterpret_cast<uint8_t*>(frameRgb_.data() +
                                     static_cast<size_t>(d) * static_cast<size_t>(frameWidth_)));
    const RowSpan span = pictureRowsOf(frameRows_, picture_.height, first, d);
    if (!spans_.empty() && spans_.back().last >= span.first)
      spans_.back().last = std::max(spans_.back().last, span.last);
    else if (!span.empty())
      spans_.push_back(span);
  }
  auto* pixels = static_cast<uint8_t*>(surface->pixels);
  const auto bytes = static_cast<size_t>(surface->format->BytesPerPixel);
  const auto pitch = static_cast<size_t>(surface->pitch);
  const bool rgb = surfaceIsRgb(*surface->format);
  for (const RowSpan& span : spans_) {
    for (int y = span.first; y < span.last; ++y) {
      uint8_t* target = pixels + static_cast<size_t>(picture_.y + y) * pitch +
                        static_cast<size_t>(picture_.x) * bytes;
      if (rgb) {
        scaler_.scaleRow(y, frameRgb_.data(), static_cast<size_t>(frameWidth_),
                         reinterpret_cast<uint32_t*>(target));
      } else {
        scaler_.scaleRow(y, frameRgb_.data(), static_cast<size_t>(frameWidth_), pictureRow_.data());
        toSurface_.convert(reinterpret_cast<const uint8_t*>(pictureRow_.data()), picture_.width,
                           target);
      }
    }
    rects_.push_back(
        SDL_Rect{picture_.x, picture_.y + span.first, picture_.width, span.last - span.first});
  }
  return true;
}

bool Presenter::present(const VisibleFrame& s) {
  if (!window_) return false;
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return false;  // the flags stay set for the next try
  bool whole = false;
  if (surface != surface_ || surface->w != surfaceWidth_ || surface->h != surfaceHeight_ ||
      s.width != frameWidth_ || static_cast<int>(s.dirtyRows.size()) != frameRows_) {
    if (!configure(surface, s)) return false;
    whole = true;
  }
  if (!picture_.empty() && !directOk_ && !scaledOk_) return false;
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
  rects_.clear();
  if (picture_.empty()) {
    // Nothing of the picture fits: the black fill is all there is.
  } else if (oneToOne_) {
    copyRowsOneToOne(s, surface);
  } else {
    copyRowsScaled(s, surface);
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
