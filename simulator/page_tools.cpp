#include "simulator/page_tools.h"

#include <cmath>

#include "screen/screen.h"

std::string paddedTo(std::string_view text, size_t width) {
  std::string result(text);
  if (result.size() < width) result.append(width - result.size(), ' ');
  return result;
}

// The program runs with rounding to nearest, so nearbyint rounds ties to even.
int32_t nearestInteger(long double value) { return static_cast<int32_t>(std::nearbyint(value)); }

void printMasked(std::string_view mask, double value) {
  maskBegin(mask);
  maskValue(value, 0);
  maskEnd();
}
