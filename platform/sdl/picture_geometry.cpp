#include "platform/sdl/picture_geometry.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace {
// A whole number without sign, spaces or other characters; -1 otherwise.
int wholeNumber(std::string_view text, int limit) {
  int value = -1;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < 0 || value > limit) return -1;
  return value;
}

// The whole part of a decimal number such as "192" or "144.5" (locale-free); -1 otherwise.
int wholePart(std::string_view text) {
  const size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  if (point != std::string_view::npos) {
    const std::string_view fraction = text.substr(point + 1);
    if (!std::all_of(fraction.begin(), fraction.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return -1;
    if (whole.empty() && fraction.empty()) return -1;
    if (whole.empty()) return 0;
  }
  return wholeNumber(whole, 1 << 20);
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// a * b / c rounded to nearest, for non-negative sizes.
int scaledRound(int a, int b, int c) {
  return static_cast<int>((static_cast<int64_t>(a) * b + c / 2) / c);
}
}  // namespace

PictureRect fitPicture(int frameWidth, int frameHeight, int areaWidth, int areaHeight) {
  if (frameWidth <= 0 || frameHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) return {};
  int width = areaWidth, height = areaHeight;
  // Compare the proportions exactly: the area is wider than the frame, or taller.
  if (static_cast<int64_t>(areaWidth) * frameHeight > static_cast<int64_t>(areaHeight) * frameWidth)
    width = std::min(areaWidth, std::max(1, scaledRound(areaHeight, frameWidth, frameHeight)));
  else
    height = std::min(areaHeight, std::max(1, scaledRound(areaWidth, frameHeight, frameWidth)));
  return {(areaWidth - width) / 2, (areaHeight - height) / 2, width, height};
}

PicturePoint framePoint(const PictureRect& picture, int frameWidth, int frameHeight, int x, int y) {
  if (picture.empty()) return {};
  auto along = [](int at, int start, int length, int frame) {
    // The frame pixel under the middle of window pixel `at`; points before the picture clamp.
    const int64_t p = (2 * (static_cast<int64_t>(at) - start) + 1) * frame;
    const int64_t v = p < 0 ? -1 : p / (2 * static_cast<int64_t>(length));
    return static_cast<int>(std::clamp<int64_t>(v, 0, frame - 1));
  };
  return {along(x, picture.x, picture.width, frameWidth),
          along(y, picture.y, picture.height, frameHeight)};
}

PicturePoint windowPoint(const PictureRect& picture, int frameWidth, int frameHeight, int x,
                         int y) {
  if (frameWidth <= 0 || frameHeight <= 0) return {};
  auto along = [](int at, int start, int length, int frame) {
    const int64_t middle = (2 * static_cast<int64_t>(at) + 1) * length / (2 * frame);
    return start + static_cast<int>(std::clamp<int64_t>(middle, 0, std::max(length - 1, 0)));
  };
  return {along(x, picture.x, picture.width, frameWidth),
          along(y, picture.y, picture.height, frameHeight)};
}

std::string_view xftDpiResource(std::string_view resources) {
  std::string_view found;
  while (!resources.empty()) {
    const size_t end = resources.find('\n');
    const std::string_view line = resources.substr(0, end);
    resources = end == std::string_view::npos ? std::string_view{} : resources.substr(end + 1);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    if (trimmed(line.substr(0, colon)) == "Xft.dpi") found = trimmed(line.substr(colon + 1));
  }
  return found;
}

int desktopScale(const char* gdkScale, const char* xftDpi) {
  if (gdkScale && *gdkScale) {
    const int scale = wholeNumber(gdkScale, kMaxDesktopScale);
    if (scale >= 1) return scale;
  }
  if (xftDpi && *xftDpi) {
    const int dpi = wholePart(trimmed(xftDpi));
    if (dpi >= 96) return std::min(dpi / 96, kMaxDesktopScale);
  }
  return 1;
}

WindowSize firstWindowSize(int frameWidth, int frameHeight, int scale, int workWidth,
                           int workHeight, const FrameBorders& borders) {
  const int roomWidth = workWidth - borders.left - borders.right;
  const int roomHeight = workHeight - borders.top - borders.bottom;
  for (int k = std::clamp(scale, 1, kMaxDesktopScale); k >= 1; --k) {
    if (frameWidth * k <= roomWidth && frameHeight * k <= roomHeight)
      return {frameWidth * k, frameHeight * k};
  }
  const PictureRect fitted = fitPicture(frameWidth, frameHeight, roomWidth, roomHeight);
  if (fitted.empty()) return {1, 1};
  return {fitted.width, fitted.height};
}

WindowSize fitWorkArea(WindowSize window, int frameWidth, int frameHeight, int workWidth,
                       int workHeight, const FrameBorders& borders) {
  const int roomWidth = workWidth - borders.left - borders.right;
  const int roomHeight = workHeight - borders.top - borders.bottom;
  if (window.width <= roomWidth && window.height <= roomHeight) return window;
  const PictureRect fitted = fitPicture(frameWidth, frameHeight, roomWidth, roomHeight);
  if (fitted.empty()) return {1, 1};
  return {fitted.width, fitted.height};
}

RowSpan pictureRowsOf(int frameRows, int pictureRows, int frameFirst, int frameLast) {
  if (frameRows <= 0 || pictureRows <= 0) return {};
  frameFirst = std::max(frameFirst, 0);
  frameLast = std::min(frameLast, frameRows);
  if (frameFirst >= frameLast) return {};
  // Row y covers [y * F / P, (y + 1) * F / P) of the frame: it meets [first, last) when
  // (y + 1) * F > first * P and y * F < last * P.
  const int64_t f = frameRows, p = pictureRows;
  const int64_t first = frameFirst * p / f;          // floor(first * P / F)
  const int64_t last = (frameLast * p + f - 1) / f;  // ceil(last * P / F), exclusive
  return {static_cast<int>(std::clamp<int64_t>(first, 0, p)),
          static_cast<int>(std::clamp<int64_t>(last, 0, p))};
}
