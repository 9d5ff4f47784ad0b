// What the results page and the scenario table share: the table's column lines, which the
// page draws in its frame and every row's sweep draws again, and the hypothesis colours.
#pragma once
#include <cstdint>

// Light green of the table's frame, its headings and its rows' sweeps.
inline constexpr int32_t kTableGreen = 0xAAEEAA;

// The column lines run from y 31 to 629 at these x, in text columns 1, 20, 53, 87 and 120:
// the level column, then one column per hypothesis. The last is also the frame's right edge.
inline constexpr float kColumnLineX[] = {0, 158, 423, 688, 954};
inline constexpr float kColumnLineTop = 31;
inline constexpr float kColumnLineBottom = 629;
inline constexpr float kFrameRight = kColumnLineX[4];

// The weak, medium and strong hypotheses: column headings and final emissions.
inline constexpr int32_t kHypothesisColours[] = {0x2222FF, 0x7777FF, 0xAAAAFF};

// The five column lines, plain, in the current foreground colour.
void drawColumnLines();
