// The decimal text-to-number conversion used by line entry and valueOfText: optional
// blanks, sign, digits with an optional point, optional exponent; 0 without a number.
#pragma once
#include <string_view>

// Locale-independent; stops at the first character that does not fit.
double decimalPrefixValue(std::string_view text);
