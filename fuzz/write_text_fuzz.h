// writeText fed any bytes, from any cursor position, in any text view (valid or not):
// it must stay in the frame, and leave the cursor inside the view.
#pragma once
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "screen/screen_state.h"

inline int writeTextFuzzOne(const uint8_t* data, size_t size) {
  prepareFuzzScreen();
  FuzzInput input(data, size);
  setTextView(1, 48);
  // Raw small integers, so out-of-range views and positions are tried as well.
  const int32_t top = input.take<int8_t>(), bottom = input.take<int8_t>();
  setTextView(top, bottom);
  const int32_t row = input.take<int8_t>(), column = input.take<int16_t>();
  locate(row, column, -1);
  const uint32_t flags = input.take<uint8_t>();
  // Several writes, so an owed scroll meets the next one.
  while (!input.empty()) {
    const size_t length = input.take<uint8_t>();
    const std::string_view bytes = input.text(length);
    writeText(bytes.data(), bytes.size(), flags);
    const ScreenState& s = *screenState;
    if (s.cursorRow < s.textViewTop || s.cursorRow > s.textViewBottom || s.cursorColumn < 0 ||
        s.cursorColumn >= s.textColumns)
      FUZZ_FAIL();
  }
  return 0;
}
