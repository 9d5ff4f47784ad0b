#include "platform/win32/opengl_display.h"

#include <GL/gl.h>

#include <algorithm>

#include "screen/backend/backend_port.h"

// The few entry points used, taken from the library at run time so that the program does not
// need it to start.
struct GlFunctions {
  decltype(&::wglCreateContext) createContext;
  decltype(&::wglMakeCurrent) makeCurrent;
  decltype(&::wglDeleteContext) deleteContext;
  decltype(&::glGenTextures) genTextures;
  decltype(&::glDeleteTextures) deleteTextures;
  decltype(&::glBindTexture) bindTexture;
  decltype(&::glTexImage2D) texImage2D;
  decltype(&::glTexSubImage2D) texSubImage2D;
  decltype(&::glTexParameteri) texParameteri;
  decltype(&::glPixelStorei) pixelStorei;
  decltype(&::glEnable) enable;
  decltype(&::glViewport) viewport;
  decltype(&::glClearColor) clearColor;
  decltype(&::glClear) clear;
  decltype(&::glMatrixMode) matrixMode;
  decltype(&::glLoadIdentity) loadIdentity;
  decltype(&::glOrtho) ortho;
  decltype(&::glBegin) begin;
  decltype(&::glEnd) end;
  decltype(&::glTexCoord2f) texCoord2f;
  decltype(&::glVertex2i) vertex2i;
  decltype(&::glGetError) getError;
};

namespace {
// Bytes R, G, B, A in memory: the texture upload format every OpenGL version takes.
constexpr SurfacePixelFormat kTextureFormat{32, 0x0000FF, 0x00FF00, 0xFF0000};

template <typename Fn>
bool take(HMODULE library, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return fn != nullptr;
}

bool loadFunctions(HMODULE l, GlFunctions& f) {
  return take(l, "wglCreateContext", f.createContext) && take(l, "wglMakeCurrent", f.makeCurrent) &&
         take(l, "wglDeleteContext", f.deleteContext) && take(l, "glGenTextures", f.genTextures) &&
         take(l, "glDeleteTextures", f.deleteTextures) && take(l, "glBindTexture", f.bindTexture) &&
         take(l, "glTexImage2D", f.texImage2D) && take(l, "glTexSubImage2D", f.texSubImage2D) &&
         take(l, "glTexParameteri", f.texParameteri) && take(l, "glPixelStorei", f.pixelStorei) &&
         take(l, "glEnable", f.enable) && take(l, "glViewport", f.viewport) &&
         take(l, "glClearColor", f.clearColor) && take(l, "glClear", f.clear) &&
         take(l, "glMatrixMode", f.matrixMode) && take(l, "glLoadIdentity", f.loadIdentity) &&
         take(l, "glOrtho", f.ortho) && take(l, "glBegin", f.begin) && take(l, "glEnd", f.end) &&
         take(l, "glTexCoord2f", f.texCoord2f) && take(l, "glVertex2i", f.vertex2i) &&
         take(l, "glGetError", f.getError);
}

// Texture sizes are powers of two for the oldest versions.
int powerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) p <<= 1;
  return p;
}
}  // namespace

OpenGLDisplay::OpenGLDisplay() : gl_(new GlFunctions{}) {}
OpenGLDisplay::~OpenGLDisplay() {
  release();
  delete gl_;
}

bool OpenGLDisplay::build(HWND window, int width, int height, int depth, int flags, int viewWidth,
                          int viewHeight, int offsetY, const std::array<uint32_t, 256>& palette) {
  release();
  window_ = window;
  width_ = width;
  height_ = height;
  depth_ = depth;
  viewWidth_ = viewWidth;
  viewHeight_ = viewHeight;
  offsetY_ = offsetY;
  if (!converter_.configure(depth, kTextureFormat, palette)) return false;
  library_ = LoadLibraryA("opengl32.dll");
  if (!library_ || !loadFunctions(library_, *gl_)) return false;
  dc_ = GetDC(window);
  if (!dc_) return false;

  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(pfd);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 24;
  pfd.cDepthBits = (flags & 16) ? 16 : 0;
  pfd.cStencilBits = (flags & 32) ? 8 : 0;
  pfd.iLayerType = PFD_MAIN_PLANE;
  const int format = ChoosePixelFormat(dc_, &pfd);
  if (format == 0 || !SetPixelFormat(dc_, format, &pfd)) return false;
  context_ = gl_->createContext(dc_);
  if (!context_ || !gl_->makeCurrent(dc_, context_)) return false;

  textureWidth_ = powerOfTwoAtLeast(width);
  textureHeight_ = powerOfTwoAtLeast(height);
  gl_->genTextures(1, &texture_);
  gl_->bindTexture(GL_TEXTURE_2D, texture_);
  gl_->texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  gl_->texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  gl_->pixelStorei(GL_UNPACK_ALIGNMENT, 4);
  gl_->texImage2D(GL_TEXTURE_2D, 0, GL_RGB8, textureWidth_, textureHeight_, 0, GL_RGBA,
                  GL_UNSIGNED_BYTE, nullptr);
  if (gl_->getError() != GL_NO_ERROR) return false;
  gl_->enable(GL_TEXTURE_2D);
  gl_->clearColor(0, 0, 0, 1);
  rows_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  wholeOwed_ = true;
  return true;
}

void OpenGLDisplay::release() {
  if (context_) {
    if (texture_) gl_->deleteTextures(1, &texture_);
    gl_->makeCurrent(nullptr, nullptr);
    gl_->deleteContext(context_);
  }
  context_ = nullptr;
  texture_ = 0;
  if (dc_) ReleaseDC(window_, dc_);
  dc_ = nullptr;
  if (library_) FreeLibrary(library_);
  library_ = nullptr;
  window_ = nullptr;
  wholeOwed_ = false;
}

void OpenGLDisplay::present(const VisibleFrame& s,
                            const std::array<uint32_t, 256>* changedPalette) {
  if (!context_) return;
  if (changedPalette && converter_.frameBytesPerPixel() == 1) {
    converter_.configure(depth_, kTextureFormat, *changedPalette);
    wholeOwed_ = true;
  }
  if (wholeOwed_) std::fill(s.dirtyRows.begin(), s.dirtyRows.end(), uint8_t{1});
  const int rows = std::min(static_cast<int>(s.dirtyRows.size()), height_);
  const int copyWidth = std::min(s.width, width_);
  const size_t rowBytes = static_cast<size_t>(copyWidth) * 4;
  bool changed = false;
  // Each run of consecutive dirty rows goes up in one transfer.
  for (int first = 0; first < rows;) {
    if (!s.dirtyRows[static_cast<size_t>(first)]) {
      ++first;
      continue;
    }
    int end = first;
    for (; end < rows && s.dirtyRows[static_cast<size_t>(end)]; ++end)
      converter_.convert(s.displayedRow(end), copyWidth,
                         rows_.data() + static_cast<size_t>(end - first) * rowBytes);
    gl_->texSubImage2D(GL_TEXTURE_2D, 0, 0, first, copyWidth, end - first, GL_RGBA,
                       GL_UNSIGNED_BYTE, rows_.data());
    changed = true;
    first = end;
  }
  takeDirtyRows(s.dirtyRows);
  if (!changed && !wholeOwed_) return;
  wholeOwed_ = false;

  gl_->viewport(0, 0, viewWidth_, viewHeight_);
  gl_->matrixMode(GL_PROJECTION);
  gl_->loadIdentity();
  gl_->ortho(0, viewWidth_, viewHeight_, 0, -1, 1);
  gl_->matrixMode(GL_MODELVIEW);
  gl_->loadIdentity();
  gl_->clear(GL_COLOR_BUFFER_BIT);
  const float u = static_cast<float>(width_) / static_cast<float>(textureWidth_);
  const float v = static_cast<float>(height_) / static_cast<float>(textureHeight_);
  gl_->begin(GL_QUADS);
  gl_->texCoord2f(0, 0);
  gl_->vertex2i(0, offsetY_);
  gl_->texCoord2f(u, 0);
  gl_->vertex2i(width_, offsetY_);
  gl_->texCoord2f(u, v);
  gl_->vertex2i(width_, offsetY_ + height_);
  gl_->texCoord2f(0, v);
  gl_->vertex2i(0, offsetY_ + height_);
  gl_->end();
  SwapBuffers(dc_);
}
