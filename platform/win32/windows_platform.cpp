#include "platform/win32/windows_platform.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <cstdlib>

#include "screen/backend/platform_seam.h"

namespace {
void windowsSleep(int ms) {
  if (ms > 0) Sleep(static_cast<DWORD>(ms));
}

void windowsTone(int hertz, int ms) {
  if (ms <= 0) return;
  // Without a sound device the call fails at once; the pause still lasts the tone's length.
  if (!Beep(static_cast<DWORD>(hertz), static_cast<DWORD>(ms))) windowsSleep(ms);
}

void endTimerPeriod() { timeEndPeriod(1); }
}  // namespace

void windowsConsoleWrite(const char* bytes, size_t size) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!out || out == INVALID_HANDLE_VALUE || size == 0) return;
  DWORD mode = 0;
  const bool console = GetConsoleMode(out, &mode) != FALSE;
  while (size > 0) {
    const DWORD chunk = size > 65536 ? 65536 : static_cast<DWORD>(size);
    DWORD done = 0;
    const BOOL ok = console ? WriteConsoleA(out, bytes, chunk, &done, nullptr)
                            : WriteFile(out, bytes, chunk, &done, nullptr);
    if (!ok || done == 0) return;  // lost, as without any standard output
    bytes += done;
    size -= done;
  }
}

void installWindowsPlatform() {
  // 2 ms pauses must last about 2 ms, not a 15.6 ms tick.
  if (timeBeginPeriod(1) == TIMERR_NOERROR) std::atexit(endTimerPeriod);
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (in && in != INVALID_HANDLE_VALUE && GetConsoleMode(in, &mode))
    SetConsoleMode(in, mode | ENABLE_PROCESSED_INPUT);
  PlatformSeam seam = defaultPlatformSeam();
  seam.sleep = windowsSleep;
  seam.tone = windowsTone;
  seam.consoleWrite = windowsConsoleWrite;
  installPlatformSeam(seam);
}
