// The text form of a single-precision number without a screen; printSingle prints exactly
// what this returns.
#pragma once
#include <string>

// Seven significant digits, fixed or with a three-digit exponent, a blank before a
// non-negative number: " 12", "-2.5", " 1.234568e+007", " 5.e-002".
std::string singleText(float value);
