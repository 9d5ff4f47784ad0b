#include "platform/win32/win32_window.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>

#include "platform/common/presentation_thread.h"
#include "platform/win32/win32_keys.h"
#include "screen/backend/backend.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/pending_palette.h"
#include "screen/backend/platform_seam.h"

namespace {
constexpr char kClassPrefix[] = "co2simScreen:";

struct ScreenSection {
  CRITICAL_SECTION section;
  ScreenSection() { InitializeCriticalSection(&section); }
};
// Never destroyed: the exit handler closes the screen after static finalisers may have run.
ScreenSection& screenSection() {
  static ScreenSection* s = new ScreenSection;
  return *s;
}

// The window as the program thread may address it (messages are posted to it).
std::atomic<HWND> postTarget{nullptr};

// Requests of the program thread, taken by the presentation thread.
std::mutex requestMutex;
PendingPalette palette;
std::string pendingTitle;
bool cursorShown = true;
bool trackingMouse = false;

void noteMouse(WindowState& state, HWND window, LPARAM lParam) {
  state.mouseX.store(GET_X_LPARAM(lParam));
  state.mouseY.store(GET_Y_LPARAM(lParam));
  state.mouseInside.store(true);
  if (!trackingMouse) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
    trackingMouse = TrackMouseEvent(&track) != FALSE;
  }
}

void setButton(WindowState& state, int bit, bool pressed) {
  if (pressed)
    state.mouseButtons.fetch_or(bit);
  else
    state.mouseButtons.fetch_and(~bit);
}

void requestSwitch(WindowState& state) {
  if ((state.flags & kFlagNoSwitch) || !state.active) return;
  state.switchRequested = true;
}

void activationChanged(WindowState& state, bool nowActive) {
  state.active = nowActive;
  if (auto* keyState = keyStateArray()) keyState->fill(0);
  state.mouseButtons.store(0);
  markWholeFrame();
}

void showCursor(bool visible) {
  if (visible == cursorShown) return;
  cursorShown = visible;
  ShowCursor(visible ? TRUE : FALSE);
}

void pumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool build(WindowState& state) {
  const bool ok = state.hooks.build(state);
  postTarget.store(ok ? state.window : nullptr);
  if (ok) state.active = true;
  return ok;
}

void teardown(WindowState& state) {
  postTarget.store(nullptr);
  trackingMouse = false;
  state.hooks.teardown(state);
}

// Rebuilds in the other form; when that fails, in the form it had.
void switchForm(WindowState& state) {
  state.switchRequested = false;
  teardown(state);
  state.flags ^= kFlagFullScreen;
  if (!build(state)) {
    teardown(state);
    state.flags ^= kFlagFullScreen;
    build(state);
  }
  palette.sendAgain();
  markWholeFrame();
}

// On the presentation thread: the window, raised above normal priority once it is ready.
bool buildFirstWindow() {
  WindowState& state = windowState();
  lockScreenSection();
  const bool ok = build(state);
  if (!ok) teardown(state);
  unlockScreenSection();
  if (ok) SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  return ok;
}

bool beginTurn() {
  WindowState& state = windowState();
  if (state.switchRequested) switchForm(state);
  return true;
}

// The back ends' copies leave the flags set when their target cannot be written; the shared
// pacing then tries again after its interval.
bool presentFrame(const VisibleFrame& frame) {
  WindowState& state = windowState();
  if (state.hooks.present) state.hooks.present(state, frame);
  return false;
}

void refreshKeyState() {
  WindowState& state = windowState();
  if (state.hooks.refreshKeyState)
    state.hooks.refreshKeyState(state, *keyStateArray());
  else
    fillKeyStateFromSystem(*keyStateArray());
}

void tearDownLastWindow() {
  lockScreenSection();
  teardown(windowState());
  unlockScreenSection();
}

// Never destroyed: the exit handler closes the screen after static finalisers may have run.
PresentationThread& presentation() {
  static PresentationThread* thread = new PresentationThread({
      .build = buildFirstWindow,
      .beginTurn = beginTurn,
      .present = presentFrame,
      .active = [] { return windowState().active; },
      .refreshKeyState = refreshKeyState,
      .dispatchEvents = pumpMessages,
      // The message queue cannot be waited on together with the screen's changes: short
      // sleeps keep the window's messages flowing.
      .rest = [](int ms) { Sleep(static_cast<DWORD>(std::min(ms, 10))); },
      .teardown = tearDownLastWindow,
      .lock = lockScreenSection,
      .unlock = unlockScreenSection,
  });
  return *thread;
}

void resetWindowState(WindowState& state) {
  state.instance = GetModuleHandleA(nullptr);
  state.window = nullptr;
  state.windowClass = 0;
  state.className.clear();
  state.title.clear();
  state.width = state.height = state.depth = state.refreshRate = state.flags = 0;
  state.running.store(false);
  state.active = false;
  state.displayRefresh = 0;
  state.frameOffsetY = 0;
  state.switchRequested = false;
  state.mouseX = state.mouseY = state.mouseWheel = state.mouseButtons = 0;
  state.mouseInside = false;
  state.savedScreenSaver = FALSE;
  state.screenSaverSaved = false;
  state.hooks = PresentationHooks{};
}
}  // namespace

WindowState& windowState() {
  static WindowState* state = new WindowState;
  return *state;
}

void lockScreenSection() { EnterCriticalSection(&screenSection().section); }
void unlockScreenSection() { LeaveCriticalSection(&screenSection().section); }

int startPresentation(const char* title, int width, int height, int depth, int refreshRate,
                      int flags, const PresentationHooks& hooks) {
  if (presentation().started() || !hooks.build || !hooks.teardown) return 1;
  WindowState& state = windowState();
  resetWindowState(state);
  state.title = std::string(title ? title : "").substr(0, 127);
  state.width = width;
  state.height = height;
  state.depth = depth < 8 ? 8 : depth;
  state.refreshRate = refreshRate;
  state.flags = flags;
  state.hooks = hooks;
  palette.sendAgain();
  {
    std::lock_guard<std::mutex> guard(requestMutex);
    pendingTitle.clear();
  }
  cursorShown = true;

  if (SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &state.savedScreenSaver, 0)) {
    state.screenSaverSaved = true;
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
  }

  state.className = kClassPrefix + state.title;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = machineryWindowProc;
  wc.hInstance = state.instance;
  wc.hIcon = LoadIconA(state.instance, MAKEINTRESOURCEA(1));
  if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));             // IDC_ARROW
  wc.lpszClassName = state.className.c_str();
  state.windowClass = RegisterClassExA(&wc);
  if (!state.windowClass) return 1;

  state.running.store(true);
  return presentation().start() ? 0 : 1;
}

void stopPresentation() {
  WindowState& state = windowState();
  state.running.store(false);
  presentation().stop();
  if (state.screenSaverSaved) {
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(state.savedScreenSaver),
                          nullptr, 0);
    state.screenSaverSaved = false;
  }
  if (state.windowClass) {
    UnregisterClassA(state.className.c_str(), state.instance);
    state.windowClass = 0;
  }
}

void machinerySetPaletteEntry(int index, int red, int green, int blue) {
  palette.set(index, red, green, blue);
}

bool takePendingPalette(std::array<uint32_t, 256>& out) { return palette.take(out); }

void machineryWaitVerticalSync() {
  const int rate = windowState().displayRefresh;
  platformSeam().sleep(rate > 0 ? 1000 / rate : 16);
}

int machineryGetMouse(int* x, int* y, int* wheel, int* buttons) {
  const WindowState& state = windowState();
  if (x) *x = state.mouseX.load();
  if (y) *y = state.mouseY.load();
  if (wheel) *wheel = state.mouseWheel.load();
  if (buttons) *buttons = state.mouseButtons.load();
  return state.mouseInside.load() ? 0 : 1;
}

void machinerySetMouse(int x, int y, int cursorVisible) {
  if (HWND window = postTarget.load())
    PostMessageA(window, kShowCursorMessage, cursorVisible ? 1 : 0,
                 MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

void machinerySetWindowTitle(const char* text) {
  {
    std::lock_guard<std::mutex> guard(requestMutex);
    pendingTitle = std::string(text ? text : "").substr(0, 127);
  }
  if (HWND window = postTarget.load()) PostMessageA(window, kApplyTitleMessage, 0, 0);
}

HWND createCentredWindow(WindowState& state, DWORD style, DWORD exStyle) {
  RECT frame{0, 0, state.width, state.height};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int outerWidth = frame.right - frame.left;
  const int outerHeight = frame.bottom - frame.top;
  // Centred; a desktop smaller than the window keeps the caption on screen.
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2);
  state.window =
      CreateWindowExA(exStyle, state.className.c_str(), state.title.c_str(), style, x, y,
                      outerWidth, outerHeight, nullptr, nullptr, state.instance, nullptr);
  if (!state.window) return nullptr;
  ShowWindow(state.window, SW_SHOW);
  UpdateWindow(state.window);
  SetForegroundWindow(state.window);
  return state.window;
}

HWND createCoveringWindow(WindowState& state, DWORD exStyle) {
  state.window = CreateWindowExA(exStyle, state.className.c_str(), state.title.c_str(), WS_POPUP, 0,
                                 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 nullptr, nullptr, state.instance, nullptr);
  if (!state.window) return nullptr;
  ShowWindow(state.window, SW_SHOW);
  SetForegroundWindow(state.window);
  return state.window;
}

void destroyMachineryWindow(WindowState& state) {
  if (!state.window) return;
  HWND window = state.window;
  state.window = nullptr;
  DestroyWindow(window);
  MSG msg;
  while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {}
}

void fillKeyStateFromSystem(std::array<uint8_t, 128>& keyState) {
  // Scan code -> virtual key, made once: the layout does not move the keys' positions.
  static const std::array<UINT, 128> virtualKeys = [] {
    std::array<UINT, 128> table{};
    for (UINT sc = 1; sc < 128; ++sc) table[sc] = MapVirtualKeyA(sc, 1 /* MAPVK_VSC_TO_VK */);
    return table;
  }();
  BYTE state[256] = {};
  if (!GetKeyboardState(state)) return;
  for (size_t sc = 0; sc < 128; ++sc) {
    const UINT vk = virtualKeys[sc];
    keyState[sc] = (vk != 0 && vk < 256 && (state[vk] & 0x80)) ? 1 : 0;
  }
}

LRESULT CALLBACK machineryWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowState& state = windowState();
  if (state.hooks.message) {
    LRESULT result = 0;
    if (state.hooks.message(state, window, msg, wParam, lParam, &result)) return result;
  }
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const KeyDownOutcome outcome = handleKeyDownMessage(wParam, lParam);
      if (outcome.switchRequested) requestSwitch(state);
      if (outcome.keptFromSystem) return 0;
      break;
    }
    case WM_CHAR: handleCharMessage(wParam, lParam); return 0;
    case WM_SYSCHAR:
      if (wParam == '\r') return 0;  // the Alt+Enter switch; the default would beep
      break;
    case WM_CLOSE: queueKey(kKeyCloseRequest); return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: queueKey(kKeyCloseRequest); return 0;
        case SC_MAXIMIZE: requestSwitch(state); return 0;
        default: break;
      }
      break;
    case WM_ACTIVATEAPP: activationChanged(state, wParam != FALSE); return 0;
    // Minimising and restoring the only window of the program changes no application's
    // activation: the window's own activation and size say it. Minimised, nothing is shown
    // and the changed rows wait; restored, the whole picture is copied again.
    case WM_ACTIVATE:
      activationChanged(state, LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0);
      break;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED)
        activationChanged(state, false);
      else if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)
        markWholeFrame();
      break;
    // The system keeps a window within the screen's size plus its frame: on a screen smaller
    // than the frame buffer the client area would shrink and cut the picture. The window may
    // hang off the right and bottom instead.
    case WM_GETMINMAXINFO: {
      const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
      if ((style & WS_CAPTION) != WS_CAPTION || state.width <= 0 || state.height <= 0) break;
      RECT outer{0, 0, state.width, state.height};
      AdjustWindowRectEx(&outer, style, FALSE,
                         static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMaxTrackSize.x = std::max<LONG>(limits->ptMaxTrackSize.x, outer.right - outer.left);
      limits->ptMaxTrackSize.y = std::max<LONG>(limits->ptMaxTrackSize.y, outer.bottom - outer.top);
      return 0;
    }
    case WM_ERASEBKGND: return 1;  // the next copy paints every pixel
    case WM_PAINT:
      if (state.hooks.repaint) state.hooks.repaint(state);
      ValidateRect(window, nullptr);
      return 0;
    case WM_MOUSEMOVE: noteMouse(state, window, lParam); return 0;
    case WM_MOUSELEAVE:
      trackingMouse = false;
      state.mouseInside.store(false);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: setButton(state, 1, msg == WM_LBUTTONDOWN); return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: setButton(state, 2, msg == WM_RBUTTONDOWN); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: setButton(state, 4, msg == WM_MBUTTONDOWN); return 0;
    case WM_MOUSEWHEEL:
      state.mouseWheel.fetch_add(GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
      return 0;
    case kShowCursorMessage: {
      showCursor(wParam != 0);
      POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
      if (at.x >= 0 && at.y >= 0 && ClientToScreen(window, &at)) SetCursorPos(at.x, at.y);
      return 0;
    }
    case kApplyTitleMessage: {
      std::string title;
      {
        std::lock_guard<std::mutex> guard(requestMutex);
        title = pendingTitle;
      }
      SetWindowTextA(window, title.c_str());
      return 0;
    }
    default: break;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}
