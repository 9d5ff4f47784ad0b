#include "platform/posix/loss_seam.h"

#include <atomic>

#include "screen/backend/backend_port.h"
#include "screen/backend/platform_seam.h"
#include "screen/screen.h"

namespace {
std::atomic<bool> lost{false};
PlatformSeam wrappedSeam{};
bool seamWrapped = false;

void endIfLost() {
  if (lost.load()) endProgram(0);
}

void sleepWatchingOutput(int ms) {
  endIfLost();
  wrappedSeam.sleep(ms);
  endIfLost();
}

void awaitKeyWatchingOutput(KeyWaitKind kind) {
  if (wrappedSeam.awaitKey) {
    wrappedSeam.awaitKey(kind);
    return;
  }
  // The key queue's own wait, in slices, so that a loss is seen within a quarter second;
  // longer slices keep an idle program from waking more than a few times a second.
  for (;;) {
    endIfLost();
    if (!graphicsScreenExists() || awaitQueuedKey(250)) return;
  }
}
}  // namespace

void installLossSeam() {
  if (seamWrapped) return;
  lost.store(false);
  wrappedSeam = platformSeam();
  PlatformSeam seam = wrappedSeam;
  seam.sleep = sleepWatchingOutput;
  seam.awaitKey = awaitKeyWatchingOutput;
  installPlatformSeam(seam);
  seamWrapped = true;
}

void removeLossSeam() {
  if (!seamWrapped) return;
  PlatformSeam seam = platformSeam();
  seam.sleep = wrappedSeam.sleep;
  seam.awaitKey = wrappedSeam.awaitKey;
  installPlatformSeam(seam);
  seamWrapped = false;
}

void markOutputLost() { lost.store(true); }
bool outputLost() { return lost.load(); }
