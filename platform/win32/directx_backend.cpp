#include "platform/win32/directx_backend.h"

#include <array>

#include "platform/win32/directx_display.h"
#include "platform/win32/directx_keyboard.h"
#include "platform/win32/win32_window.h"
#include "screen/backend/backend_port.h"

namespace {
// Presentation thread only, or under the screen lock.
struct Session {
  DirectDrawDisplay display;
  DirectInputKeyboard keyboard;
  std::array<uint32_t, 256> palette{};  // as last taken from the pending entries
};

Session& session() {
  static Session s;
  return s;
}

void teardown(WindowState& state) {
  Session& x = session();
  x.keyboard.close();
  x.display.release();  // leaves full screen first, so the desktop gets its mode back
  destroyMachineryWindow(state);
}

// The full-screen pop-up, kept hidden until a display mode is set: a window that was never
// shown goes away at once when no mode fits, where a shown one can take seconds to withdraw.
HWND createHiddenCoveringWindow(WindowState& state) {
  state.window =
      CreateWindowExA(WS_EX_TOPMOST, state.className.c_str(), state.title.c_str(), WS_POPUP, 0, 0,
                      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                      nullptr, state.instance, nullptr);
  return state.window;
}

bool build(WindowState& state) {
  Session& x = session();
  const bool fullScreen = (state.flags & kFlagFullScreen) != 0;
  const DWORD windowedStyle = kWindowedStyle | ((state.flags & kFlagNoSwitch) ? 0 : WS_MAXIMIZEBOX);
  const HWND window =
      fullScreen ? createHiddenCoveringWindow(state) : createCentredWindow(state, windowedStyle);
  const bool built =
      window && x.display.load() &&
      (fullScreen
           ? x.display.buildFullScreen(window, state.width, state.height, state.depth,
                                       state.refreshRate, x.palette)
           : x.display.buildWindowed(window, state.width, state.height, state.depth, x.palette));
  if (!built) {
    teardown(state);
    return false;
  }
  if (fullScreen) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
  }
  state.frameOffsetY = x.display.frameOffsetY();
  state.displayRefresh = x.display.displayRefresh();
  x.keyboard.open(window);  // without it the key states come from the system's table
  return true;
}

void present(WindowState& state, const VisibleFrame& s) {
  Session& x = session();
  // A full screen in the background keeps its changed rows until it is active again.
  if (x.display.fullScreen() && !state.active) return;
  const bool paletteChanged = takePendingPalette(x.palette);
  x.display.present(s, paletteChanged ? &x.palette : nullptr);
}

void refreshKeyState(WindowState&, std::array<uint8_t, 128>& keyState) {
  Session& x = session();
  if (!x.keyboard.isOpen() || !x.keyboard.read(keyState)) fillKeyStateFromSystem(keyState);
}

bool message(WindowState&, HWND, UINT msg, WPARAM, LPARAM, LRESULT* result) {
  if (msg != WM_ERASEBKGND) return false;
  *result = 1;  // every pixel is drawn from the frame: erasing would only flicker
  return true;
}

void repaint(WindowState&) { session().display.repaint(); }

constexpr PresentationHooks kHooks{build, present, refreshKeyState, teardown, message, repaint};

int directXStart(const char* title, int width, int height, int depth, int refreshRate, int flags) {
  if (flags & kFlagOpenGL) return 1;
  if (depth != 8 && depth != 16 && depth != 32) return 1;
  session().palette.fill(0);
  return startPresentation(title, width, height, depth, refreshRate, flags, kHooks);
}

void directXWaitVerticalSync() {
  lockScreenSection();
  const bool waited = session().display.waitVerticalBlank();
  unlockScreenSection();
  if (!waited) machineryWaitVerticalSync();
}

std::vector<DisplayModeSize> directXListModes(int depth) {
  return DirectDrawDisplay::listModes(depth);
}

const Backend kDirectXBackend{.name = "DirectX",
                              .start = directXStart,
                              .shutdown = stopPresentation,
                              .lock = lockScreenSection,
                              .unlock = unlockScreenSection,
                              .setPaletteEntry = machinerySetPaletteEntry,
                              .waitVerticalSync = directXWaitVerticalSync,
                              .getMouse = machineryGetMouse,
                              .setMouse = machinerySetMouse,
                              .setWindowTitle = machinerySetWindowTitle,
                              .listModes = directXListModes};
}  // namespace

const Backend& directXBackend() { return kDirectXBackend; }
