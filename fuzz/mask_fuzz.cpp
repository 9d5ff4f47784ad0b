// The libFuzzer entry of the mask target; the body is shared with the regression test.
#include "fuzz/mask_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return maskFuzzOne(data, size);
}
