// The libFuzzer entry of the write_text target; the body is shared with the regression test.
#include "fuzz/write_text_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return writeTextFuzzOne(data, size);
}
