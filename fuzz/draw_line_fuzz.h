// drawLine with any floats (NaN, infinities, huge values), any shape, style and relative
// mode: every pixel it writes must lie in the frame and only existing rows may be marked.
#pragma once
#include <cstdint>

#include "fuzz/fuzz_input.h"

inline int drawLineFuzzOne(const uint8_t* data, size_t size) {
  prepareFuzzScreen();
  FuzzInput input(data, size);
  while (input.left() >= 16) {
    const float x1 = input.take<float>(), y1 = input.take<float>();
    const float x2 = input.take<float>(), y2 = input.take<float>();
    const uint32_t colour = input.take<uint32_t>();
    const int32_t shape = input.take<int8_t>();
    const int32_t style = input.take<int32_t>();
    const int32_t relative = input.take<int8_t>();
    drawLine(nullptr, x1, y1, x2, y2, colour, shape, style, relative);
  }
  return 0;
}
