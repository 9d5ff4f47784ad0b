#include "screen/numbers/float_chars.h"

#include <charconv>
#include <version>

#ifndef __cpp_lib_to_chars
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#endif

#ifdef __cpp_lib_to_chars
std::string scientificChars(double value, int precision) {
  char buffer[64];
  const auto result = precision < 0 ? std::to_chars(buffer, buffer + sizeof buffer, value,
                                                    std::chars_format::scientific)
                                    : std::to_chars(buffer, buffer + sizeof buffer, value,
                                                    std::chars_format::scientific, precision);
  return std::string(buffer, result.ptr);
}

std::string fixedChars(double value, int precision) {
  char buffer[400];  // 309 integer digits, a point and the decimals asked for here
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  return std::string(buffer, result.ptr);
}

void readDecimalChars(std::string_view text, double& value, bool& outOfRange) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  outOfRange = result.ec == std::errc::result_out_of_range;
}
#else
// This library lacks the floating-point <charconv>; the program never sets a locale, so the
// C library converts in the "C" locale, with a point and no grouping.
namespace {
std::string printed(const char* format, int precision, double value) {
  char buffer[400];
  const int n = std::snprintf(buffer, sizeof buffer, format, precision, value);
  return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}
}  // namespace

std::string scientificChars(double value, int precision) {
  if (precision >= 0) return printed("%.*e", precision, value);
  // The fewest digits that read back as the same double.
  for (int digits = 0; digits < 17; ++digits) {
    std::string text = printed("%.*e", digits, value);
    if (std::strtod(text.c_str(), nullptr) == value) return text;
  }
  return printed("%.*e", 17, value);
}

std::string fixedChars(double value, int precision) { return printed("%.*f", precision, value); }

void readDecimalChars(std::string_view text, double& value, bool& outOfRange) {
  const std::string copy(text);
  errno = 0;
  const double read = std::strtod(copy.c_str(), nullptr);
  // Underflow to a subnormal still has a value; only zero or infinity count as out of range.
  outOfRange = errno == ERANGE && (read == 0 || read == HUGE_VAL || read == -HUGE_VAL);
  if (!outOfRange) value = read;
}
#endif
