// The OpenGL side of the "OpenGL" back end: opengl32.dll loaded at run time, a WGL context on
// the window, the frame kept in a texture updated row by row and shown with SwapBuffers.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "screen/backend/backend_port.h"
#include "screen/backend/pixel_format_convert.h"

struct GlFunctions;

class OpenGLDisplay {
 public:
  OpenGLDisplay();
  OpenGLDisplay(const OpenGLDisplay&) = delete;
  OpenGLDisplay& operator=(const OpenGLDisplay&) = delete;
  ~OpenGLDisplay();

  // Loads the library, sets a double-buffered pixel format on the window (with the extra
  // depth and stencil buffers that flags 16 and 32 ask for) and makes the context and the
  // texture. The frame is drawn offsetY rows down in a view of viewWidth x viewHeight.
  bool build(HWND window, int width, int height, int depth, int flags, int viewWidth,
             int viewHeight, int offsetY, const std::array<uint32_t, 256>& palette);
  void release();
  // Uploads the dirty rows, clears their flags and shows the picture when anything changed.
  void present(const VisibleFrame& frame, const std::array<uint32_t, 256>* changedPalette);
  // Shows the whole picture again on the next present.
  void invalidate() { wholeOwed_ = true; }

 private:
  HMODULE library_ = nullptr;
  GlFunctions* gl_ = nullptr;
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HGLRC context_ = nullptr;
  unsigned texture_ = 0;
  int width_ = 0, height_ = 0, depth_ = 16;
  int textureWidth_ = 0, textureHeight_ = 0;
  int viewWidth_ = 0, viewHeight_ = 0, offsetY_ = 0;
  bool wholeOwed_ = false;
  SurfaceRowConverter converter_;
  std::vector<uint8_t> rows_;  // converted rows waiting for upload
};
