#include "platform/posix/signal_guard.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <iterator>

#include "platform/posix/signal_end.h"

namespace {
constexpr int kGuardedSignals[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<int> recordedSignal{0};
std::atomic<int> wakeDescriptor{-1};
struct sigaction previousActions[std::size(kGuardedSignals)];
struct sigaction previousPipeAction;
bool guarded = false;
bool pipeIgnored = false;

void recordSignal(int signalNumber) {
  int expected = 0;
  recordedSignal.compare_exchange_strong(expected, signalNumber);
  const int fd = wakeDescriptor.load();
  if (fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
  }
}

void setAction(int signalNumber, void (*handler)(int), struct sigaction* previous) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signalNumber, &action, previous);
}
}  // namespace

void installSignalGuard(int wakeFd, bool ignoreBrokenPipe) {
  wakeDescriptor.store(wakeFd);
  if (guarded) return;
  recordedSignal.store(0);
  for (size_t i = 0; i < std::size(kGuardedSignals); ++i) {
    setAction(kGuardedSignals[i], recordSignal, &previousActions[i]);
    if (previousActions[i].sa_handler == SIG_IGN)
      sigaction(kGuardedSignals[i], &previousActions[i], nullptr);
  }
  pipeIgnored = ignoreBrokenPipe;
  if (pipeIgnored) setAction(SIGPIPE, SIG_IGN, &previousPipeAction);
  guarded = true;
}

void removeSignalGuard() {
  wakeDescriptor.store(-1);
  if (!guarded) return;
  for (size_t i = 0; i < std::size(kGuardedSignals); ++i)
    sigaction(kGuardedSignals[i], &previousActions[i], nullptr);
  if (pipeIgnored) sigaction(SIGPIPE, &previousPipeAction, nullptr);
  pipeIgnored = false;
  guarded = false;
}

int pendingSignal() { return recordedSignal.load(); }

void endWithSignal(int signalNumber) {
  removeSignalGuard();
  endBySignalDefault(signalNumber);
}
