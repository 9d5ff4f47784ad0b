#include "platform/sdl/sdl_x11_watch.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/posix/loss_seam.h"
#include "platform/posix/signal_guard.h"
#include "screen/backend/platform_seam.h"
#include "screen/screen.h"

namespace {
void (*onLost)() = nullptr;
unsigned long watchedWindow = 0;
using IoHandler = int (*)(Display*);
using ErrorHandler = int (*)(Display*, XErrorEvent*);
IoHandler (*setIoHandler)(IoHandler) = nullptr;
ErrorHandler (*setErrorHandler)(ErrorHandler) = nullptr;
int (*eventsQueued)(Display*, int) = nullptr;
IoHandler previousIo = nullptr;
ErrorHandler previousError = nullptr;
void* x11Library = nullptr;

// The thread that met the loss lets go of the screen first and only then raises the flag,
// so the program thread, which ends the process on seeing it, comes strictly after; this
// thread must not return into Xlib, so it stays parked.
// A desktop that logs out sends the termination signal and takes the display away at about the
// same moment: the signal decides the status, whichever of the two is seen first. The screen is
// let go before the grace, so a program thread waiting for it is not held through the grace
// (where a handler is run only when a call returns, it then runs in time).
constexpr int kSignalGraceMs = 150;

[[noreturn]] void parkAfterLoss() {
  if (onLost) onLost();
  for (int waited = 0;; waited += 5) {
    if (const int sig = pendingSignal()) endWithSignal(sig);
    if (waited >= kSignalGraceMs) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  markOutputLost();
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

int ioErrorSeen(Display*) { parkAfterLoss(); }

// Protocol errors are not fatal here, except the ones saying our window has gone.
int protocolErrorSeen(Display*, XErrorEvent* event) {
  if (watchedWindow != 0 && event->resourceid == watchedWindow &&
      (event->error_code == BadWindow || event->error_code == BadDrawable)) {
    parkAfterLoss();
  }
  return 0;
}

}  // namespace

void watchX11Window(unsigned long window) { watchedWindow = window; }

void watchX11Connection(void (*lost)()) {
  onLost = lost;
  if (!x11Library) x11Library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (!x11Library) return;
  setIoHandler =
      reinterpret_cast<IoHandler (*)(IoHandler)>(dlsym(x11Library, "XSetIOErrorHandler"));
  setErrorHandler =
      reinterpret_cast<ErrorHandler (*)(ErrorHandler)>(dlsym(x11Library, "XSetErrorHandler"));
  eventsQueued = reinterpret_cast<int (*)(Display*, int)>(dlsym(x11Library, "XEventsQueued"));
  if (setIoHandler) previousIo = setIoHandler(ioErrorSeen);
  if (setErrorHandler) previousError = setErrorHandler(protocolErrorSeen);
}

void unwatchX11Connection() {
  if (setIoHandler) setIoHandler(previousIo);
  if (setErrorHandler) setErrorHandler(previousError);
  setIoHandler = nullptr;
  setErrorHandler = nullptr;
  eventsQueued = nullptr;
  if (x11Library) dlclose(x11Library);
  x11Library = nullptr;
  watchedWindow = 0;
}

bool x11EventsWaiting(void* display) {
  // Sends what is buffered and reads what has arrived without blocking.
  return display && eventsQueued &&
         eventsQueued(static_cast<Display*>(display), QueuedAfterFlush) > 0;
}

int x11ConnectionDescriptor(void* display) {
  return display ? ConnectionNumber(static_cast<Display*>(display)) : -1;
}
