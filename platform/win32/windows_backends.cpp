#include "platform/win32/windows_backends.h"

#include "platform/win32/gdi_backend.h"
#include "screen/backend.h"

// Defined by the DirectX and OpenGL back-end sources when they are part of the build.
#ifdef CO2SIM_HAVE_DIRECTX
const Backend& directXBackend();
#endif
#ifdef CO2SIM_HAVE_OPENGL
const Backend& openGLBackend();
#endif

void registerWindowsBackends() {
  clearWindowedBackends();
#ifdef CO2SIM_HAVE_DIRECTX
  registerWindowedBackend(&directXBackend());
#endif
  registerWindowedBackend(&gdiBackend());
#ifdef CO2SIM_HAVE_OPENGL
  registerWindowedBackend(&openGLBackend());
#endif
}
