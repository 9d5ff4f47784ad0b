// Process entry on Linux: installs the platform seam and the display back ends in the
// order the chooser tries them, then hands over to the simulator.
#include "platform/linux/linux_backends.h"
#include "platform/posix/posix_platform.h"
#include "simulator/simulator.h"

int main(int argc, char** argv) {
  installPosixPlatform();
  registerLinuxBackends();
  simulatorMain(argc, argv);
}
