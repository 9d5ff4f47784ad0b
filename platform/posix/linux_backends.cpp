#include "platform/posix/linux_backends.h"

#include "screen/backend.h"

// Each back end library defines its registration hook when it is built.
#ifdef CO2SIM_HAVE_SDL
const Backend& sdlBackend();
#endif
#ifdef CO2SIM_HAVE_TERMINAL
const Backend& terminalBackend();
#endif

void registerLinuxBackends() {
  clearWindowedBackends();
#ifdef CO2SIM_HAVE_SDL
  registerWindowedBackend(&sdlBackend());
#endif
#ifdef CO2SIM_HAVE_TERMINAL
  registerWindowedBackend(&terminalBackend());
#endif
}
