#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "platform/common/presentation_thread.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/loss_seam.h"
#include "platform/posix/signal_guard.h"
#include "platform/posix/wake_pipe.h"
#include "platform/sdl/sdl_init_lock.h"
#include "platform/sdl/sdl_key_events.h"
#include "platform/sdl/sdl_latency_probe.h"
#include "platform/sdl/sdl_presenter.h"
#include "platform/sdl/sdl_x11_watch.h"
#include "platform/sdl/sdl_tone.h"
#include "screen/pending_palette.h"
#include "screen/platform_seam.h"
#include "screen/backend_port.h"

namespace {
struct Request {
  std::string title;
  int width = 0, height = 0, depth = 16, refreshRate = 0, flags = 0;
};

// Everything the back end keeps for its one graphics screen, in one place (one screen at a
// time, like the Windows back ends' WindowState).
struct SdlState {
  std::recursive_mutex screenMutex;
  // The presentation thread rests while nothing is dirty and no event comes. It is woken by
  // the X connection (window events), by a byte on this pipe (rows marked by the program, a
  // signal, the end) or by the rest's time limit.
  WakePipe wakePipe;
  Request request;  // set by start before the thread runs, then only read

  // Requests from the program thread, applied by the presentation thread (under requestMutex).
  std::mutex requestMutex;
  std::string pendingTitle;
  bool titleChanged = false;
  bool cursorChanged = false;
  bool cursorShown = true;
  int warpX = -1, warpY = -1;
  std::vector<DisplayModeSize> displaySizes;
  PendingPalette palette;  // its own mutex

  // Written by the presentation thread, read by the program thread.
  std::atomic<int> displayRefresh{0};
  std::atomic<int> mouseX{0}, mouseY{0}, mouseWheel{0}, mouseButtons{0};
  std::atomic<bool> mouseInside{false};

  // Presentation thread only.
  Presenter presenter;
  void* x11Display = nullptr;
  bool active = false;
  KeyLatencyProbe latencyProbe;
  uint16_t eventModifiers = 0;  // of the latest key event; text follows its key-down

  // Program thread: a presentation thread was parked with its display (no window after that).
  bool displayLost = false;
};

// Never destroyed: a thread parked after the display was lost still uses it at exit.
SdlState& state() {
  static SdlState* s = new SdlState;
  return *s;
}

// Per thread, so they cannot live in the state: this thread's holds of the screen mutex, and
// whether it is the presentation thread.
thread_local int lockDepth = 0;
thread_local bool onPresentationThread = false;

PresentationThread& presentation();

void wakePresenter() { state().wakePipe.wake(); }

void lockScreenMutex() {
  state().screenMutex.lock();
  ++lockDepth;
}
void unlockScreenMutex() {
  // The program leaves the lock with rows to copy while the presentation thread rests.
  if (!onPresentationThread) presentation().noteProgramUnlock();
  --lockDepth;
  state().screenMutex.unlock();
}

// Rests until a window event, a wake-up byte or `ms` milliseconds; without an X connection
// to wait on, it only sleeps.
void rest(int ms) {
  if (ms <= 0) return;
  const int xfd = x11ConnectionDescriptor(state().x11Display);
  if (xfd < 0 || state().wakePipe.readEnd() < 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 10)));
    return;
  }
  if (x11EventsWaiting(state().x11Display)) return;
  pollfd fds[2] = {{xfd, POLLIN, 0}, {state().wakePipe.readEnd(), POLLIN, 0}};
  if (poll(fds, 2, ms) > 0 && (fds[1].revents & POLLIN)) state().wakePipe.drain();
}

// Called inside Xlib when the display has gone: nothing more may be asked of it, so this
// thread lets go of the screen (and is then parked); the program thread ends the process.
void releaseAfterDisplayLoss() {
  while (lockDepth > 0) unlockScreenMutex();
  presentation().reportLost();
}

void toggle() {
  if ((state().request.flags & kFlagNoSwitch) || !state().active) return;
  state().presenter.toggleFullScreen();
  state().presenter.invalidate();
  markWholeFrame();
}

void focusChanged(bool nowActive) {
  state().active = nowActive;
  if (auto* keyState = keyStateArray()) keyState->fill(0);
  state().mouseButtons.store(0);
  state().presenter.invalidate();
  markWholeFrame();
}

void handleWindowEvent(const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE: queueKey(kKeyCloseRequest); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: focusChanged(true); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: focusChanged(false); break;
    // A resized or maximised window shows the picture laid out again for its new size.
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED: state().presenter.invalidate(); break;
    case SDL_WINDOWEVENT_ENTER: state().mouseInside.store(true); break;
    case SDL_WINDOWEVENT_LEAVE: state().mouseInside.store(false); break;
    default: break;
  }
}

void dispatchEvents() {
  const KeySink sink = [](int32_t code) {
    state().latencyProbe.keyQueued();
    presentation().noteKeyQueued();
    queueKey(code);
  };
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      // One pump can hold a whole Alt+Enter, releases included, so the modifiers are the
      // ones recorded with each key event, not the state after the pump.
      case SDL_KEYDOWN:
        state().eventModifiers = e.key.keysym.mod;
        if (translateSdlKeyDown(e.key, state().eventModifiers, sink) && !e.key.repeat) toggle();
        break;
      case SDL_KEYUP: state().eventModifiers = e.key.keysym.mod; break;
      case SDL_TEXTINPUT: translateSdlText(e.text.text, state().eventModifiers, sink); break;
      case SDL_WINDOWEVENT: handleWindowEvent(e.window); break;
      case SDL_QUIT: queueKey(kKeyCloseRequest); break;
      case SDL_MOUSEMOTION: {
        // The program knows the frame's pixels, not the scaled picture's.
        const PicturePoint p = state().presenter.framePoint(e.motion.x, e.motion.y);
        state().mouseX.store(p.x);
        state().mouseY.store(p.y);
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const int bit = e.button.button == SDL_BUTTON_LEFT     ? 1
                        : e.button.button == SDL_BUTTON_RIGHT  ? 2
                        : e.button.button == SDL_BUTTON_MIDDLE ? 4
                                                               : 0;
        if (e.type == SDL_MOUSEBUTTONDOWN)
          state().mouseButtons.fetch_or(bit);
        else
          state().mouseButtons.fetch_and(~bit);
        break;
      }
      case SDL_MOUSEWHEEL: state().mouseWheel.fetch_add(e.wheel.y); break;
      default: break;
    }
  }
}

void applyRequests() {
  std::lock_guard<std::mutex> guard(state().requestMutex);
  if (state().titleChanged) {
    SDL_SetWindowTitle(state().presenter.window(), state().pendingTitle.c_str());
    state().titleChanged = false;
  }
  if (std::array<uint32_t, 256> entries; state().palette.take(entries))
    state().presenter.setPalette(entries);
  if (state().cursorChanged) {
    SDL_ShowCursor(state().cursorShown ? SDL_ENABLE : SDL_DISABLE);
    if (state().warpX >= 0) {
      const PicturePoint p = state().presenter.windowPoint(state().warpX, state().warpY);
      SDL_WarpMouseInWindow(state().presenter.window(), p.x, p.y);
    }
    state().cursorChanged = false;
  }
}

bool startVideo() {
  std::lock_guard<std::mutex> guard(sdlInitLock());
  // Only real displays: without this SDL falls back silently to an invisible off-screen window.
  // Wayland is tried only where a session could provide it (it complains on stderr otherwise).
  const bool maybeWayland = std::getenv("WAYLAND_DISPLAY") || std::getenv("XDG_RUNTIME_DIR");
  SDL_SetHint(SDL_HINT_VIDEODRIVER, maybeWayland ? "x11,wayland" : "x11");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool x11 = driver && std::strcmp(driver, "x11") == 0;
  if (!driver || (!x11 && std::strcmp(driver, "wayland") != 0)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  // X11 has a native window framebuffer: keep SDL from routing it through a GL renderer.
  if (x11) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    watchX11Connection(releaseAfterDisplayLoss);
  }
  return true;
}

void stopVideo() {
  std::lock_guard<std::mutex> guard(sdlInitLock());
  state().x11Display = nullptr;
  // The handlers stay until the connection is closed: a display that goes away meanwhile must
  // not reach Xlib's own handler, which prints and exits.
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  unwatchX11Connection();
}

void watchWindow() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(state().presenter.window(), &info) && info.subsystem == SDL_SYSWM_X11) {
    watchX11Window(info.info.x11.window);
    state().x11Display = info.info.x11.display;
  }
}

bool buildWindow() {
  onPresentationThread = true;
  if (!startVideo()) return false;
  {
    std::lock_guard<std::mutex> guard(state().requestMutex);
    state().displaySizes = Presenter::displaySizes();
    state().presenter.setPalette(state().palette.current());
  }
  if (!state().presenter.build(state().request.title, state().request.width, state().request.height,
                               state().request.depth,
                               (state().request.flags & kFlagFullScreen) != 0)) {
    stopVideo();
    return false;
  }
  watchWindow();
  SDL_StartTextInput();
  state().displayRefresh = state().presenter.refreshRate();
  state().active = true;
  state().eventModifiers = static_cast<uint16_t>(SDL_GetModState());
  state().latencyProbe.open();
  return true;
}

bool beginTurn() {
  if (const int sig = pendingSignal()) {
    // Close the window (and with it full screen) before the signal ends us.
    state().presenter.destroy();
    stopVideo();
    endWithSignal(sig);
  }
  applyRequests();
  return true;
}

bool presentFrame(const VisibleFrame& frame) {
  const bool copied = state().presenter.present(frame);
  state().latencyProbe.afterCopy(copied);
  return copied;
}

void refreshKeyState() {
  int count = 0;
  const uint8_t* state = SDL_GetKeyboardState(&count);
  fillKeyState(state, count, *keyStateArray());
}

void teardownWindow() {
  lockScreenMutex();
  state().presenter.destroy();
  unlockScreenMutex();
  state().latencyProbe.close();
  stopVideo();
}

// Never destroyed: a thread parked after the display was lost is still running at exit.
PresentationThread& presentation() {
  static PresentationThread* thread = new PresentationThread({
      .build = buildWindow,
      .beginTurn = beginTurn,
      .present = presentFrame,
      .owesWholePicture =
          [] { return graphicsScreenExists() && state().presenter.owesWholePicture(); },
      .active = [] { return state().active; },
      .refreshKeyState = refreshKeyState,
      .dispatchEvents = dispatchEvents,
      .rest = rest,
      .wake = wakePresenter,
      .teardown = teardownWindow,
      .lock = lockScreenMutex,
      .unlock = unlockScreenMutex,
  });
  return *thread;
}

// A display lost under an earlier start: its thread is parked inside Xlib, holding the
// connection's lock, so no window can be made. Within the parked thread's grace a termination
// signal that came with the loss ends the process with its status; the start fails after it.
void awaitLossVerdict() {
  for (int waited = 0; waited < 1000 && !outputLost(); waited += 5) {
    if (const int sig = pendingSignal()) endWithSignal(sig);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (const int sig = pendingSignal()) endWithSignal(sig);
}

int sdlStart(const char* title, int width, int height, int depth, int refreshRate, int flags) {
  if (flags & kFlagOpenGL) return 1;
  if (depth != 8 && depth != 16 && depth != 32) return 1;
  if (state().displayLost) {
    awaitLossVerdict();
    return 1;
  }
  if (outputLost() || presentation().started()) return 1;
  state().request = Request{title ? title : "", width, height, depth, refreshRate, flags};
  {
    std::lock_guard<std::mutex> guard(state().requestMutex);
    state().pendingTitle.clear();
    state().titleChanged = false;
    state().cursorChanged = false;
  }
  state().palette.forget();
  state().mouseX = state().mouseY = state().mouseWheel = state().mouseButtons = 0;
  state().wakePipe.open();
  // A display that goes away under a write would end the program by SIGPIPE (status 141),
  // for instance while the window is destroyed on the way out after a termination signal.
  // Ignored, the write fails and the connection's error handler sees the loss.
  installSignalGuard(state().wakePipe.writeEnd(), true);
  installLossSeam();
  if (!presentation().start()) return 1;
  setPlatformTone(sdlTone);
  return 0;
}

void sdlShutdown() {
  const bool parked = presentation().stop();
  setPlatformTone(nullptr);
  if (!outputLost()) closeSdlTone();
  removeLossSeam();
  if (parked) {
    // The display went away: the parked thread decides within its grace whether a termination
    // signal ends the process, so the guard keeps recording (and its pipe stays open).
    state().displayLost = true;
    return;
  }
  removeSignalGuard();
  state().wakePipe.close();
}

void sdlSetPaletteEntry(int index, int red, int green, int blue) {
  state().palette.set(index, red, green, blue);
}

void sdlWaitVerticalSync() {
  const int rate = state().displayRefresh;
  platformSeam().sleep(rate > 0 ? 1000 / rate : 16);
}

int sdlGetMouse(int* x, int* y, int* wheel, int* buttons) {
  if (x) *x = state().mouseX.load();
  if (y) *y = state().mouseY.load();
  if (wheel) *wheel = state().mouseWheel.load();
  if (buttons) *buttons = state().mouseButtons.load();
  return state().mouseInside.load() ? 0 : 1;
}

void sdlSetMouse(int x, int y, int cursorVisible) {
  std::lock_guard<std::mutex> guard(state().requestMutex);
  state().warpX = x;
  state().warpY = y;
  state().cursorShown = cursorVisible != 0;
  state().cursorChanged = true;
}

void sdlSetWindowTitle(const char* text) {
  std::lock_guard<std::mutex> guard(state().requestMutex);
  state().pendingTitle = std::string(text ? text : "").substr(0, 127);
  state().titleChanged = true;
}

std::vector<DisplayModeSize> sdlListModes(int) {
  std::lock_guard<std::mutex> guard(state().requestMutex);
  return state().displaySizes;
}

const Backend kSdlBackend{.name = "SDL",
                          .start = sdlStart,
                          .shutdown = sdlShutdown,
                          .lock = lockScreenMutex,
                          .unlock = unlockScreenMutex,
                          .setPaletteEntry = sdlSetPaletteEntry,
                          .waitVerticalSync = sdlWaitVerticalSync,
                          .getMouse = sdlGetMouse,
                          .setMouse = sdlSetMouse,
                          .setWindowTitle = sdlSetWindowTitle,
                          .listModes = sdlListModes};
}  // namespace

const Backend& sdlBackend() { return kSdlBackend; }

#if defined(__SANITIZE_ADDRESS__)
// The display and desktop-bus libraries keep a few allocations after a failed video
// initialisation and at exit; they are not ours and must not turn an exit status into a failure.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libSDL2\nleak:libdbus-1\nleak:libX11\n";
}
#endif
