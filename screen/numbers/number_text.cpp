// The plain text form of a single, the hexadecimal text of an integer and the value of a
// text ("&H", "&O", "&B" prefixes or a decimal number).
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "screen/numbers/decimal_text.h"
#include "screen/numbers/float_chars.h"
#include "screen/numbers/number_text.h"
#include "screen/screen.h"

namespace {

void dropTrailingZeros(std::string& fraction) {
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
}

// The G rule at 7 significant digits: fixed point for decimal exponents -1..6, else one
// digit, the fraction and a signed three-digit exponent. Trailing zeros go, the point stays.
std::string significantText(double value) {
  // Scientific with 6 decimals rounds the exact value to 7 digits, which fixes the exponent.
  const std::string printed = scientificChars(value, 6);
  if (printed.empty()) return "0.";
  std::string_view scientific(printed);
  std::string text;
  if (scientific.front() == '-') {
    text = "-";
    scientific.remove_prefix(1);
  }
  size_t exponentAt = scientific.find('e');
  std::string digits;
  for (char ch : scientific.substr(0, exponentAt))
    if (ch != '.') digits += ch;
  std::string_view exponentText = scientific.substr(exponentAt + 1);
  bool exponentNegative = exponentText.front() == '-';
  exponentText.remove_prefix(1);
  int magnitude = 0;
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), magnitude);
  int m = exponentNegative ? -magnitude : magnitude;

  if (m >= -1 && m <= 6) {
    std::string integerPart = m < 0 ? "0" : digits.substr(0, static_cast<size_t>(m) + 1);
    std::string fraction = m < 0 ? digits : digits.substr(static_cast<size_t>(m) + 1);
    dropTrailingZeros(fraction);
    return text + integerPart + "." + fraction;
  }
  std::string fraction = digits.substr(1);
  dropTrailingZeros(fraction);
  char exponentBuffer[16];
  auto exponentEnd =
      std::to_chars(exponentBuffer, exponentBuffer + sizeof exponentBuffer, magnitude).ptr;
  std::string exponentDigits(exponentBuffer, exponentEnd);
  if (exponentDigits.size() < 3) exponentDigits.insert(0, 3 - exponentDigits.size(), '0');
  return text + digits.substr(0, 1) + "." + fraction + "e" + (exponentNegative ? "-" : "+") +
         exponentDigits;
}

}  // namespace

std::string singleText(float value) {
  std::string text;
  if (std::isnan(value)) {
    text = "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else {
    // Negative zero prints as zero: a "-0" would suggest a value that is not there.
    double exact = value == 0 ? 0.0 : static_cast<double>(value);
    text = significantText(exact);
    if (text.back() == '.') text.pop_back();
  }
  if (text.front() != '-') text.insert(0, 1, ' ');
  return text;
}

void printSingle(float value) {
  std::string text = singleText(value);
  writeText(text.data(), text.size(), 0);
}

std::string hexText(int64_t value) {
  char buffer[17];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<uint64_t>(value), 16);
  std::string text(buffer, result.ptr);
  for (char& ch : text)
    if (ch >= 'a' && ch <= 'f') ch = static_cast<char>(ch - 'a' + 'A');
  return text;
}

double valueOfText(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  text.remove_prefix(first);
  if (text.size() >= 2 && text[0] == '&') {
    uint32_t base = 0;
    switch (text[1]) {
      case 'H':
      case 'h': base = 16; break;
      case 'O':
      case 'o': base = 8; break;
      case 'B':
      case 'b': base = 2; break;
      default: break;
    }
    if (base != 0) {
      // Every character counts as a digit, even one outside the base; nothing stops the
      // scan and the accumulator wraps at 32 bits.
      uint32_t accumulator = 0;
      for (char ch : text.substr(2)) {
        int digit = static_cast<unsigned char>(ch) - 48;
        if (digit > 9) digit = static_cast<unsigned char>(ch) - 55;
        if (digit > 16) digit -= 32;
        accumulator = accumulator * base + static_cast<uint32_t>(digit);
      }
      return static_cast<int32_t>(accumulator);
    }
  }
  return decimalPrefixValue(text);
}
