#include "platform/sdl/sdl_desktop_scale.h"

#include <SDL_syswm.h>
#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include "platform/sdl/picture_geometry.h"

namespace {
// The RESOURCE_MANAGER text Xlib read when SDL opened the display, through SDL's own copy of
// libX11 (nothing is linked); empty when there is none.
std::string x11Resources(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
  void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (!library) return {};
  std::string text;
  using ResourceString = char* (*)(void*);
  if (auto get = reinterpret_cast<ResourceString>(dlsym(library, "XResourceManagerString")))
    if (const char* resources = get(info.info.x11.display)) text = resources;
  dlclose(library);
  return text;
}
}  // namespace

int sdlDesktopScale(SDL_Window* window) {
  const std::string resources = x11Resources(window);
  const std::string dpi(xftDpiResource(resources));
  return desktopScale(std::getenv("GDK_SCALE"), dpi.c_str());
}
