#include "platform/win32/gdi_backend.h"

#include <cstring>
#include <vector>

#include "platform/win32/win32_window.h"
#include "screen/backend/backend_port.h"

namespace {
// A BITMAPINFO with room for 256 palette entries or the three 5:6:5 channel masks.
struct BitmapHeader {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

BitmapHeader bitmap;
std::vector<uint8_t> band;  // rows assembled when the frame cannot be sent as it stands

void describeBand(const VisibleFrame& s, int rows) {
  BITMAPINFOHEADER& h = bitmap.header;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = s.width;
  h.biHeight = -rows;  // top-down
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(s.bytesPerPixel * 8);
  h.biCompression = s.bytesPerPixel == 2 ? BI_BITFIELDS : BI_RGB;
  h.biClrUsed = s.bytesPerPixel == 1 ? 256 : 0;
  if (s.bytesPerPixel == 2) {
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(bitmap.colours, masks, sizeof masks);
  }
}

void takePalette(const VisibleFrame& s) {
  std::array<uint32_t, 256> palette;
  if (!takePendingPalette(palette) || s.bytesPerPixel != 1) return;
  for (size_t i = 0; i < 256; ++i)
    bitmap.colours[i] =
        RGBQUAD{static_cast<BYTE>(palette[i] & 0xFF), static_cast<BYTE>((palette[i] >> 8) & 0xFF),
                static_cast<BYTE>((palette[i] >> 16) & 0xFF), 0};
}

bool gdiBuild(WindowState& state) {
  if (state.flags & kFlagFullScreen) return false;
  if (!createCentredWindow(state, kWindowedStyle)) return false;
  if (HDC dc = GetDC(state.window)) {
    const int rate = GetDeviceCaps(dc, VREFRESH);
    state.displayRefresh = rate > 1 ? rate : 0;  // 0 and 1 stand for the hardware default
    ReleaseDC(state.window, dc);
  }
  std::memset(&bitmap, 0, sizeof bitmap);
  return true;
}

void gdiPresent(WindowState& state, const VisibleFrame& s) {
  takePalette(s);
  if (!state.window) return;
  const RowBand changed = dirtyBand(s.dirtyRows);
  if (changed.empty()) return;
  const int first = changed.first;
  const int count = changed.last - first + 1;
  const size_t pitch = static_cast<size_t>(s.pitch);  // a multiple of 4 for every mode
  const uint8_t* bits = s.displayedRow(first);
  if (s.rowRepeat != 1) {
    band.resize(static_cast<size_t>(count) * pitch);
    for (int d = 0; d < count; ++d)
      std::memcpy(band.data() + static_cast<size_t>(d) * pitch, s.displayedRow(first + d), pitch);
    bits = band.data();
  }
  describeBand(s, count);
  HDC dc = GetDC(state.window);
  if (!dc) return;  // the flags stay set for the next iteration
  SetDIBitsToDevice(dc, 0, first, static_cast<DWORD>(s.width), static_cast<DWORD>(count), 0, 0, 0,
                    static_cast<UINT>(count), bits, reinterpret_cast<const BITMAPINFO*>(&bitmap),
                    DIB_RGB_COLORS);
  ReleaseDC(state.window, dc);
  takeDirtyRows(s.dirtyRows);
}

void gdiTeardown(WindowState& state) {
  destroyMachineryWindow(state);
  band.clear();
  band.shrink_to_fit();
}

void gdiRepaint(WindowState&) { markWholeFrame(); }

int gdiStart(const char* title, int width, int height, int depth, int refreshRate, int flags) {
  if (flags & (kFlagFullScreen | kFlagOpenGL)) return 1;
  PresentationHooks hooks{};
  hooks.build = gdiBuild;
  hooks.present = gdiPresent;
  hooks.teardown = gdiTeardown;
  hooks.repaint = gdiRepaint;
  return startPresentation(title, width, height, depth, refreshRate, flags, hooks);
}

const Backend kGdiBackend{.name = "GDI",
                          .start = gdiStart,
                          .shutdown = stopPresentation,
                          .lock = lockScreenSection,
                          .unlock = unlockScreenSection,
                          .setPaletteEntry = machinerySetPaletteEntry,
                          .waitVerticalSync = machineryWaitVerticalSync,
                          .getMouse = machineryGetMouse,
                          .setMouse = machinerySetMouse,
                          .setWindowTitle = machinerySetWindowTitle};
}  // namespace

const Backend& gdiBackend() { return kGdiBackend; }
