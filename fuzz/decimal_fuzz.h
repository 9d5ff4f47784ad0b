// valueOfText and the decimal field reader on any text. The reader takes a prefix, so
// appending a character that can never belong to a number must not change the value.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_input.h"
#include "screen/numbers/decimal_text.h"

namespace {
bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }
}  // namespace

inline int decimalFuzzOne(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const std::string_view text = input.rest();
  const double prefix = decimalPrefixValue(text);
  const std::string extended = std::string(text) + "z";
  if (!same(prefix, decimalPrefixValue(extended))) FUZZ_FAIL();
  (void)valueOfText(text);
  (void)valueOfText(extended);
  return 0;
}
