// The DirectX and OpenGL back ends: the requests they refuse, and on a real display the
// frame reaching the window after each change. The display cases skip without a display.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <thread>

#include "platform/win32/directx_backend.h"
#include "platform/win32/opengl_backend.h"
#include "platform/win32/win32_window.h"
#include "screen/backend/backend_port.h"
#include "screen/screen.h"

namespace {
TEST(DisplayBackends, RefuseRequestsOfTheOtherKind) {
  struct Case {
    const char* name;
    const Backend* backend;
    int flags;
  };
  const Case cases[] = {
      {"DirectX with the OpenGL flag", &directXBackend(), kFlagOpenGL},
      {"DirectX full screen with the OpenGL flag", &directXBackend(),
       kFlagOpenGL | kFlagFullScreen},
      {"OpenGL without its flag", &openGLBackend(), 0},
      {"OpenGL full screen without its flag", &openGLBackend(), kFlagFullScreen},
  };
  for (const Case& c : cases) {
    EXPECT_NE(c.backend->start("refused", 1024, 768, 16, 0, c.flags), 0) << c.name;
    EXPECT_EQ(windowState().window, nullptr) << c.name;
    c.backend->shutdown();
  }
}

bool displayAvailable() {
  HWND probe = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  if (!probe) return false;
  DestroyWindow(probe);
  return true;
}

struct Request {
  const char* backend;
  int flags;
};

// The colour of the screen at a point of the window's client area, as 0xRRGGBB.
uint32_t shownColour(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 |
         GetBValue(c);
}

struct Probe {
  int x, y;
  uint32_t colour;
};

// Waits up to 5 s for every probe point to show its colour.
bool shows(HWND window, std::initializer_list<Probe> probes) {
  for (int i = 0; i < 100; ++i) {
    bool all = true;
    for (const Probe& p : probes) all = all && shownColour(window, p.x, p.y) == p.colour;
    if (all) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// Fills whole rows of the work page (16-bit 1024-wide, or 8-bit of the screen's width).
void paintRows(int first, int last, uint16_t pixel) {
  lockScreen();
  auto* rows = static_cast<uint8_t*>(frameBuffer());
  VisibleFrame s;
  visibleFrame(s);
  for (int y = first; y <= last; ++y) {
    uint8_t* row = rows + static_cast<size_t>(y) * static_cast<size_t>(s.pitch);
    for (int x = 0; x < s.width; ++x) {
      if (s.bytesPerPixel == 2)
        reinterpret_cast<uint16_t*>(row)[x] = pixel;
      else
        row[x] = static_cast<uint8_t>(pixel);
    }
  }
  unlockScreen(first, last);
}

void useDisplayBackends() {
  static bool started = [] {
    static char name[] = "display_backends";
    static char* argv[] = {name, nullptr};
    startServices(1, argv);
    return true;
  }();
  (void)started;
  _putenv("QXGFX=");
  clearWindowedBackends();
  registerWindowedBackend(&directXBackend());
  registerWindowedBackend(&openGLBackend());
}

class OnDisplay : public ::testing::TestWithParam<Request> {
 protected:
  void SetUp() override {
    if (!displayAvailable()) GTEST_SKIP() << "no display";
    useDisplayBackends();
    setScreenMode(20, 16, 1, GetParam().flags, 0);
  }
  void TearDown() override {
    setScreenMode(0, 0, 1, 0, 0);
    clearWindowedBackends();
  }
};

TEST_P(OnDisplay, WindowShowsEachChangeOfTheFrame) {
  ASSERT_NE(frameBuffer(), nullptr);
  ASSERT_STREQ(currentBackend()->name, GetParam().backend);
  HWND window = windowState().window;
  ASSERT_NE(window, nullptr);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 1024);
  EXPECT_EQ(client.bottom, 768);

  paintRows(0, 767, 0x001F);
  EXPECT_TRUE(shows(window, {{0, 0, 0x0000FF}, {1023, 767, 0x0000FF}, {512, 384, 0x0000FF}}));
  // Only the changed rows are sent; the others keep what they showed.
  paintRows(300, 309, 0xF800);
  EXPECT_TRUE(shows(
      window,
      {{512, 299, 0x0000FF}, {512, 300, 0xFF0000}, {5, 309, 0xFF0000}, {512, 310, 0x0000FF}}));
  paintRows(767, 767, 0xFFFF);
  EXPECT_TRUE(shows(window, {{1023, 767, 0xFFFFFF}, {1023, 766, 0x0000FF}, {512, 305, 0xFF0000}}));
}

TEST_P(OnDisplay, ClosingTheScreenRemovesTheWindow) {
  ASSERT_NE(frameBuffer(), nullptr);
  HWND window = windowState().window;
  ASSERT_TRUE(IsWindow(window));
  setScreenMode(0, 0, 1, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(frameBuffer(), nullptr);
}

// An 8-bit screen goes through its palette, and a changed entry recolours what is shown.
TEST(DirectXOnDisplay, PaletteScreenShowsItsPalette) {
  if (!displayAvailable()) GTEST_SKIP() << "no display";
  useDisplayBackends();
  setScreenMode(13, 8, 1, 0, 0);
  ASSERT_NE(frameBuffer(), nullptr);
  ASSERT_STREQ(currentBackend()->name, "DirectX");
  HWND window = windowState().window;
  VisibleFrame frame;
  ASSERT_TRUE(visibleFrame(frame));
  const uint32_t four = (*frame.palette)[4], nine = (*frame.palette)[9];
  ASSERT_NE(four, nine);
  paintRows(0, 99, 4);
  paintRows(100, 199, 9);
  EXPECT_TRUE(shows(window, {{0, 0, four}, {319, 99, four}, {0, 100, nine}, {319, 199, nine}}));
  currentBackend()->setPaletteEntry(4, 0x12, 0xFE, 0x34);
  EXPECT_TRUE(shows(window, {{0, 0, 0x12FE34}, {319, 99, 0x12FE34}, {0, 100, nine}}));
  setScreenMode(0, 0, 1, 0, 0);
  clearWindowedBackends();
}

INSTANTIATE_TEST_SUITE_P(Windowed, OnDisplay,
                         ::testing::Values(Request{"DirectX", 0}, Request{"OpenGL", kFlagOpenGL}),
                         [](const ::testing::TestParamInfo<Request>& info) {
                           return std::string(info.param.backend);
                         });
}  // namespace
