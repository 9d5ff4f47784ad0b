// Process entry of the Windows program (GUI subsystem): the fault filter before anything
// else, then the platform seam and the back-end list, then the simulator.
#include <windows.h>

#include <cstdlib>

#include "platform/win32/fault_filter.h"
#include "platform/win32/windows_backends.h"
#include "platform/win32/windows_platform.h"
#include "simulator/simulator.h"

// The runtime has declared the windowed application and obtained the arguments before the
// static initialisers run; this runs first among them, so every later fault meets the filter.
__attribute__((constructor(101))) static void installAtEntry() { installFaultFilter(); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  installWindowsPlatform();
  registerWindowsBackends();
  simulatorMain(__argc, __argv);
  return 0;
}
