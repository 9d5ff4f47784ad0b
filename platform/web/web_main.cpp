// Process entry in the browser: installs the page's seam and the Web back end, then hands
// over to the simulator.
#include "platform/web/web_backend.h"
#include "platform/web/web_platform.h"
#include "simulator/simulator.h"

int main(int argc, char** argv) {
  installWebPlatform();
  clearWindowedBackends();
  registerWindowedBackend(&webBackend());
  simulatorMain(argc, argv);
}
