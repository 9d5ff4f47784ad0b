// Process entry on Linux: installs the platform seam and the display back ends in the
// order the chooser tries them, then hands over to the simulator.
#include "platform/posix/posix_platform.h"
#include "platform/posix/linux_backends.h"
#include "simulator/simulator.h"

int main(int argc, char** argv) {
  installPosixPlatform();
  registerLinuxBackends();
  simulatorMain(argc, argv);
}

#if defined(__SANITIZE_ADDRESS__)
// The display library keeps a few allocations after a failed video initialisation (no
// display); they are not ours and must not turn the no-display exit status into a failure.
extern "C" const char* __lsan_default_suppressions() { return "leak:libSDL2\n"; }
#endif
