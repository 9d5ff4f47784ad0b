#include "tests/support/virtual_clock.h"

#include <gtest/gtest.h>

#include "screen/backend/platform_seam.h"
#include "screen/screen.h"

VirtualClock virtualClock;

void VirtualClock::reset() {
  totalMs = 0;
  sleeps.clear();
  tones = 0;
  onSleep = nullptr;
  onAwaitKey = nullptr;
}

namespace {
void virtualSleep(int ms) {
  virtualClock.totalMs += ms;
  virtualClock.sleeps.push_back(ms);
  if (virtualClock.onSleep) virtualClock.onSleep(ms);
}
void virtualTone(int, int ms) {
  virtualClock.totalMs += ms;
  ++virtualClock.tones;
}
void virtualAwaitKey(KeyWaitKind) {
  if (keyWaiting()) return;
  if (virtualClock.onAwaitKey) virtualClock.onAwaitKey();
  if (!keyWaiting()) {
    ADD_FAILURE() << "the program waits for a key that the test never gives";
    throw std::runtime_error("no key for a blocking wait");
  }
}
}  // namespace

void installVirtualClock() {
  virtualClock.reset();
  PlatformSeam seam = defaultPlatformSeam();
  seam.sleep = virtualSleep;
  seam.tone = virtualTone;
  seam.awaitKey = virtualAwaitKey;
  installPlatformSeam(seam);
}
