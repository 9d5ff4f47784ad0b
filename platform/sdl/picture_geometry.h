// Where the frame goes in a window or on a whole display, and how large the first window is:
// plain arithmetic on sizes, without SDL, so that every rule is tested on its own.
#pragma once
#include <string_view>

struct PictureRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const PictureRect&) const = default;
};

struct WindowSize {
  int width = 0, height = 0;
  bool operator==(const WindowSize&) const = default;
};

// The frame's window-manager decoration around a client area (0 where unknown).
struct FrameBorders {
  int top = 0, left = 0, bottom = 0, right = 0;
};

// The largest rectangle of the frame's proportions (frameWidth : frameHeight, rounded to
// whole pixels) inside an area of areaWidth x areaHeight, centred in it. An area of the
// frame's own size gives the frame pixel for pixel; an empty area gives an empty rectangle.
PictureRect fitPicture(int frameWidth, int frameHeight, int areaWidth, int areaHeight);

// A point of the window in frame pixels (clamped to the frame), and a frame pixel's place in
// the window (the middle of its block), for a picture at `picture`.
struct PicturePoint {
  int x = 0, y = 0;
  bool operator==(const PicturePoint&) const = default;
};
PicturePoint framePoint(const PictureRect& picture, int frameWidth, int frameHeight, int x, int y);
PicturePoint windowPoint(const PictureRect& picture, int frameWidth, int frameHeight, int x, int y);

// The desktop's integer scale: GDK_SCALE when it is a whole number from 1 to kMaxDesktopScale,
// else the X resource Xft.dpi divided by 96 and rounded down (at least 1, at most
// kMaxDesktopScale), else 1. Null or empty texts count as unset.
inline constexpr int kMaxDesktopScale = 8;
int desktopScale(const char* gdkScale, const char* xftDpi);
// The value of Xft.dpi in the text of the X resource database (RESOURCE_MANAGER), empty when
// absent. The last line that sets it counts, as with xrdb.
std::string_view xftDpiResource(std::string_view resources);

// The first window's client area: the frame times `scale`, reduced to the largest integer
// multiple of the frame that fits the work area with the window's borders, and below 1x (the
// largest fitting rectangle of the frame's proportions, at least 1 x 1) when even 1x does not.
WindowSize firstWindowSize(int frameWidth, int frameHeight, int scale, int workWidth,
                           int workHeight, const FrameBorders& borders);
// A window whose client area and borders do not fit the work area, brought down to the
// largest size of the frame's proportions that does; one that fits stays as it is.
WindowSize fitWorkArea(WindowSize window, int frameWidth, int frameHeight, int workWidth,
                       int workHeight, const FrameBorders& borders);

// Rows [first, last) of a scaled picture; empty when first >= last.
struct RowSpan {
  int first = 0, last = 0;
  bool empty() const { return first >= last; }
  bool operator==(const RowSpan&) const = default;
};
// The rows of a picture `pictureRows` tall, scaled from `frameRows` by area coverage, whose
// pixels depend on frame rows [frameFirst, frameLast): each picture row covers frame rows
// [y * frameRows / pictureRows, (y + 1) * frameRows / pictureRows).
RowSpan pictureRowsOf(int frameRows, int pictureRows, int frameFirst, int frameLast);
