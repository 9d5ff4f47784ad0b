// The mask formatter fed any picture and any values: it must stay in bounds, and a value
// printed through a picture that holds no field must print the picture's literals only.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "screen/numbers/mask_format.h"
#include "screen/numbers/number_text.h"

inline int maskFuzzOne(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  // Pictures longer than a screen row say nothing new and only slow the search.
  const auto maskLength = static_cast<size_t>(input.take<uint8_t>());
  const std::string_view picture = input.text(maskLength);
  MaskState mask;
  beginMask(mask, picture);
  size_t printed = 0;
  for (int i = 0; i < 8 && !input.empty(); ++i) {
    const double value = input.take<double>();
    printed += maskedText(mask, value).size();
    (void)singleText(static_cast<float>(value));
  }
  printed += maskEndText(mask).size();
  if (!mask.maskText.empty()) FUZZ_FAIL();  // the end must release the picture
  (void)printed;
  return 0;
}
