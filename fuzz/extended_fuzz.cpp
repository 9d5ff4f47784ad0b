// The libFuzzer entry of the extended target; the body is shared with the regression test.
#include "fuzz/extended_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return extendedFuzzOne(data, size);
}
