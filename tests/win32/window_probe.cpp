// Finds the program's top-level window by its title and prints where it is on the desktop:
// "CLIENT_X CLIENT_Y CLIENT_WIDTH CLIENT_HEIGHT CLOSE_X CLOSE_Y" (the close button's centre,
// or -1 -1 without one). Exit status 1 when no such window exists. For the wine checks.
// With a second argument, "minimize" or "restore", it asks the window for that instead, as
// the taskbar does (a system command), and prints nothing; "iconic" exits with 0 only when
// the window is minimised.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: window_probe TITLE [minimize|restore]\n");
    return 2;
  }
  HWND window = FindWindowA(nullptr, argv[1]);
  if (argc == 3) {
    if (!window) return 1;
    if (lstrcmpA(argv[2], "iconic") == 0) return IsIconic(window) ? 0 : 1;
    const bool minimize = lstrcmpA(argv[2], "minimize") == 0;
    if (!minimize && lstrcmpA(argv[2], "restore") != 0) return 2;
    PostMessageA(window, WM_SYSCOMMAND, minimize ? SC_MINIMIZE : SC_RESTORE, 0);
    return 0;
  }
  if (!IsWindowVisible(window)) return 1;
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  // The close button: the points of the caption band that hit-test as HTCLOSE.
  RECT outer{};
  GetWindowRect(window, &outer);
  long sumX = 0, sumY = 0, hits = 0;
  for (LONG y = outer.top; y < origin.y; ++y)
    for (LONG x = outer.right - 1; x > outer.right - 120 && x > outer.left; --x)
      if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
        sumX += x;
        sumY += y;
        ++hits;
      }
  std::printf("%ld %ld %ld %ld %ld %ld\n", origin.x, origin.y, client.right - client.left,
              client.bottom - client.top, hits ? sumX / hits : -1L, hits ? sumY / hits : -1L);
  return 0;
}
