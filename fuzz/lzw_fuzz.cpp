// The libFuzzer entry of the lzw target; the body is shared with the regression test.
#include "fuzz/lzw_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return lzwFuzzOne(data, size);
}
