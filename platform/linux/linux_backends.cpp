#include "platform/linux/linux_backends.h"

#include "platform/sdl/sdl_backend.h"
#include "platform/terminal/terminal_backend.h"
#include "screen/backend/backend.h"

namespace {
// The windowed back ends of the Linux program, in the order the chooser tries them.
constexpr const Backend& (*kLinuxBackends[])() = {
    sdlBackend,       // a window or the full screen on X11 or Wayland (never starts without SDL2)
    terminalBackend,  // the text cells in the terminal the program runs in
};
}  // namespace

void registerLinuxBackends() {
  clearWindowedBackends();
  for (const auto backend : kLinuxBackends) registerWindowedBackend(&backend());
}
