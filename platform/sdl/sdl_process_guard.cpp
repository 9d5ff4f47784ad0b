#include "platform/sdl/sdl_process_guard.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/posix/loss_seam.h"
#include "platform/posix/signal_end.h"
#include "screen/platform_seam.h"
#include "screen/screen.h"

namespace {
constexpr int kGuardedSignals[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<int> recordedSignal{0};
struct sigaction previousActions[3];
struct sigaction previousPipeAction;
bool signalsGuarded = false;

std::atomic<int> signalWakeDescriptor{-1};

void recordSignal(int signalNumber) {
  int expected = 0;
  recordedSignal.compare_exchange_strong(expected, signalNumber);
  const int fd = signalWakeDescriptor.load();
  if (fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
  }
}

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
// same moment: the signal decides the status, whichever of the two is seen first.
constexpr int kSignalGraceMs = 150;

[[noreturn]] void parkAfterLoss() {
  for (int waited = 0;; waited += 5) {
    if (const int sig = pendingSignal()) endWithSignal(sig);
    if (waited >= kSignalGraceMs) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (onLost) onLost();
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

void installSignalGuard(int wakeFd) {
  signalWakeDescriptor.store(wakeFd);
  if (signalsGuarded) return;
  recordedSignal.store(0);
  struct sigaction action {};
  action.sa_handler = recordSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) sigaction(kGuardedSignals[i], &action, &previousActions[i]);
  // A display that goes away under a write would end the program by SIGPIPE (status 141),
  // for instance while the window is destroyed on the way out after a termination signal.
  // Ignored, the write fails and the connection's error handler sees the loss.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, &previousPipeAction);
  signalsGuarded = true;
}

void removeSignalGuard() {
  signalWakeDescriptor.store(-1);
  if (!signalsGuarded) return;
  for (int i = 0; i < 3; ++i) sigaction(kGuardedSignals[i], &previousActions[i], nullptr);
  sigaction(SIGPIPE, &previousPipeAction, nullptr);
  signalsGuarded = false;
}

int pendingSignal() { return recordedSignal.load(); }

void endWithSignal(int signalNumber) {
  removeSignalGuard();
  endBySignalDefault(signalNumber);
}

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
