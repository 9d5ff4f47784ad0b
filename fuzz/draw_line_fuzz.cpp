// The libFuzzer entry of the draw_line target; the body is shared with the regression test.
#include "fuzz/draw_line_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return drawLineFuzzOne(data, size);
}
