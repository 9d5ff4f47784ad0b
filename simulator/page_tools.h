// Small helpers shared by the pages: black and white, fixed-width texts, float-to-cell
// rounding and the one-figure masked print that every table field uses.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "screen/screen.h"

inline constexpr int32_t kBlack = 0x000000;
inline constexpr int32_t kWhite = 0xFFFFFF;

// The text followed by spaces up to `width` characters (longer texts are left as they are).
std::string paddedTo(std::string_view text, size_t width);
// A counter used as a text row, column or colour: nearest integer, ties to even.
int32_t nearestInteger(Extended value);
// A counter advanced by one: the sum in extended precision, stored in single precision.
float plusOne(float counter);
// Prints one figure through `mask` and releases the mask, with no line end.
void printMasked(std::string_view mask, double value);
