#include "platform/posix/signal_end.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

void endBySignalDefault(int signalNumber) {
  signal(signalNumber, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signalNumber);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  raise(signalNumber);
  // Only reached when the default action was overridden elsewhere.
  _Exit(128 + signalNumber);
}
