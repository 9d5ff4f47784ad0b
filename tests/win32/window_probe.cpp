// Finds the program's top-level window by its title and prints where it is on the desktop:
// "CLIENT_X CLIENT_Y CLIENT_WIDTH CLIENT_HEIGHT CLOSE_X CLOSE_Y" (the close button's centre,
// or -1 -1 without one). Exit status 1 when no such window exists. For the wine checks.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_probe TITLE\n");
    return 2;
  }
  HWND window = FindWindowA(nullptr, argv[1]);
  if (!window || !IsWindowVisible(window)) return 1;
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
