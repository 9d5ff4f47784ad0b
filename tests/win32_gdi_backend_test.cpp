// The GDI back end in a real window: start refusals, the centred window of exact client size,
// the picture reaching the window, and key and close messages reaching the key queue.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/gdi_backend.h"
#include "platform/win32/win32_window.h"
#include "screen/backend/backend_port.h"
#include "screen/screen.h"

namespace {
class GdiWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    _putenv_s("QXGFX", "gdi");
    static char name[] = "gdi_probe.exe";
    static char* argv[] = {name, nullptr};
    startServices(1, argv);
    clearWindowedBackends();
    registerWindowedBackend(&gdiBackend());
    setScreenMode(20, 16, 1, 0, 0);
    if (!frameBuffer()) GTEST_SKIP() << "no display for a window";
  }
  void TearDown() override {
    setScreenMode(0, 0, 0, 0, 0);
    clearWindowedBackends();
  }

  // Waits (up to 2 s) until the condition holds, giving the presentation thread its turns.
  template <typename Condition>
  static bool eventually(Condition condition) {
    for (int i = 0; i < 200; ++i) {
      if (condition()) return true;
      Sleep(10);
    }
    return condition();
  }

  static COLORREF windowPixel(int x, int y) {
    HDC dc = GetDC(windowState().window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(windowState().window, dc);
    return c;
  }

  // Sends a message to the window on its own thread, as the system would.
  static void send(UINT msg, WPARAM wParam, LPARAM lParam) {
    SendMessageA(windowState().window, msg, wParam, lParam);
  }
};

TEST(GdiStart, RefusesFullScreenAndTheOpenGLFlag) {
  const Backend& gdi = gdiBackend();
  EXPECT_NE(gdi.start("t", 1024, 768, 16, 0, kFlagFullScreen), 0);
  gdi.shutdown();
  EXPECT_NE(gdi.start("t", 1024, 768, 16, 0, kFlagOpenGL), 0);
  gdi.shutdown();
  EXPECT_EQ(gdi.listModes, nullptr);
  EXPECT_EQ(gdi.flip, nullptr);
}

TEST_F(GdiWindow, HasTheExactClientSizeCentredAndTheProgramTitle) {
  HWND window = windowState().window;
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right - client.left, 1024);
  EXPECT_EQ(client.bottom - client.top, 768);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "gdi_probe");
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  RECT outer{};
  GetWindowRect(window, &outer);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  if (screenWidth >= outer.right - outer.left) {
    EXPECT_NEAR(outer.left, (screenWidth - (outer.right - outer.left)) / 2, 1);
  }
}

TEST_F(GdiWindow, ChangedRowsReachTheWindowInTheirColours) {
  setColour(0xFF8000, 0x0000FF);  // 5:6:5 keeps these exactly when expanded
  clearScreen();
  // Orange line across row 300, background blue elsewhere.
  drawLine(nullptr, 0, 300, 1023, 300, 0xFF0000, 0, 0xFFFF, 0);
  EXPECT_TRUE(eventually([] { return windowPixel(10, 300) == RGB(0xFF, 0x00, 0x00); }));
  EXPECT_EQ(windowPixel(10, 100), RGB(0x00, 0x00, 0xFF));
  EXPECT_EQ(windowPixel(1023, 767), RGB(0x00, 0x00, 0xFF));
  EXPECT_TRUE(eventually([] {
    VisibleFrame s;
    return visibleFrame(s) && s.dirtyRows[300] == 0;
  }));
}

TEST_F(GdiWindow, KeyAndCharacterMessagesQueueTheirCodes) {
  // Left arrow: scan code 0x4B with the extended bit, repeat count 2.
  send(WM_KEYDOWN, VK_LEFT, 2 | (0x4BL << 16) | (1L << 24));
  send(WM_CHAR, 'a', 1 | (0x1EL << 16));
  send(WM_CHAR, 0xE9, 1);  // e acute in the ANSI code page: 0x82 in code page 437
  EXPECT_EQ(readKey(), std::string("\xFFK", 2));
  EXPECT_EQ(readKey(), std::string("\xFFK", 2));
  EXPECT_EQ(readKey(), "a");
  EXPECT_EQ(readKey(), "\x82");
  EXPECT_EQ(readKey(), "");
}

TEST_F(GdiWindow, CloseRequestsQueueTheCloseKeyAndKeepTheWindow) {
  HWND window = windowState().window;
  send(WM_CLOSE, 0, 0);
  send(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(readKey(), std::string("\xFFk", 2));
  EXPECT_EQ(readKey(), std::string("\xFFk", 2));
  EXPECT_EQ(readKey(), "");
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(GdiWindow, ActivationClearsTheKeyStateAndMarksEveryRow) {
  (*keyStateArray())[0x1E] = 1;
  VisibleFrame frame;
  ASSERT_TRUE(visibleFrame(frame));
  takeDirtyRows(frame.dirtyRows);
  // Handled here under the lock, so the thread cannot copy (and clear) the rows before the check.
  lockScreenSection();
  machineryWindowProc(windowState().window, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(windowState().active);
  EXPECT_EQ((*keyStateArray())[0x1E], 0);
  EXPECT_EQ(frame.dirtyRows.front(), 1);
  EXPECT_EQ(frame.dirtyRows.back(), 1);
  unlockScreenSection();
  send(WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_TRUE(windowState().active);
}
// The maximize request asks for full screen, which GDI cannot give: the window is built again
// as it was, and the whole picture is sent to it again.
TEST_F(GdiWindow, FailedSwitchToFullScreenRebuildsTheWindow) {
  setColour(0x00FF00, 0x0000FF);
  clearScreen();
  lockScreenSection();
  machineryWindowProc(windowState().window, WM_ACTIVATEAPP, TRUE, 0);
  HWND before = windowState().window;
  unlockScreenSection();
  send(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  auto rebuilt = [before] {
    lockScreenSection();
    HWND now = windowState().window;
    unlockScreenSection();
    return now != nullptr && now != before;
  };
  ASSERT_TRUE(eventually(rebuilt));
  lockScreenSection();
  HWND window = windowState().window;
  const int flags = windowState().flags;
  unlockScreenSection();
  EXPECT_EQ(flags & kFlagFullScreen, 0);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 1024);
  EXPECT_EQ(client.bottom, 768);
  EXPECT_TRUE(eventually([] { return windowPixel(512, 700) == RGB(0, 0, 0xFF); }));
  EXPECT_TRUE(eventually([] {
    VisibleFrame s;
    return visibleFrame(s) && s.dirtyRows.front() == 0 && s.dirtyRows.back() == 0;
  }));
}
}  // namespace
