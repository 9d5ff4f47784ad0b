#include "simulator/page_tools.h"

#include "screen/screen.h"

std::string paddedTo(std::string_view text, size_t width) {
  std::string result(text);
  if (result.size() < width) result.append(width - result.size(), ' ');
  return result;
}

int32_t nearestInteger(Extended value) { return static_cast<int32_t>(nearestInt64(value)); }

float plusOne(float counter) { return static_cast<float>(Extended(counter) + Extended(1)); }

void printMasked(std::string_view mask, double value) {
  maskBegin(mask);
  maskValue(value, 0);
  maskEnd();
}
