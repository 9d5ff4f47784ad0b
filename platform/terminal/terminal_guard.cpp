#include "platform/terminal/terminal_guard.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "platform/posix/signal_guard.h"
#include "platform/terminal/terminal_tty.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/platform_seam.h"
#include "screen/screen.h"

namespace {
constexpr int kFaults[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kNotices[] = {SIGWINCH, SIGTSTP};

std::atomic<bool> resized{false};
std::atomic<bool> suspended{false};
int wakeDescriptor = -1;
bool guarded = false;
struct sigaction previousFaults[5];
struct sigaction previousNotices[2];

void wake() {
  if (wakeDescriptor >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeDescriptor, &byte, 1);
  }
}

void onNotice(int signalNumber) {
  if (signalNumber == SIGWINCH)
    resized.store(true);
  else
    suspended.store(true);
  wake();
}

// A fault: give the terminal back, put the previous handler back and let it act. A real
// fault recurs when this returns; a sent one (kill, abort) is raised again.
void onFault(int signalNumber, siginfo_t* info, void*) {
  restoreTerminal();
  for (size_t i = 0; i < std::size(kFaults); ++i)
    if (kFaults[i] == signalNumber) sigaction(signalNumber, &previousFaults[i], nullptr);
  if (signalNumber == SIGABRT || !info || info->si_code <= 0) raise(signalNumber);
}

void install(int signalNumber, void (*handler)(int), int flags, struct sigaction& previous) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = flags;
  sigaction(signalNumber, &action, &previous);
}

std::string refusal;
bool refusalHooked = false;
void (*chainedEnding)(int) = nullptr;

void sayWhyNoScreen(int status) {
  if (!graphicsScreenExists() && !refusal.empty()) {
    std::fprintf(stderr, "co2sim: no terminal screen: %s\n", refusal.c_str());
    refusal.clear();
  }
  if (chainedEnding) chainedEnding(status);
}
}  // namespace

void installTerminalGuard(int wakeFd) {
  if (guarded) return;
  wakeDescriptor = wakeFd;
  installSignalGuard(wakeFd, false);
  resized.store(false);
  suspended.store(false);
  for (size_t i = 0; i < std::size(kNotices); ++i)
    install(kNotices[i], onNotice, SA_RESTART, previousNotices[i]);
  for (size_t i = 0; i < std::size(kFaults); ++i) {
    struct sigaction action {};
    action.sa_sigaction = onFault;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigaction(kFaults[i], &action, &previousFaults[i]);
  }
  guarded = true;
}

void removeTerminalGuard() {
  if (!guarded) return;
  removeSignalGuard();
  for (size_t i = 0; i < std::size(kNotices); ++i)
    sigaction(kNotices[i], &previousNotices[i], nullptr);
  for (size_t i = 0; i < std::size(kFaults); ++i)
    sigaction(kFaults[i], &previousFaults[i], nullptr);
  wakeDescriptor = -1;
  guarded = false;
}

bool takeResize() { return resized.exchange(false); }
bool takeSuspend() { return suspended.exchange(false); }

void endTerminalWithSignal(int signalNumber) {
  removeTerminalGuard();
  endWithSignal(signalNumber);
}

void stopUntilContinued() { raise(SIGSTOP); }

void noteTerminalRefusal(const std::string& reason) {
  refusal = reason;
  if (refusalHooked) return;
  refusalHooked = true;
  PlatformSeam seam = platformSeam();
  chainedEnding = seam.programEnding;
  seam.programEnding = sayWhyNoScreen;
  installPlatformSeam(seam);
}
