#include "platform/win32/windows_backends.h"

#include "platform/win32/directx_backend.h"
#include "platform/win32/gdi_backend.h"
#include "platform/win32/opengl_backend.h"
#include "screen/backend/backend.h"

namespace {
// The display back ends of the Windows program, in the order the chooser tries them.
constexpr const Backend& (*kWindowsBackends[])() = {
    directXBackend,  // DirectDraw, full screen or in a window
    gdiBackend,      // a window only, fed by device-independent-bitmap transfers
    openGLBackend,   // only for requests with the OpenGL flag
};
}  // namespace

void registerWindowsBackends() {
  clearWindowedBackends();
  for (const auto backend : kWindowsBackends) registerWindowedBackend(&backend());
}
