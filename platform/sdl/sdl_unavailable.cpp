// The "SDL" back end of a build made without SDL2: a record with no operations, which the
// chooser counts as a failed start before it goes on to the next back end of the list.
#include "platform/sdl/sdl_backend.h"

namespace {
constexpr Backend kUnavailableSdlBackend{.name = "SDL"};
}  // namespace

const Backend& sdlBackend() { return kUnavailableSdlBackend; }
