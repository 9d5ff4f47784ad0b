// Masked number output at the text cursor: the process's one current mask and the three
// operations that fill it, print values through it and end it.
#include <cstdint>
#include <string>
#include <string_view>

#include "screen/numbers/mask_format.h"
#include "screen/screen.h"

namespace {

MaskState& currentMask() {
  static MaskState mask;
  return mask;
}

void print(const std::string& text) {
  if (!text.empty()) writeText(text.data(), text.size(), 0);
}

}  // namespace

void maskBegin(std::string_view mask) { beginMask(currentMask(), mask); }

void maskValue(double value, int32_t last) {
  print(maskedText(currentMask(), value));
  if (last < 0) {
    if ((last & 1) != 0) printLineEnd();
    // The statement is over: the mask is let go, so a later value without a new
    // maskBegin prints bare.
    releaseMask(currentMask());
  }
}

void maskEnd() { print(maskEndText(currentMask())); }
