#include "platform/posix/posix_platform.h"

#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "platform/posix/sleep_pacer.h"
#include "screen/backend/platform_seam.h"

namespace {
std::atomic<ToneFunction> audibleTone{nullptr};

int64_t monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Each thread paces its own pauses (the program thread's table sweep, a back end's tone).
void posixSleep(int ms) {
  if (ms <= 0) return;
  thread_local SleepPacer pacer;
  const int64_t sleepNs = pacer.plan(int64_t{ms} * 1'000'000, monotonicNs());
  if (sleepNs > 0) {
    timespec request{static_cast<time_t>(sleepNs / 1'000'000'000),
                     static_cast<long>(sleepNs % 1'000'000'000)};
    // nanosleep measures on the monotonic clock too. Unlike clock_nanosleep it is a call the
    // thread sanitizer runs signal handlers in, so a signal during a pause is seen at once there.
    while (nanosleep(&request, &request) != 0 && errno == EINTR) {}
  }
  pacer.finished(monotonicNs());
}

void posixTone(int hertz, int ms) {
  if (ToneFunction tone = audibleTone.load()) {
    tone(hertz, ms);
  } else {
    posixSleep(ms);
  }
}

// Text without a graphics screen: CR LF line ends become the Linux LF.
void posixConsoleWrite(const char* bytes, size_t size) {
  char buffer[512];
  size_t used = 0;
  auto flush = [&] {
    size_t done = 0;
    while (done < used) {
      const ssize_t n = ::write(STDOUT_FILENO, buffer + done, used - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    used = 0;
  };
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n') continue;
    buffer[used++] = bytes[i];
    if (used == sizeof buffer) flush();
  }
  flush();
}
}  // namespace

void setPlatformTone(ToneFunction tone) { audibleTone.store(tone); }

void installPosixPlatform() {
  // Short pauses (2 ms) must not overshoot: 1 ns of timer slack for this thread and every
  // thread started after it.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  PlatformSeam seam = defaultPlatformSeam();
  seam.sleep = posixSleep;
  seam.tone = posixTone;
  seam.consoleWrite = posixConsoleWrite;
  installPlatformSeam(seam);
}
