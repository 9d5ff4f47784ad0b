// Process entry in the browser: installs the page's seam and its back-end table, then hands
// over to the simulator.
#include "platform/web/web_backend.h"
#include "platform/web/web_platform.h"
#include "simulator/simulator.h"

namespace {
// The page's back ends, in the order the chooser tries them: the canvas is the only display.
constexpr const Backend& (*kWebBackends[])() = {
    webBackend,  // the page's canvas, one thread with the program
};
}  // namespace

int main(int argc, char** argv) {
  installWebPlatform();
  clearWindowedBackends();
  for (const auto backend : kWebBackends) registerWindowedBackend(&backend());
  simulatorMain(argc, argv);
}
