#include "screen/backend/platform_seam.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {
void standardSleep(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
// With no sound device the tone is a silent wait of its length.
void silentTone(int, int ms) { platformSeam().sleep(ms); }
void standardConsoleWrite(const char* bytes, size_t size) {
  std::fwrite(bytes, 1, size, stdout);
  std::fflush(stdout);
}

PlatformSeam& current() {
  static PlatformSeam seam = defaultPlatformSeam();
  return seam;
}
}  // namespace

PlatformSeam defaultPlatformSeam() {
  return PlatformSeam{standardSleep, silentTone, standardConsoleWrite, nullptr, nullptr};
}

void installPlatformSeam(const PlatformSeam& seam) {
  PlatformSeam complete = seam;
  const PlatformSeam fallback = defaultPlatformSeam();
  if (!complete.sleep) complete.sleep = fallback.sleep;
  if (!complete.tone) complete.tone = fallback.tone;
  if (!complete.consoleWrite) complete.consoleWrite = fallback.consoleWrite;
  current() = complete;
}

const PlatformSeam& platformSeam() { return current(); }
