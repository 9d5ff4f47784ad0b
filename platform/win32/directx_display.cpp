#include "platform/win32/directx_display.h"

#include <ddraw.h>

#include <algorithm>

#include "platform/win32/display_mode_search.h"
#include "screen/backend/backend_port.h"

namespace {
using CreateExFn = HRESULT(WINAPI*)(GUID*, LPVOID*, REFIID, IUnknown*);
using CreateFn = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

template <typename Fn>
Fn procedure(HMODULE library, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

template <typename Interface>
void releaseObject(Interface*& object) {
  if (object) object->Release();
  object = nullptr;
}

template <typename Desc>
Desc sized() {
  Desc d{};
  d.dwSize = sizeof(Desc);
  return d;
}

// DirectDrawCreateEx where the library has it, else the first interface asked for the seventh.
IDirectDraw7* createDirectDraw(HMODULE library) {
  IDirectDraw7* draw = nullptr;
  if (auto createEx = procedure<CreateExFn>(library, "DirectDrawCreateEx")) {
    if (SUCCEEDED(createEx(nullptr, reinterpret_cast<LPVOID*>(&draw), IID_IDirectDraw7, nullptr)))
      return draw;
  }
  if (auto create = procedure<CreateFn>(library, "DirectDrawCreate")) {
    LPDIRECTDRAW first = nullptr;
    if (SUCCEEDED(create(nullptr, &first, nullptr))) {
      if (FAILED(first->QueryInterface(IID_IDirectDraw7, reinterpret_cast<LPVOID*>(&draw))))
        draw = nullptr;
      first->Release();
    }
  }
  return draw;
}

void toEntries(const std::array<uint32_t, 256>& palette, PALETTEENTRY (&entries)[256]) {
  for (size_t i = 0; i < 256; ++i)
    entries[i] = PALETTEENTRY{static_cast<BYTE>(palette[i] >> 16),
                              static_cast<BYTE>(palette[i] >> 8), static_cast<BYTE>(palette[i]), 0};
}

struct ModeListing {
  int depth;
  std::vector<DisplayModeSize>* sizes;
};

HRESULT WINAPI collectMode(LPDDSURFACEDESC2 desc, LPVOID context) {
  auto* listing = static_cast<ModeListing*>(context);
  const auto bits = static_cast<int>(desc->ddpfPixelFormat.dwRGBBitCount);
  // A 5:5:5 display counts its padding bit: depth 15 is listed under 16.
  if (bits == listing->depth || (listing->depth == 15 && bits == 16))
    addDistinctSize(*listing->sizes, static_cast<int>(desc->dwWidth),
                    static_cast<int>(desc->dwHeight));
  return DDENUMRET_OK;
}
}  // namespace

bool DirectDrawDisplay::load() {
  release();
  library_ = LoadLibraryA("ddraw.dll");
  if (!library_) return false;
  draw_ = createDirectDraw(library_);
  if (draw_) return true;
  release();
  return false;
}

bool DirectDrawDisplay::buildFullScreen(HWND window, int width, int height, int depth,
                                        int refreshRate, const std::array<uint32_t, 256>& palette) {
  if (!draw_) return false;
  window_ = window;
  fullScreen_ = true;
  width_ = width;
  height_ = height;
  frameDepth_ = depth;
  if (FAILED(draw_->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN))) return false;
  exclusive_ = true;
  const auto mode =
      findDisplayMode(width, height, std::max(depth, 8), [&](const DisplayModeCandidate& c) {
        return SUCCEEDED(draw_->SetDisplayMode(
            static_cast<DWORD>(c.width), static_cast<DWORD>(c.height), static_cast<DWORD>(c.depth),
            static_cast<DWORD>(std::max(refreshRate, 0)),
            c.standardVga ? DDSDM_STANDARDVGAMODE : 0));
      });
  if (!mode) return false;
  modeSet_ = true;
  offsetY_ = mode->verticalOffset;
  SetWindowPos(window, HWND_TOPMOST, 0, 0, mode->width, mode->height, SWP_NOACTIVATE);

  auto desc = sized<DDSURFACEDESC2>();
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (FAILED(draw_->CreateSurface(&desc, &primary_, nullptr))) return false;
  if (!configureConverter(primary_, palette)) return false;
  if (targetFormat_.bitCount == 8 && !attachPalette(palette)) return false;
  readRefresh();
  clearPrimary();
  wholeOwed_ = true;
  return true;
}

bool DirectDrawDisplay::buildWindowed(HWND window, int width, int height, int depth,
                                      const std::array<uint32_t, 256>& palette) {
  if (!draw_) return false;
  window_ = window;
  fullScreen_ = false;
  width_ = width;
  height_ = height;
  frameDepth_ = depth;
  offsetY_ = 0;
  if (FAILED(draw_->SetCooperativeLevel(window, DDSCL_NORMAL))) return false;

  auto desc = sized<DDSURFACEDESC2>();
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (FAILED(draw_->CreateSurface(&desc, &primary_, nullptr))) return false;
  auto primaryDesc = sized<DDSURFACEDESC2>();
  if (FAILED(primary_->GetSurfaceDesc(&primaryDesc))) return false;
  primaryWidth_ = static_cast<int>(primaryDesc.dwWidth);
  primaryHeight_ = static_cast<int>(primaryDesc.dwHeight);
  if (FAILED(draw_->CreateClipper(0, &clipper_, nullptr)) || FAILED(clipper_->SetHWnd(0, window)) ||
      FAILED(primary_->SetClipper(clipper_)))
    return false;

  // No pixel format given: the surface takes the primary's, so the final blit never converts.
  auto offscreen = sized<DDSURFACEDESC2>();
  offscreen.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  offscreen.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  offscreen.dwWidth = static_cast<DWORD>(width);
  offscreen.dwHeight = static_cast<DWORD>(height);
  if (FAILED(draw_->CreateSurface(&offscreen, &offscreen_, nullptr))) return false;
  if (!configureConverter(offscreen_, palette)) return false;
  if (targetFormat_.bitCount == 8) attachPalette(palette);  // the desktop's colours otherwise
  readRefresh();
  wholeOwed_ = true;
  return true;
}

bool DirectDrawDisplay::configureConverter(IDirectDrawSurface7* target,
                                           const std::array<uint32_t, 256>& palette) {
  auto format = sized<DDPIXELFORMAT>();
  if (FAILED(target->GetPixelFormat(&format))) return false;
  if (format.dwFlags & DDPF_PALETTEINDEXED8) {
    targetFormat_ = SurfacePixelFormat{8, 0, 0, 0};
  } else if (format.dwFlags & DDPF_RGB) {
    targetFormat_ = SurfacePixelFormat{static_cast<int>(format.dwRGBBitCount), format.dwRBitMask,
                                       format.dwGBitMask, format.dwBBitMask};
  } else {
    return false;
  }
  return converter_.configure(frameDepth_, targetFormat_, palette);
}

bool DirectDrawDisplay::attachPalette(const std::array<uint32_t, 256>& palette) {
  PALETTEENTRY entries[256];
  toEntries(palette, entries);
  if (FAILED(draw_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette_, nullptr)) &&
      FAILED(draw_->CreatePalette(DDPCAPS_8BIT, entries, &palette_, nullptr)))
    return false;
  return SUCCEEDED(primary_->SetPalette(palette_));
}

void DirectDrawDisplay::readRefresh() {
  auto desc = sized<DDSURFACEDESC2>();
  refresh_ = SUCCEEDED(draw_->GetDisplayMode(&desc)) ? static_cast<int>(desc.dwRefreshRate) : 0;
}

void DirectDrawDisplay::clearPrimary() {
  auto fill = sized<DDBLTFX>();
  fill.dwFillColor = 0;
  primary_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

bool DirectDrawDisplay::restoreLost() {
  bool restored = false;
  if (primary_->IsLost() == DDERR_SURFACELOST) {
    if (FAILED(primary_->Restore())) return false;
    if (fullScreen_) clearPrimary();
    restored = true;
  }
  if (offscreen_ && offscreen_->IsLost() == DDERR_SURFACELOST) {
    if (FAILED(offscreen_->Restore())) return false;
    restored = true;
  }
  return restored;
}

void DirectDrawDisplay::present(const VisibleFrame& s,
                                const std::array<uint32_t, 256>* changedPalette) {
  if (!primary_) return;
  if (restoreLost()) wholeOwed_ = true;
  if (changedPalette) {
    if (palette_) {
      PALETTEENTRY entries[256];
      toEntries(*changedPalette, entries);
      palette_->SetEntries(0, 0, 256, entries);
    } else if (!converter_.copies() && converter_.frameBytesPerPixel() == 1) {
      converter_.configure(frameDepth_, targetFormat_, *changedPalette);
      wholeOwed_ = true;
    }
  }
  if (wholeOwed_) std::fill(s.dirtyRows.begin(), s.dirtyRows.end(), uint8_t{1});
  const auto rows = static_cast<int>(s.dirtyRows.size());
  const RowBand changed = dirtyBand(s.dirtyRows);
  if (changed.empty()) return;
  const int first = changed.first;

  IDirectDrawSurface7* target = fullScreen_ ? primary_ : offscreen_;
  auto desc = sized<DDSURFACEDESC2>();
  if (FAILED(target->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY | DDLOCK_SURFACEMEMORYPTR,
                          nullptr)))
    return;  // the flags stay set for the next iteration
  auto* pixels = static_cast<uint8_t*>(desc.lpSurface);
  const int shownRows = std::min(rows, static_cast<int>(desc.dwHeight) - offsetY_);
  const int copyWidth = std::min(s.width, static_cast<int>(desc.dwWidth));
  int last = first;
  for (int d = first; d < shownRows; ++d) {
    if (!s.dirtyRows[static_cast<size_t>(d)]) continue;
    converter_.convert(
        s.displayedRow(d), copyWidth,
        pixels + static_cast<size_t>(d + offsetY_) * static_cast<size_t>(desc.lPitch));
    last = d;
  }
  target->Unlock(nullptr);
  takeDirtyRows(s.dirtyRows);
  wholeOwed_ = false;
  if (!fullScreen_) showBand(first, last);
}

void DirectDrawDisplay::showBand(int first, int last) {
  if (!offscreen_ || !window_ || IsIconic(window_)) return;
  POINT origin{0, 0};
  if (!ClientToScreen(window_, &origin)) return;
  last = std::min(last, height_ - 1);
  // The part of the band on the primary surface: a blit reaching past its edges is refused.
  const LONG left = std::max<LONG>(0, -origin.x);
  const LONG right = std::min<LONG>(width_, primaryWidth_ - origin.x);
  const LONG top = std::max<LONG>(first, -origin.y);
  const LONG bottom = std::min<LONG>(last + 1, primaryHeight_ - origin.y);
  if (left >= right || top >= bottom) return;
  RECT source{left, top, right, bottom};
  RECT target{origin.x + left, origin.y + top, origin.x + right, origin.y + bottom};
  if (primary_->Blt(&target, offscreen_, &source, DDBLT_WAIT, nullptr) == DDERR_SURFACELOST) {
    primary_->Restore();
    wholeOwed_ = true;
  }
}

void DirectDrawDisplay::repaint() {
  if (!primary_) return;
  // Full screen: what the system lost of the primary's picture is copied again next time.
  if (fullScreen_)
    wholeOwed_ = true;
  else
    showBand(0, height_ - 1);
}

bool DirectDrawDisplay::waitVerticalBlank() {
  return draw_ && SUCCEEDED(draw_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr));
}

void DirectDrawDisplay::release() {
  if (primary_) {
    primary_->SetClipper(nullptr);
    primary_->SetPalette(nullptr);
  }
  releaseObject(offscreen_);
  releaseObject(clipper_);
  releaseObject(palette_);
  releaseObject(primary_);
  if (draw_) {
    if (modeSet_) draw_->RestoreDisplayMode();
    if (exclusive_) draw_->SetCooperativeLevel(window_, DDSCL_NORMAL);
  }
  releaseObject(draw_);
  if (library_) FreeLibrary(library_);
  library_ = nullptr;
  window_ = nullptr;
  fullScreen_ = exclusive_ = modeSet_ = wholeOwed_ = false;
  offsetY_ = refresh_ = 0;
}

std::vector<DisplayModeSize> DirectDrawDisplay::listModes(int depth) {
  std::vector<DisplayModeSize> sizes;
  HMODULE library = LoadLibraryA("ddraw.dll");
  if (!library) return sizes;
  if (IDirectDraw7* draw = createDirectDraw(library)) {
    ModeListing listing{std::max(depth, 8), &sizes};
    draw->EnumDisplayModes(0, nullptr, &listing, collectMode);
    draw->Release();
  }
  FreeLibrary(library);
  return sizes;
}
