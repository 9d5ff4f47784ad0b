// Opt-in measurement of the delay from a key event reaching the presentation thread to the
// first copy of changed rows after it; CO2SIM_KEY_LATENCY_LOG names the file (microseconds).
#pragma once
#include <chrono>
#include <cstdio>

class KeyLatencyProbe {
 public:
  // Opens the log named by the environment, if any; without it every call does nothing.
  void open();
  void keyQueued();
  // After a copy: `copied` tells whether any row went to the window.
  void afterCopy(bool copied);
  void close();

 private:
  std::FILE* log_ = nullptr;
  bool pending_ = false;
  std::chrono::steady_clock::time_point keyTime_{};
};
