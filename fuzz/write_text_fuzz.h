// writeText fed any bytes, from any cursor position, in any text view (valid or not):
// it must stay in the frame, and leave the cursor inside the view.
#pragma once
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "screen/screen.h"

// The text view after setTextView(top, bottom) on a 48-row grid showing rows 1..48: a
// negative bound keeps its row, 0 means the grid's edge, a view outside the grid is refused.
struct FuzzTextView {
  int32_t top = 1, bottom = 48;
  void set(int32_t newTop, int32_t newBottom) {
    if (newTop < 0 && newBottom < 0) return;
    const int32_t t = newTop < 0 ? top : newTop == 0 ? 1 : newTop;
    const int32_t b = newBottom < 0 ? bottom : newBottom == 0 ? 48 : newBottom;
    if (t < 1 || b < t || b > 48) return;
    top = t;
    bottom = b;
  }
};

inline int writeTextFuzzOne(const uint8_t* data, size_t size) {
  prepareFuzzScreen();
  FuzzInput input(data, size);
  setTextView(1, 48);
  // Raw small integers, so out-of-range views and positions are tried as well.
  const int32_t top = input.take<int8_t>(), bottom = input.take<int8_t>();
  setTextView(top, bottom);
  FuzzTextView view;
  view.set(top, bottom);
  const int32_t row = input.take<int8_t>(), column = input.take<int16_t>();
  locate(row, column, -1);
  const uint32_t flags = input.take<uint8_t>();
  // Several writes, so an owed scroll meets the next one.
  while (!input.empty()) {
    const size_t length = input.take<uint8_t>();
    const std::string_view bytes = input.text(length);
    writeText(bytes.data(), bytes.size(), flags);
    const TextPosition cursor = cursorPosition();
    if (cursor.row < view.top || cursor.row > view.bottom || cursor.column < 1 ||
        cursor.column > textSize().columns)
      FUZZ_FAIL();
  }
  return 0;
}
