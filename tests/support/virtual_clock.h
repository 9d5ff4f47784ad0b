// Virtual time for tests: every sleep and tone is recorded instead of waited for, so a
// test can run whole simulations and assert the milliseconds each pause asked for.
#pragma once
#include <functional>
#include <vector>

struct VirtualClock {
  long long totalMs = 0;    // sum of all sleeps and tones
  std::vector<int> sleeps;  // each sleep requested, in order
  int tones = 0;
  // Called after each sleep with its length (tests inject keys from here).
  std::function<void(int ms)> onSleep;
  // Called when the program blocks for a key with an empty queue; must queue a key or the
  // wait fails the test.
  std::function<void()> onAwaitKey;

  void reset();
};

extern VirtualClock virtualClock;

// Installs the virtual seam (and resets the clock).
void installVirtualClock();
