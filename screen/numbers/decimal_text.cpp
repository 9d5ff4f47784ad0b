#include "screen/numbers/decimal_text.h"

#include "screen/numbers/float_chars.h"

#include <charconv>
#include <limits>
#include <string>

namespace {
// The power of ten just above the number's first nonzero digit, exponent included, clamped
// far outside the double range: "123" gives 3, "0.05" gives -1, "1e400" gives 401.
long long decimalOrder(std::string_view number) {
  constexpr long long kClamp = 1'000'000;
  long long order = 0;
  bool seenPoint = false, seenDigit = false;
  size_t i = 0;
  for (; i < number.size() && number[i] != 'e'; ++i) {
    const char c = number[i];
    if (c == '.') {
      seenPoint = true;
    } else if (c >= '0' && c <= '9') {
      if (!seenDigit && c == '0') {
        if (seenPoint) --order;
        continue;
      }
      seenDigit = true;
      if (!seenPoint && order < kClamp) ++order;
    }
  }
  long long exponent = 0;
  bool negativeExponent = false;
  for (++i; i < number.size(); ++i) {
    if (number[i] == '-') {
      negativeExponent = true;
    } else if (exponent < kClamp) {
      exponent = exponent * 10 + (number[i] - '0');
    }
  }
  return order + (negativeExponent ? -exponent : exponent);
}
}  // namespace

double decimalPrefixValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number += '-';
    ++i;
  }
  const auto isDigit = [&](size_t k) {
    return k < text.size() && text[k] >= '0' && text[k] <= '9';
  };
  bool digits = false;
  while (isDigit(i)) {
    number += text[i++];
    digits = true;
  }
  if (i < text.size() && text[i] == '.') {
    number += '.';
    ++i;
    while (isDigit(i)) {
      number += text[i++];
      digits = true;
    }
  }
  if (!digits) return 0.0;
  // An exponent counts only when at least one digit follows its letter and sign.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t k = i + 1;
    std::string exponent = "e";
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
      if (text[k] == '-') exponent += '-';
      ++k;
    }
    if (isDigit(k)) {
      while (isDigit(k)) exponent += text[k++];
      number += exponent;
    }
  }
  double value = 0.0;
  bool outOfRange = false;
  readDecimalChars(number, value, outOfRange);
  if (outOfRange) {
    // The reader leaves the value alone out of range; the decimal order of magnitude says
    // whether it overflowed (infinite) or underflowed (zero).
    const bool negative = number[0] == '-';
    const bool huge = decimalOrder(number) > 0;
    const double magnitude = huge ? std::numeric_limits<double>::infinity() : 0.0;
    value = negative ? -magnitude : magnitude;
  }
  return value;
}
