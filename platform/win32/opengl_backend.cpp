#include "platform/win32/opengl_backend.h"

#include <algorithm>
#include <array>

#include "platform/win32/display_mode_search.h"
#include "platform/win32/opengl_display.h"
#include "platform/win32/win32_window.h"
#include "screen/backend/backend_port.h"

namespace {
// Presentation thread only, or under the screen lock.
struct Session {
  OpenGLDisplay display;
  std::array<uint32_t, 256> palette{};
  bool modeChanged = false;
};

Session& session() {
  static Session s;
  return s;
}

DEVMODEA displayMode(int width, int height, int depth, int refreshRate) {
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmBitsPerPel = static_cast<DWORD>(depth);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
  if (refreshRate > 0) {
    mode.dmDisplayFrequency = static_cast<DWORD>(refreshRate);
    mode.dmFields |= DM_DISPLAYFREQUENCY;
  }
  return mode;
}

int currentRefresh() {
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
  return mode.dmDisplayFrequency > 1 ? static_cast<int>(mode.dmDisplayFrequency)
                                     : 0;  // 0 and 1: default
}

void teardown(WindowState& state) {
  Session& x = session();
  x.display.release();
  if (x.modeChanged) ChangeDisplaySettingsA(nullptr, 0);
  x.modeChanged = false;
  destroyMachineryWindow(state);
}

bool build(WindowState& state) {
  Session& x = session();
  int viewWidth = state.width, viewHeight = state.height, offsetY = 0;
  HWND window = nullptr;
  if (state.flags & kFlagFullScreen) {
    const auto mode =
        findDisplayMode(state.width, state.height, state.depth, [&](const DisplayModeCandidate& c) {
          DEVMODEA m = displayMode(c.width, c.height, c.depth, state.refreshRate);
          return ChangeDisplaySettingsA(&m, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
        });
    if (!mode) return false;
    x.modeChanged = true;
    viewWidth = mode->width;
    viewHeight = mode->height;
    offsetY = mode->verticalOffset;
    window = createCoveringWindow(state);
  } else {
    window = createCentredWindow(state, kWindowedStyle | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  }
  if (!window || !x.display.build(window, state.width, state.height, state.depth, state.flags,
                                  viewWidth, viewHeight, offsetY, x.palette)) {
    teardown(state);
    return false;
  }
  state.frameOffsetY = offsetY;
  state.displayRefresh = currentRefresh();
  return true;
}

void present(WindowState&, const VisibleFrame& s) {
  Session& x = session();
  const bool paletteChanged = takePendingPalette(x.palette);
  x.display.present(s, paletteChanged ? &x.palette : nullptr);
}

bool message(WindowState&, HWND, UINT msg, WPARAM, LPARAM, LRESULT* result) {
  if (msg != WM_ERASEBKGND) return false;
  *result = 1;  // the whole client area is drawn by each present
  return true;
}

void repaint(WindowState&) { session().display.invalidate(); }

constexpr PresentationHooks kHooks{build, present, nullptr, teardown, message, repaint};

int openGLStart(const char* title, int width, int height, int depth, int refreshRate, int flags) {
  if (!(flags & kFlagOpenGL)) return 1;
  if (depth != 8 && depth != 16 && depth != 32) return 1;
  session().palette.fill(0);
  return startPresentation(title, width, height, depth, refreshRate, flags, kHooks);
}

std::vector<DisplayModeSize> openGLListModes(int depth) {
  std::vector<DisplayModeSize> sizes;
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i)
    if (static_cast<int>(mode.dmBitsPerPel) == std::max(depth, 8))
      addDistinctSize(sizes, static_cast<int>(mode.dmPelsWidth),
                      static_cast<int>(mode.dmPelsHeight));
  return sizes;
}

// Shows the whole picture at the next presentation step.
void openGLFlip() {
  lockScreenSection();
  markWholeFrame();
  unlockScreenSection();
}

const Backend kOpenGLBackend{.name = "OpenGL",
                             .start = openGLStart,
                             .shutdown = stopPresentation,
                             .lock = lockScreenSection,
                             .unlock = unlockScreenSection,
                             .setPaletteEntry = machinerySetPaletteEntry,
                             .waitVerticalSync = machineryWaitVerticalSync,
                             .getMouse = machineryGetMouse,
                             .setMouse = machinerySetMouse,
                             .setWindowTitle = machinerySetWindowTitle,
                             .listModes = openGLListModes,
                             .flip = openGLFlip};
}  // namespace

const Backend& openGLBackend() { return kOpenGLBackend; }
