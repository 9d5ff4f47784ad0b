// Decimal texts of doubles through the standard library's <charconv> where it has the
// floating-point forms, else through the C library's conversions in the "C" locale.
#pragma once
#include <string>
#include <string_view>

// Scientific form "d.ddde+XX"; precision < 0 gives the shortest text that reads back exactly.
std::string scientificChars(double value, int precision = -1);
// Fixed form with `precision` decimals, correctly rounded.
std::string fixedChars(double value, int precision);

// Reads a decimal number (digits, optional point, optional exponent, optional leading '-')
// that fills `text`. `outOfRange` tells when its magnitude does not fit a double; `value`
// is then left alone.
void readDecimalChars(std::string_view text, double& value, bool& outOfRange);
